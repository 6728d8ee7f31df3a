#include "platform/terminal.h"

#include <windows.h>

namespace plateforme
{

std::optional<int> largeurTerminal()
{
    const HANDLE sortie = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    // A console answers GetConsoleMode; a pipe or a file does not.
    if (sortie == INVALID_HANDLE_VALUE || sortie == nullptr || !GetConsoleMode(sortie, &mode))
        return std::nullopt;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(sortie, &info) && info.srWindow.Right >= info.srWindow.Left)
        return info.srWindow.Right - info.srWindow.Left + 1;
    return 0;
}

} // namespace plateforme
