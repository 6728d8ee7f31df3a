#include "lookup/system.h"

#include <filesystem>
#include <string>
#include <windows.h>

namespace consultation
{

int largeurSortie()
{
    // A console's window, not its buffer, is what the user sees; a pipe or
    // a file has no console information.
    CONSOLE_SCREEN_BUFFER_INFO console;
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &console))
        return 0;
    const int largeur = console.srWindow.Right - console.srWindow.Left + 1;
    return largeur > 0 ? largeur : 80;
}

bool existe(const std::string& chemin)
{
    std::error_code erreur;
    const auto chemin8 = std::u8string(chemin.begin(), chemin.end());
    return std::filesystem::symlink_status(std::filesystem::path(chemin8), erreur).type() !=
           std::filesystem::file_type::not_found;
}

} // namespace consultation
