// How each Unicode code point shows on a terminal, as a table of runs made
// from ICU's data by scripts/unicode-table (unicode_table.cpp is generated):
// the checker needs no ICU at run time, on Linux or Windows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace verificateur
{

enum class Apparence : uint8_t {
    Visible,
    // Shows as nothing or as a box: C0 and C1 controls, format characters
    // (bidi controls, zero-width characters, the byte-order mark), line and
    // paragraph separators, Default_Ignorable code points (variation
    // selectors, Hangul fillers, tag characters...), noncharacters and
    // unassigned code points.
    Invisible,
    Espace, // a space separator other than U+0020
};

// A run of code points of one appearance: from `debut` to the next run's.
struct Plage {
    char32_t debut;
    Apparence apparence;
};

extern const Plage TablePlages[];
extern const size_t NombrePlages;

// The appearance of `c`; past U+10FFFF, Invisible.
Apparence apparence(char32_t c);

} // namespace verificateur
