// The three catalogues of the data file and every fixed value that differs
// between them. Loading, entry display and search all take their parameters
// from this one table instead of repeating an algorithm per catalogue.
#pragma once

#include <array>
#include <cstdint>

namespace catalogue
{

struct Catalogue {
    int16_t numero;             // 1 IP ports, 2 acronyms, 3 MIME types (Liste_Active)
    const char* section;        // INI section
    const char* prefixe;        // key prefix, followed by the key number
    int virgules;               // commas a value needs to load
    int largeurListe;           // list width set at every press, in twips; 0 = left as is
    const char* motCadre;       // caption word of FRM_Type after a load
    const char* debutDoublon;   // start of the duplicate message
    const char* motRecherche;   // caption word of FRM_Type after a search
    const char* queueRecherche; // caption tail after a search
    const char* titreRecherche; // title of the search window
};

inline constexpr Catalogue IpPorts{1,
                                   "IP-PORTS",
                                   "PROTO",
                                   5,
                                   0,
                                   "IP Ports",
                                   "Le Protocol ",
                                   "IP Ports",
                                   ") ---  Recherche Activée",
                                   "Recherche IP Ports"};
inline constexpr Catalogue Acronymes{2,
                                     "ACRONYMES",
                                     "ACRO",
                                     1,
                                     2000,
                                     "Acronymes",
                                     "L'acronyme ",
                                     "Acronymes",
                                     ") --- Recherche Activée",
                                     "Recherche Acronymes"};
inline constexpr Catalogue MimeTypes{3,
                                     "MIME-TYPES",
                                     "MIME",
                                     1,
                                     4000,
                                     "MIME Type",
                                     "Le MIME type ",
                                     "MIME Types",
                                     ") --- Recherche Activée",
                                     "Recherche MIME Types"};

inline constexpr std::array<const Catalogue*, 3> Tous{&IpPorts, &Acronymes, &MimeTypes};

// The catalogue with this number, or nullptr for 0 and any other value.
inline const Catalogue* parNumero(int numero)
{
    for (const Catalogue* c : Tous)
        if (c->numero == numero)
            return c;
    return nullptr;
}

} // namespace catalogue
