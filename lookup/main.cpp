// listora-cherche: looks a text up in Listora's three catalogues from a
// terminal. The work is done in command_line.cpp; main() prints what it
// says, and says so when the answer could not be written whole. Arguments
// and output are UTF-8 on every system (platform/console.h).
#include "lookup/command_line.h"
#include "lookup/system.h"
#include "platform/console.h"
#include "terminal/write_failure.h"

#include <cerrno>
#include <cstdio>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments = plateforme::argumentsDuProgramme(argc, argv);
    consultation::Contexte contexte;
    contexte.largeur = consultation::largeurSortie();
    contexte.catalogueFourni = LISTORA_SHIPPED_CATALOGUE;
    std::string sortie, erreurs;
    int statut = consultation::executer(arguments, contexte, sortie, erreurs);
    errno = 0;
    if (!plateforme::ecrireFlux(stdout, sortie)) {
        // An answer cut short would read as a whole one.
        erreurs += "listora-cherche : la réponse n'a pas pu être écrite en entier (" +
                   terminal::raisonDeLEchec(errno) + ").\n";
        statut = 2;
    }
    plateforme::ecrireFlux(stderr, erreurs);
    return statut;
}
