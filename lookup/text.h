// The few text operations listora-cherche needs, on UTF-16 as the walk
// reads it, without Qt: the tool loads no Qt, whose start alone takes longer
// than grep takes for the whole look-up. Each does what the QString call it
// replaces did (letter case aside: Qt's simple case folding, from a table made
// from ICU's data, so that the tool links neither Qt nor ICU).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace consultation
{

// UTF-8 as UTF-16; a byte that is not part of a UTF-8 character becomes
// U+FFFD.
std::u16string utf16(std::string_view utf8);
// UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string utf8(std::u16string_view texte);

// `texte` case-folded into `plie`, one unit for one.
void plier(std::u16string_view texte, std::u16string& plie);
// Whether `a` and `b` are equal letter case aside.
bool egaux(std::u16string_view a, std::u16string_view b);
// Whether `texte` starts with `debut`, letter case aside.
bool commencePar(std::u16string_view texte, std::u16string_view debut);

// `texte` without the blanks at its ends (Unicode's spaces, tabs, line ends).
std::u16string_view rogner(std::u16string_view texte);
// A whole decimal number, sign allowed; false when `texte` is not one that
// fits an int.
bool entier(std::u16string_view texte, int& valeur);
// The pieces of `texte` between the occurrences of `separateur`.
std::vector<std::u16string_view> decouper(std::u16string_view texte,
                                          std::u16string_view separateur);

} // namespace consultation
