// files.h on Windows: the wide API from UTF-8 paths, so that any name
// (C:\Users\Élodie) reaches the file whatever the ANSI code page.
#include "platform/files.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cwchar>
#include <thread>

namespace plateforme
{
namespace
{

std::wstring large(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring texte(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), texte.data(), n);
    return texte;
}

std::string etroit(const wchar_t* texte, int longueur)
{
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, texte, longueur, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, texte, longueur, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

// The system's words for `code`, in UTF-8, without the final line end.
std::string description(DWORD code)
{
    wchar_t* texte = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&texte), 0, nullptr);
    std::string utf8 =
        n > 0 ? etroit(texte, static_cast<int>(n)) : "erreur " + std::to_string(code);
    ::LocalFree(texte);
    while (!utf8.empty() && (utf8.back() == '\n' || utf8.back() == '\r' || utf8.back() == '.'))
        utf8.pop_back();
    return utf8;
}

Erreur depuisCode(DWORD code)
{
    switch (code) {
    case ERROR_SUCCESS:
        return {};
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_NAME: // a name no file can have (a control character, ':')
    case ERROR_BAD_PATHNAME:
        return {Cause::Introuvable, {}};
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return {Cause::AccesRefuse, {}};
    case ERROR_DIRECTORY:
        return {Cause::PasUnDossier, {}};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return {Cause::DisquePlein, {}};
    case ERROR_WRITE_PROTECT:
        return {Cause::LectureSeule, {}};
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return {Cause::Existe, {}};
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return {Cause::Memoire, {}};
    default:
        return {Cause::Autre, description(code)};
    }
}

Erreur derniere()
{
    return depuisCode(::GetLastError());
}

// A FILETIME-like count of 100 ns since 1601 as nanoseconds since 1970.
int64_t depuis1601(int64_t centaines)
{
    constexpr int64_t De1601A1970 = 116'444'736'000'000'000;
    return (centaines - De1601A1970) * 100;
}

// Volume serial number and file index name the file as a device and an
// inode do; the change time (FileBasicInfo's ChangeTime) is the one no
// program can set, as st_ctim on POSIX.
std::optional<Etat> etatDe(HANDLE h, Erreur& erreur)
{
    BY_HANDLE_FILE_INFORMATION info;
    FILE_BASIC_INFO base;
    if (!::GetFileInformationByHandle(h, &info) ||
        !::GetFileInformationByHandleEx(h, FileBasicInfo, &base, sizeof base)) {
        erreur = derniere();
        return std::nullopt;
    }
    Etat etat;
    etat.signature = {
        info.dwVolumeSerialNumber,
        (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
        static_cast<int64_t>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow),
        depuis1601(base.LastWriteTime.QuadPart), depuis1601(base.ChangeTime.QuadPart)};
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        etat.genre = Genre::Dossier;
    else
        etat.genre = ::GetFileType(h) == FILE_TYPE_DISK ? Genre::Fichier : Genre::Autre;
    return etat;
}

// Opened so that other programs may still write, rename or remove the file
// (an editor saving by rename), following links; a folder opens too, so
// that its Genre tells. Handles are not inherited by child processes.
HANDLE ouvrirPourLire(const std::string& chemin, DWORD acces)
{
    return ::CreateFileW(large(chemin).c_str(), acces,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

class FichierWindows final : public FichierOuvert
{
public:
    explicit FichierWindows(HANDLE h) : h_(h) {}
    ~FichierWindows() override { ::CloseHandle(h_); }
    FichierWindows(const FichierWindows&) = delete;
    FichierWindows& operator=(const FichierWindows&) = delete;

    std::optional<Etat> etat(Erreur& erreur) const override { return etatDe(h_, erreur); }

    bool rembobiner(Erreur& erreur) override
    {
        LARGE_INTEGER debut{};
        if (::SetFilePointerEx(h_, debut, nullptr, FILE_BEGIN))
            return true;
        erreur = derniere();
        return false;
    }

    int64_t lire(char* tampon, size_t taille, Erreur& erreur) override
    {
        DWORD lu = 0;
        const auto demande = static_cast<DWORD>(std::min<size_t>(taille, 1u << 30));
        if (::ReadFile(h_, tampon, demande, &lu, nullptr))
            return lu;
        if (::GetLastError() == ERROR_HANDLE_EOF || ::GetLastError() == ERROR_BROKEN_PIPE)
            return 0;
        erreur = derniere();
        return -1;
    }

    // A second handle that refuses to share writing would tell, but while it
    // is open an editor's save fails: Windows is not asked.
    std::optional<bool> ouvertEnEcriture() override { return std::nullopt; }

private:
    HANDLE h_;
};

class HorlogeWindows final : public Horloge
{
public:
    int64_t murale() const override
    {
        FILETIME t;
        ::GetSystemTimePreciseAsFileTime(&t);
        return depuis1601(static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) |
                                               t.dwLowDateTime));
    }
    int64_t monotone() const override
    {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    void attendre(int64_t ns) override
    {
        if (ns > 0)
            std::this_thread::sleep_for(std::chrono::nanoseconds(ns));
    }
};

// The folder of `chemin`, where the temporary file is made so that the
// final move stays on one volume.
std::string dossierDe(const std::string& chemin)
{
    const size_t barre = chemin.find_last_of("/\\");
    return barre == std::string::npos ? "." : chemin.substr(0, barre == 0 ? 1 : barre);
}

// Writes all of `octets` to `h` and flushes them to the disk.
bool ecrireTout(HANDLE h, std::string_view octets)
{
    while (!octets.empty()) {
        DWORD ecrit = 0;
        const auto morceau = static_cast<DWORD>(std::min<size_t>(octets.size(), 1u << 30));
        if (!::WriteFile(h, octets.data(), morceau, &ecrit, nullptr))
            return false;
        octets.remove_prefix(ecrit);
    }
    return ::FlushFileBuffers(h) != 0;
}

} // namespace

