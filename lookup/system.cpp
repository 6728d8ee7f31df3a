#include "lookup/system.h"

#include "platform/console.h"
#include "platform/files.h"

#include <cstdlib>
#include <string>

namespace consultation
{

int largeurSortie()
{
    const std::optional<int> largeur = plateforme::largeurTerminal();
    if (!largeur)
        return 0;
    if (*largeur > 0)
        return *largeur;
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
    return plateforme::nomPris(chemin);
}

} // namespace consultation
