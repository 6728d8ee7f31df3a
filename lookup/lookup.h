// The look-up of listora-cherche: one text sought in the three catalogues of
// a data file, each entry found ranked by how plainly it answers the text.
//
// Ranks, best first: the term is the text (letter case aside); the text is a
// port number ("443", "443/tcp") that an IP port serves; the text is a file
// extension (".docx", "docx") or a MIME type that a MIME type's entry lists
// or names as its type; last, the entry's line holds the text, as the search
// window finds it (letter case aside unless asked, accents counting).
#pragma once

#include "catalogue/catalogues.h"
#include "catalogue/ini_document.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace consultation
{

enum class Rang : uint8_t {
    Terme = 0, // the term equals the text
    Port = 1,  // the text is a port number the entry serves
    Type = 2,  // the text is an extension the entry lists, or the type it names
    Ligne = 3, // the entry's line holds the text
};

struct Trouvee {
    Rang rang = Rang::Ligne;
    uint8_t nuance = 0;    // order within the rank, smaller first
    int16_t cle = 0;       // the key number, the last tie-breaker
    std::u16string valeur; // as the program reads it
};

struct Groupe {
    const catalogue::Catalogue* catalogue = nullptr;
    std::vector<Trouvee> trouvees; // best first
};

// The entries of each catalogue of `version` that answer `texte`, best first,
// catalogues in the order of catalogue::Tous. With `casse`, letter case
// counts in the term and in the line; port numbers, protocols and
// extensions are compared without regard to it.
std::array<Groupe, 3> chercher(std::shared_ptr<const ini::Document> version,
                               std::u16string_view texte, bool casse);

// The text sought, taken apart once for all the entries it is set against.
class Requete
{
public:
    Requete(std::u16string_view texte, bool casse);

    // How `valeur`, an entry of catalogue `c`, answers the text: its rank
    // and nuance in `trouvee`; false when it does not answer at all.
    bool classer(const catalogue::Catalogue& c, std::u16string_view valeur, Trouvee& trouvee) const;

private:
    bool estPortServi(std::u16string_view valeur, uint8_t& nuance) const;
    bool estTypeListe(std::u16string_view valeur, uint8_t& nuance) const;

    std::u16string texte_;
    std::u16string plie_; // the text case-folded, when case does not count
    bool casse_;
    int port_ = -1;            // the port number the text names, or -1
    std::u16string protocole_; // "TCP" when the text is "443/tcp"; empty for any
    std::u16string extension_; // ".docx" for ".docx" or "docx"; empty when it cannot be one
    mutable std::u16string tampon_;
};

} // namespace consultation
