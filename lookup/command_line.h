// The command line of listora-cherche, apart from main() so that tests run
// it as a user does and see what it prints and its exit status.
#pragma once

#include <string>
#include <vector>

namespace consultation
{

// The exit status.
enum class Statut {
    Trouve = 0,    // at least one entry printed
    Rien = 1,      // nothing answers the text
    Illisible = 2, // the file cannot be read, or the command line is wrong
};

struct Contexte {
    int largeur = 0;             // columns to fold to; 0 for none (system.h)
    std::string catalogueFourni; // the catalogue installed with the program
};

// Runs the tool on `arguments` (without the program's name): appends what
// it prints to `sortie` and its messages to `erreurs`; returns the status.
int executer(const std::vector<std::string>& arguments, const Contexte& contexte,
             std::string& sortie, std::string& erreurs);

} // namespace consultation
