// The lines listora-cherche prints: one entry a line, opening with its
// catalogue, then its term and the rest of the entry; a line wider than the
// terminal folded at its blanks, its following lines set under the term.
// Everything quoted from the file is made visible first (verifier/visible.h):
// no character from the file acts on the terminal.
#pragma once

#include "lookup/lookup.h"

#include <string>

namespace consultation
{

// The word that opens a line of catalogue `c`, padded to one width.
std::string etiquette(const catalogue::Catalogue& c);

// One entry as its line, without its end: "Port IP   ssh — TCP 22, client
// TCP 1024-65535 — description", "Acronyme  DNS — Domain Name System".
std::string ligneEntree(const catalogue::Catalogue& c, std::u16string_view valeur);

// `ligne` folded to `largeur` columns (0: not folded), each line ended.
std::string plierLigne(const std::string& ligne, int largeur);

// The groups as printed: at most `limite` entries of each catalogue (0 for
// all), then how many more; folded to `largeur` columns.
std::string enTexte(const std::array<Groupe, 3>& groupes, size_t limite, int largeur);

} // namespace consultation
