// One run of listora-cherche's look-up over a data file held in memory:
// what the third fuzz target and the replay of the seeds feed every input to.
//
// Whatever the bytes and the text sought, what it prints must be safe to
// print (as the checker's report), at most 20 entries a catalogue and one
// line telling how many more, and, folded to a terminal's width, no line
// wider than the terminal. A broken promise aborts with a message.
#pragma once

#include <string_view>

namespace fuzz
{

void chercherCommeListora(std::string_view octets);

} // namespace fuzz
