// POSIX: the program's standard streams are those of its terminal, and the
// desktop's style is kept.
#include "platform/session.h"

namespace plateforme
{

void rejoindreLaConsole() {}

const char* styleDeBase()
{
    return nullptr;
}

const char* commandeDeNotification()
{
    return "notify-send";
}

} // namespace plateforme
