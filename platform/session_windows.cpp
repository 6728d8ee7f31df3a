// Windows: a GUI program starts without standard streams unless its caller
// gave it some; it borrows its parent's console to be heard.
#include "platform/session.h"

#include <windows.h>

#include <cstdio>

namespace plateforme
{

namespace
{

bool mene(DWORD flux)
{
    const HANDLE h = GetStdHandle(flux);
    return h != nullptr && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}

} // namespace

void rejoindreLaConsole()
{
    const bool sortie = mene(STD_OUTPUT_HANDLE);
    const bool erreurs = mene(STD_ERROR_HANDLE);
    if (sortie && erreurs)
        return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    SetConsoleOutputCP(CP_UTF8);
    if (!sortie)
        std::freopen("CONOUT$", "w", stdout);
    if (!erreurs)
        std::freopen("CONOUT$", "w", stderr);
}

const char* styleDeBase()
{
    return "Fusion";
}

const char* commandeDeNotification()
{
    return nullptr;
}

} // namespace plateforme
