#include "lookup/system.h"

#include <cstdlib>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace consultation
{

int largeurSortie()
{
    if (!::isatty(STDOUT_FILENO))
        return 0;
    struct winsize taille {
    };
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &taille) == 0 && taille.ws_col > 0)
        return taille.ws_col;
    if (const char* colonnes = std::getenv("COLUMNS")) {
        char* fin = nullptr;
        const long n = std::strtol(colonnes, &fin, 10);
        if (fin != colonnes && *fin == '\0' && n > 0 && n < 10000)
            return static_cast<int>(n);
    }
    return 80;
}

bool existe(const std::string& chemin)
{
    struct stat etat;
    return ::lstat(chemin.c_str(), &etat) == 0;
}

} // namespace consultation
