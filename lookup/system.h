// What listora-cherche asks of the operating system, in one place, written
// once on the platform/ seam (console.h, files.h).
#pragma once

#include <string>

namespace consultation
{

// The width in columns to fold the output to: the terminal's when the
// standard output is one (its size, else COLUMNS, else 80); 0, no folding,
// when it is a pipe or a file, so that a script or grep gets one entry a line.
int largeurSortie();

// Whether something, even a dangling link, stands at `chemin`.
bool existe(const std::string& chemin);

} // namespace consultation
