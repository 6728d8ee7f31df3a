// One pass of the program's reading over a data file held in memory: what
// the fuzzer and the replay of its seeds feed every input to.
//
// The bytes are parsed as the data file, then every catalogue is read as the
// handlers read it (the section read, the values from key 1 upward until the
// first empty one, each value cut into its term and fields), together with
// reads at the edges that the handlers never make: tiny buffers, odd names.
// Besides the memory faults that the sanitizers see, every result is checked
// against what the callers rely on; a broken promise aborts with a message.
#pragma once

#include <string_view>

namespace fuzz
{

void lireCommeListora(std::string_view octets);

} // namespace fuzz
