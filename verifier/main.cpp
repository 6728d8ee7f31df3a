// listora-verifier: checks Listora's data file, or renumbers it into a new
// file. The work is done in ligne_de_commande.cpp.
#include "verifier/command_line.h"

#include <cstdio>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string sortie, erreurs;
    const int statut = verificateur::executer(arguments, sortie, erreurs);
    std::fwrite(sortie.data(), 1, sortie.size(), stdout);
    std::fflush(stdout);
    std::fwrite(erreurs.data(), 1, erreurs.size(), stderr);
    return statut;
}
