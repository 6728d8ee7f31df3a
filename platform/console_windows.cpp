#include "platform/console.h"

#include <algorithm>
#include <cerrno>
#include <io.h>
// windows.h first: shellapi.h needs its types.
#include <windows.h>

#include <shellapi.h>

namespace plateforme
{
namespace
{

std::string enUtf8(const wchar_t* texte)
{
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, texte, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return {};
    std::string utf8(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, texte, -1, utf8.data(), n, nullptr, nullptr);
    utf8.pop_back(); // the final NUL
    return utf8;
}

std::wstring enUtf16(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    const int taille = static_cast<int>(utf8.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), taille, nullptr, 0);
    std::wstring texte(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), taille, texte.data(), n);
    return texte;
}

// Line ends as the console wants them: CR LF.
bool ecrireConsole(HANDLE console, const std::string& texte)
{
    std::wstring large;
    for (const wchar_t c : enUtf16(texte)) {
        if (c == L'\n')
            large += L'\r';
        large += c;
    }
    for (size_t fait = 0; fait < large.size();) {
        DWORD ecrits = 0;
        const auto morceau = static_cast<DWORD>(std::min<size_t>(large.size() - fait, 8192));
        if (!::WriteConsoleW(console, large.data() + fait, morceau, &ecrits, nullptr) ||
            ecrits == 0) {
            errno = EIO;
            return false;
        }
        fait += ecrits;
    }
    return true;
}

} // namespace

std::vector<std::string> argumentsDuProgramme(int argc, char** argv)
{
    int nombre = 0;
    wchar_t** larges = ::CommandLineToArgvW(::GetCommandLineW(), &nombre);
    if (!larges)
        return std::vector<std::string>(argv + 1, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < nombre; ++i)
        arguments.push_back(enUtf8(larges[i]));
    ::LocalFree(larges);
    return arguments;
}

bool ecrireFlux(std::FILE* flux, const std::string& texte)
{
    const int descripteur = _fileno(flux);
    const auto poignee =
        descripteur >= 0 ? reinterpret_cast<HANDLE>(_get_osfhandle(descripteur)) : nullptr;
    DWORD mode = 0;
    if (poignee && poignee != INVALID_HANDLE_VALUE && ::GetConsoleMode(poignee, &mode)) {
        std::fflush(flux);
        return ecrireConsole(poignee, texte);
    }
    const bool ecrit = std::fwrite(texte.data(), 1, texte.size(), flux) == texte.size();
    return std::fflush(flux) == 0 && ecrit && !std::ferror(flux);
}

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
