// One run of listora-verifier's check over a data file held in memory: what
// the second fuzz target and the replay of the seeds feed every input to.
//
// Whatever the bytes, the report must be safe to print (valid UTF-8, no
// control character but its line ends, no invisible format character) and
// short, and the number of entries it says each catalogue loads must be the
// number the program's own reading functions load from the same bytes. A
// broken promise aborts with a message.
#pragma once

#include <string>
#include <string_view>

namespace fuzz
{

void verifierCommeListora(std::string_view octets);

// Aborts unless `sortie` is safe to print (valid UTF-8, no raw control or
// invisible format character but line ends) and at most `lignes` lines.
void verifierAffichable(const std::string& sortie, long lignes);

} // namespace fuzz
