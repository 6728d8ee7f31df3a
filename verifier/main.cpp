// listora-verifier: checks Listora's data file, or renumbers it into a new
// file. The work is done in command_line.cpp; main() prints what it says,
// and says so when the report could not be written whole. Arguments and
// output are UTF-8 on every system (platform/console.h).
#include "platform/console.h"
#include "verifier/command_line.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

namespace
{

std::string raison(int erreur)
{
    switch (static_cast<std::errc>(erreur)) {
    case std::errc::no_space_on_device:
        return "le disque est plein";
    case std::errc::bad_file_descriptor:
        return "la sortie standard est fermée";
    case std::errc::broken_pipe:
        return "le programme qui la lisait l'a fermée";
    case std::errc::file_too_large:
        return "la taille permise aux fichiers est dépassée";
    case std::errc::io_error:
        return "erreur d'entrée-sortie";
    default:
        return "erreur " + std::to_string(erreur);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments = plateforme::argumentsDuProgramme(argc, argv);
    std::string sortie, erreurs;
    int statut = verificateur::executer(arguments, sortie, erreurs);
    errno = 0;
    if (!plateforme::ecrireFlux(stdout, sortie)) {
        // A report cut short would read as a whole one: a script or a user
        // must not take it for the verdict.
        erreurs += "listora-verifier : le rapport n'a pas pu être écrit en entier (" +
                   raison(errno) + ").\n";
        statut = 2;
    }
    plateforme::ecrireFlux(stderr, erreurs);
    return statut;
}
