// The data file seen line by line through the program's own reading rules,
// with what each line is to the three catalogues. Both the check and the
// renumbering start from it. Nothing is kept per line: the lines are handed
// out one at a time, as often as a caller walks them, so that the memory a
// file costs is its parsed text and no more.
#pragma once

#include "catalogue/catalogues.h"
#include "catalogue/ini_document.h"
#include "catalogue/key_number.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace verificateur
{

using catalogue::Numero;

struct LigneFichier {
    int numero = 0;             // from 1
    ini::Ligne ligne;           // as the reading rules see it, raw line included
    int entete = 0;             // line number of its header (its own for a header), 0 before any
    std::string_view nomEntete; // that header's section name
    bool sectionLue = false;    // under the first header of its name, which the program reads
    int sectionCatalogue = -1;  // index in catalogue::Tous of that read section, -1 for none
    int catalogueCle = -1;      // catalogue whose key this is (prefix then digits), -1 for none
    Numero etatNumero = Numero::Valide;
    int cle = 0; // the key's number when Valide, 0 otherwise
};

struct Inventaire {
    std::unique_ptr<const ini::Document> document;
    bool marqueUtf8 = false; // the bytes began with the UTF-8 mark
};

Inventaire inventorier(ini::Octets octets);

// Calls `f` for every line of the inventory's text, in order. The line and
// its views are valid during the call; the views into the text as long as
// the inventory.
void parcourir(const Inventaire& inv, const std::function<void(const LigneFichier&)>& f);

// Two section or key names are the same to the program: ASCII case aside.
inline bool memeNom(std::string_view a, std::string_view b)
{
    return ini::Nom{a} == ini::Nom{b};
}

// The value written on a key line, from after its "=", as it stands in the
// file (quotes kept): what renumbering copies.
std::string_view valeurEcrite(const LigneFichier& l);

} // namespace verificateur
