// Reading the data file as the program does, and writing a new file without
// ever replacing one.
#pragma once

#include "catalogue/byte_buffer.h"

#include <string>
#include <string_view>

namespace verificateur
{

struct Lecture {
    ini::Octets octets;
    std::string erreur; // empty when read; otherwise why not, in French
};

// The bytes of the file at `chemin`, under the program's rules (ini_file.h):
// a missing path, anything but a regular file, a file that cannot be read
// or one larger than ini::TailleMaximale reads as absent.
Lecture lireFichier(const std::string& chemin);

// Writes `octets` to the new file `chemin`. Refuses a path that exists, even
// a dangling link, so that no file is ever replaced, and removes what it
// wrote when it fails. Returns an empty string, or why not, in French.
std::string ecrireNouveauFichier(const std::string& chemin, std::string_view octets);

} // namespace verificateur
