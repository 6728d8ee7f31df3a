// The program's own command-line options, looked at before any window or
// display is opened: --help and --version print and end the program, and an
// argument that is neither one of them nor one of Qt's is refused.
#pragma once

#include <optional>
#include <string>

// What the program does with its arguments.
struct LigneDeCommande {
    std::optional<int> fin; // set: print `texte` and end with this status
    std::string texte;      // to standard output for 0, to standard error otherwise
};

// `--help` (`-h`, `--aide`) and `--version` (`-V`): their text and status 0.
// Otherwise the first argument that is not one of Qt's own options (-platform,
// -style..., with their values): a one-line error and status 2. Qt's options
// are left for Qt, which takes them out of the arguments when it starts.
LigneDeCommande lireOptions(int argc, const char* const* argv);

// Arguments Qt left once started: a one-line error and status 2 for the first
// one (an option of Qt's that the platform in use does not take, such as
// -geometry outside X11).
LigneDeCommande refuserLeReste(int argc, const char* const* argv);

// The one line said when no display can be opened, with status 1: `nomme`
// tells whether DISPLAY or WAYLAND_DISPLAY named one.
std::string messageSansAffichage(bool nomme);
