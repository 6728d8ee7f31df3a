#include "platform/terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace plateforme
{

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
