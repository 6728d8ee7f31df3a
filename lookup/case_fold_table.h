// Unicode's simple case folding, the one the search window's QString calls
// apply, as a table of runs made from ICU's data by scripts/unicode-table
// (case_fold_table.cpp is generated): listora-cherche folds letter case
// with neither Qt nor ICU, on Linux or Windows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace consultation
{

// Code points from `debut` to `fin`, every one (`pas` 1) or every other one
// (`pas` 2), each folded to itself plus `ecart`.
struct PlagePli {
    char32_t debut, fin;
    int32_t ecart;
    int32_t pas;
};

extern const PlagePli TablePli[];
extern const size_t NombrePlagesPli;

// The simple case folding of `c`; `c` itself when it has none, or is past
// U+10FFFF.
char32_t plierPoint(char32_t c);

} // namespace consultation
