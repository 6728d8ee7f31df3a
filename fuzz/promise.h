// What a fuzz target does when a promise of the reading layer or of the
// checker is broken: says which on standard error and aborts, so that
// libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace fuzz
{

inline void verifier(bool promesseTenue, const char* promesse)
{
    if (promesseTenue)
        return;
    std::fprintf(stderr, "broken promise: %s\n", promesse);
    std::abort();
}

} // namespace fuzz
