#include "terminal/write_failure.h"

#include <system_error>

namespace terminal
{

std::string raisonDeLEchec(int erreur)
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

} // namespace terminal
