#include "platform/console.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace plateforme
{

std::vector<std::string> argumentsDuProgramme(int argc, char** argv)
{
    return std::vector<std::string>(argv + 1, argv + argc);
}

bool ecrireFlux(std::FILE* flux, const std::string& texte)
{
    const bool ecrit = std::fwrite(texte.data(), 1, texte.size(), flux) == texte.size();
    return std::fflush(flux) == 0 && ecrit && !std::ferror(flux);
}

std::optional<int> largeurTerminal()
{
    if (!::isatty(STDOUT_FILENO))
        return std::nullopt;
    struct winsize taille {
    };
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &taille) == 0 && taille.ws_col > 0)
        return taille.ws_col;
    return 0;
}

} // namespace plateforme
