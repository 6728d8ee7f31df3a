// Case folding as the searches compare letters "letter case aside": one
// UTF-16 unit for one, a character beyond the first 65,536 folded as a
// whole, ASCII without a table. The table for the other characters is the
// caller's (Qt's for the windows, a generated one for the look-up tool,
// which loads no Qt); both give the same simple folding of Unicode.
//
// A search folds its text once and each value into one reused buffer, then
// compares exactly, where a case-insensitive find would fold both at every
// position it tries.
#pragma once

#include <string_view>

namespace catalogue
{

// `texte` folded into `sortie` (room for texte.size() units) by `plierPoint`,
// a function from a code point to its simple case folding.
template <class PlierPoint>
void plierCasse(std::u16string_view texte, char16_t* sortie, PlierPoint plierPoint)
{
    for (size_t i = 0; i < texte.size(); ++i) {
        const char16_t c = texte[i];
        if (c < 0x80) {
            sortie[i] = c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
        } else if (c >= 0xD800 && c < 0xDC00 && i + 1 < texte.size() && texte[i + 1] >= 0xDC00 &&
                   texte[i + 1] < 0xE000) {
            const char32_t point =
                plierPoint(0x10000 + ((char32_t(c) - 0xD800) << 10) + (texte[i + 1] - 0xDC00));
            sortie[i] = static_cast<char16_t>(0xD7C0 + (point >> 10));
            sortie[++i] = static_cast<char16_t>(0xDC00 | (point & 0x3FF));
        } else {
            sortie[i] = static_cast<char16_t>(plierPoint(char32_t(c)));
        }
    }
}

} // namespace catalogue
