// listora-cherche: looks a text up in Listora's three catalogues from a
// terminal. The work is done in command_line.cpp.
#include "lookup/command_line.h"
#include "lookup/system.h"

#include <cstdio>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    consultation::Contexte contexte;
    contexte.largeur = consultation::largeurSortie();
    contexte.catalogueFourni = LISTORA_SHIPPED_CATALOGUE;
    std::string sortie, erreurs;
    const int statut = consultation::executer(arguments, contexte, sortie, erreurs);
    std::fwrite(sortie.data(), 1, sortie.size(), stdout);
    std::fflush(stdout);
    std::fwrite(erreurs.data(), 1, erreurs.size(), stderr);
    return statut;
}
