// A console program's arguments and output, in UTF-8 on every system.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace plateforme
{

// The program's arguments, without its name, in UTF-8. On Windows they are
// taken from the UTF-16 command line, since `argv` there holds them in the
// ANSI code page, which loses every character outside it (in Windows-1252:
// a "ł", a Greek or Cyrillic letter, "Œ" being kept); elsewhere `argv` is UTF-8 already.
std::vector<std::string> argumentsDuProgramme(int argc, char** argv);

// Writes all of the UTF-8 `texte` to `flux` (stdout or stderr) and flushes
// it: false, with errno set, when some of it did not get through (a full
// disk, a closed output). On a Windows console it goes through the
// console's UTF-16 call, so that French shows whatever the console's code
// page; redirected, it is UTF-8 bytes, as on other systems.
bool ecrireFlux(std::FILE* flux, const std::string& texte);

// The standard output's width in columns: nothing when it is not a
// terminal (a pipe, a file), 0 when it is one of unknown size.
std::optional<int> largeurTerminal();

} // namespace plateforme
