// The program's own command-line options, looked at before any window or
// display is opened: --help and --version print and end the program.
#pragma once

#include <optional>
#include <string>

// What the program does with its arguments.
struct LigneDeCommande {
    std::optional<int> fin; // set: print `texte` and end with this status
    std::string texte;      // to standard output for 0, to standard error otherwise
};

// `--help` (`-h`, `--aide`) and `--version` (`-V`): their text and status 0.
// Anything else is left to Qt, which takes its own options (-platform,
// -style...) out of the arguments.
LigneDeCommande lireOptions(int argc, const char* const* argv);

// Arguments Qt left: a one-line error and status 2 for the first one.
LigneDeCommande refuserLeReste(int argc, const char* const* argv);
