// Finding the entry of a selected term. The lists hold only terms, so a
// selection reads the catalogue again from key 1 until the value whose term is
// the selected text, letter case and blanks included. The first match wins,
// so of two entries with one term the one with the lower key is shown.
#pragma once

#include "catalogue/catalogues.h"

#include <QString>

#include <array>
#include <optional>

namespace display
{

// What the main window shows of an entry. An acronym or a MIME type has only
// its meaning, in `description`; an IP port also its four fields between the
// term and the description, in `champs`.
struct Entree {
    std::array<QString, 4> champs;
    QString description;
};

// The entry of `terme` in catalogue `c`, or nothing when no key holds it
// (the file changed since the list was filled). A value with fewer commas
// than its form needs shows its missing fields empty.
std::optional<Entree> trouverEntree(const catalogue::Catalogue& c, const QString& terme);

} // namespace display
