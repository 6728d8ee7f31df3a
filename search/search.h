// The search over a catalogue: every entry is read again from the data file,
// and the terms of those whose value holds the search string are kept.
#pragma once

#include "catalogue/catalogues.h"
#include "catalogue/loading.h"

namespace search
{

// The term of every value of `c` that holds `chaine`, in key order, repeats
// included. The whole value is searched, so a hit in the meaning alone counts;
// a value without a comma is all term. Case-insensitive means capitals and
// small letters are equal, accented ones too; accents still count.
catalogue::Termes termesTrouves(const catalogue::Catalogue& c, const QString& chaine,
                                Qt::CaseSensitivity casse);

} // namespace search