std::optional<Etat> etatDuChemin(const std::string& chemin, Erreur& erreur)
{
    const HANDLE h = ouvrirPourLire(chemin, FILE_READ_ATTRIBUTES);
    if (h == INVALID_HANDLE_VALUE) {
        erreur = derniere();
        return std::nullopt;
    }
    auto etat = etatDe(h, erreur);
    ::CloseHandle(h);
    return etat;
}

bool nomPris(const std::string& chemin)
{
    // GetFileAttributesW does not follow a link: a dangling one counts.
    return ::GetFileAttributesW(large(chemin).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::unique_ptr<FichierOuvert> FichierOuvert::ouvrir(const std::string& chemin, Erreur& erreur)
{
    const HANDLE h = ouvrirPourLire(chemin, GENERIC_READ);
    if (h == INVALID_HANDLE_VALUE) {
        erreur = derniere();
        return nullptr;
    }
    return std::make_unique<FichierWindows>(h);
}

Ecriture ecrireNouveauFichier(const std::string& chemin, std::string_view octets)
{
    Ecriture resultat;
    if (nomPris(chemin)) {
        resultat.erreur = {Cause::Existe, {}};
        return resultat;
    }
    // A hidden temporary file beside the target, named once whole: MoveFileExW
    // without MOVEFILE_REPLACE_EXISTING fails on an existing name.
    // Every name is made before the temporary file: memory lacking later
    // would leave it behind.
    const std::wstring cible = large(chemin);
    const std::wstring temporaire =
        large(dossierDe(chemin) + "\\.listora-verifier." + std::to_string(::GetCurrentProcessId()) +
              "." + std::to_string(::GetTickCount64()) + ".tmp");
    const HANDLE h = ::CreateFileW(temporaire.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        resultat.creation = true;
        resultat.erreur = derniere();
        return resultat;
    }
    bool ecrit = ecrireTout(h, octets);
    DWORD code = ecrit ? ERROR_SUCCESS : ::GetLastError();
    ::CloseHandle(h);
    if (ecrit) {
        ::SetFileAttributesW(temporaire.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!::MoveFileExW(temporaire.c_str(), cible.c_str(), MOVEFILE_WRITE_THROUGH))
            code = ::GetLastError();
    }
    if (code != ERROR_SUCCESS) {
        ::DeleteFileW(temporaire.c_str());
        resultat.erreur = depuisCode(code);
    }
    return resultat;
}

Horloge& horlogeDuSysteme()
{
    static HorlogeWindows horloge;
    return horloge;
}

const char Separateur = '\\';

std::optional<std::string> variableDuProcessus(const char* nom)
{
    const wchar_t* valeur = ::_wgetenv(large(nom).c_str());
    if (!valeur)
        return std::nullopt;
    return etroit(valeur, static_cast<int>(std::wcslen(valeur)));
}

std::string dossierDeLUtilisateur(const Environnement& environnement, bool)
{
    // The roaming application data: the user's settings follow the user
    // from one computer of a domain to another.
    const std::optional<std::string> donnees = environnement("APPDATA");
    if (!donnees || donnees->empty())
        return {};
    return *donnees + "\\Listora";
}

const char* const SansDossierDeLUtilisateur = "APPDATA ne désigne aucun dossier";

Erreur creerDossiers(const std::string& chemin)
{
    // Each folder of the path from the top, as mkdir -p does; a drive
    // ("C:") or a server's share (\\serveur\partage) is never made.
    const auto apres = [&](size_t i) {
        return i == std::string::npos ? i : chemin.find_first_of("/\\", i + 1);
    };
    size_t fin = chemin.starts_with("\\\\") ? apres(apres(apres(1))) : apres(0);
    for (;; fin = apres(fin)) {
        const std::string dossier = chemin.substr(0, fin);
        if (!dossier.empty() && dossier.back() != ':' &&
            !::CreateDirectoryW(large(dossier).c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS && ::GetLastError() != ERROR_ACCESS_DENIED)
            return derniere();
        if (fin == std::string::npos)
            break;
    }
    Erreur erreur;
    const std::optional<Etat> etat = etatDuChemin(chemin, erreur);
    if (etat && etat->genre != Genre::Dossier)
        return {Cause::PasUnDossier, {}};
    return erreur;
}

std::string dossierDuProgramme()
{
    std::wstring chemin(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, chemin.data(), static_cast<DWORD>(chemin.size()));
    if (n == 0 || n >= chemin.size())
        return {};
    chemin.resize(n);
    const std::string programme = etroit(chemin.data(), static_cast<int>(chemin.size()));
    return programme.substr(0, programme.rfind('\\'));
}

// The zip's folder and the installed one hold the catalogue beside the programs.
std::string dossierFourni()
{
    return dossierDuProgramme();
}

void preparerMemoire(void*, size_t) {}

} // namespace plateforme
