#include "verifier/file_findings.h"

namespace verificateur
{
namespace
{

// The line on which `position`, a place in `texte`, stands.
int numeroDeLigne(std::string_view texte, const char* position)
{
    size_t debut = static_cast<size_t>(position - texte.data());
    while (debut > 0 && texte[debut - 1] != '\n' && texte[debut - 1] != '\r')
        --debut;
    int numero = 1;
    ini::pourChaqueLigne(texte.substr(0, debut), [&](const ini::Ligne&) { ++numero; });
    return numero;
}

} // namespace

void Autres::voir(const LigneFichier& l)
{
    if (l.ligne.genre == ini::Ligne::Genre::SansEgal && l.sectionCatalogue < 0)
        decompte_.noter(Genre::SansEgalHorsCatalogue, l.numero, constats_, [&] {
            return ligne(l.numero) + extrait(l.ligne.texte) +
                   " n'a pas la forme CLÉ=valeur ; hors des catalogues, Listora ne la lit pas.";
        });
    if (l.ligne.genre == ini::Ligne::Genre::Entete && !l.sectionLue)
        signalerEnteteRepete(l);
    suivreEncodage(l);
}

std::vector<Constat> Autres::conclure()
{
    signalerEncodage();
    decompte_.conclure(constats_);
    return std::move(constats_);
}

void Autres::signalerEnteteRepete(const LigneFichier& l)
{
    if (!decompte_.garder(Genre::EnteteRepete, l.numero))
        return;
    // The first header of the name opens the document's section: its line
    // is counted only for the few written out, so no map of every header is
    // kept.
    const std::string_view texte = inv_.document->texte().utf8;
    const int premier = numeroDeLigne(texte, inv_.document->section(l.ligne.nom)->corps().data());
    constats_.push_back({l.numero, false,
                         ligne(l.numero) + "l'en-tête " + entreCrochets(l.ligne.nom) +
                             " répète celui de la ligne " + std::to_string(premier) +
                             " : Listora ne lit aucune des lignes qui le suivent, jusqu'à "
                             "l'en-tête suivant."});
}

void Autres::suivreEncodage(const LigneFichier& l)
{
    if (inv_.document->texte().lignesWindows1252.contient(l.numero))
        return;
    utf8Ailleurs_ = utf8Ailleurs_ || std::any_of(l.ligne.brute.begin(), l.ligne.brute.end(),
                                                 [](char o) { return o & 0x80; });
}

// The lines read as Windows-1252. In a file otherwise UTF-8 each run of
// them is named, since their accents are a guess; a file without any UTF-8
// accent is simply a Windows-1252 file, said once.
void Autres::signalerEncodage()
{
    const ini::EnsembleDeLignes& cp1252 = inv_.document->texte().lignesWindows1252;
    if (cp1252.empty())
        return;
    if (!utf8Ailleurs_ && !inv_.marqueUtf8) {
        constats_.push_back({0, false,
                             "le fichier est écrit en Windows-1252 et non en UTF-8 : Listora le "
                             "lit ainsi, sans perte."});
        return;
    }
    cp1252.pourChaqueSuite([&](int premiere, int nombre) {
        const bool une = nombre == 1;
        if (decompte_.garder(Genre::Windows1252, premiere, nombre))
            constats_.push_back(
                {premiere, false,
                 (une ? ligne(premiere)
                      : "lignes " + std::to_string(premiere) + " à " +
                            std::to_string(premiere + nombre - 1) + " : ") +
                     "pas en UTF-8 comme le reste du fichier ; Listora " +
                     (une ? "la lit" : "les lit") +
                     " en Windows-1252 : vérifiez que les accents s'y affichent bien."});
    });
}

Utf16 utf16Illisible(std::string_view octets)
{
    if (octets.starts_with("\xFE\xFF"))
        return Utf16::GrosBoutiste;
    if (octets.starts_with("\xFF\xFE"))
        return Utf16::Non;
    const std::string_view debut = octets.substr(0, 4096);
    size_t pairs = 0, impairs = 0;
    for (size_t i = 0; i < debut.size(); ++i)
        (i % 2 == 0 ? pairs : impairs) += debut[i] == '\0';
    const size_t moitie = debut.size() / 2;
    // Mostly ASCII text: one byte of each pair is NUL, the other not.
    if (moitie >= 2 && pairs >= moitie / 2 && impairs <= pairs / 8)
        return Utf16::GrosBoutiste;
    if (moitie >= 2 && impairs >= moitie / 2 && pairs <= impairs / 8)
        return Utf16::PetitBoutisteSansMarque;
    return Utf16::Non;
}

std::string phraseUtf16(Utf16 genre)
{
    return std::string("le fichier est écrit en UTF-16") +
           (genre == Utf16::GrosBoutiste
                ? "BE (« Unicode big endian ») et non en UTF-8 : Listora ne lit pas cet encodage"
                : "LE sans sa marque d'ordre des octets (FF FE) : Listora ne lit l'UTF-16 "
                  "qu'avec cette marque en tête") +
           " et affichera « Erreur Fichier » pour chaque catalogue. Enregistrez-le en UTF-8 ; "
           "ses lignes ne sont pas citées ici.";
}

} // namespace verificateur
