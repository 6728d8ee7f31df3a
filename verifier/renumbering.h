// Renumbering the catalogues into a new file: each catalogue's entries,
// wherever the file holds them, numbered from 1 in file order under the
// catalogue's own section, so that the program's walk reaches every one.
// Every other line is copied as it is.
#pragma once

#include "catalogue/byte_buffer.h"

#include <string>
#include <vector>

namespace verificateur
{

struct Renumerotation {
    std::string texte;              // the new file: UTF-8 without mark, LF line ends
    std::vector<std::string> notes; // what changed, one French sentence each
};

// The renumbered text of a data file's bytes. Keys with an empty value are
// left out: the program stops a catalogue at the first one it reads.
Renumerotation renumeroter(ini::Octets octets);

} // namespace verificateur
