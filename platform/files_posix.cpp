// files.h on POSIX systems (Linux first: O_TMPFILE, linkat, renameat2).
#include "platform/files.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plateforme
{
namespace
{

Erreur depuisErrno(int e)
{
    switch (e) {
    case 0:
        return {};
    case ENOENT:
        return {Cause::Introuvable, {}};
    case EACCES:
    case EPERM:
        return {Cause::AccesRefuse, {}};
    case ENOTDIR:
        return {Cause::PasUnDossier, {}};
    case ENOSPC:
    case EDQUOT:
        return {Cause::DisquePlein, {}};
    case EFBIG:
        return {Cause::TropGrand, {}};
    case EROFS:
        return {Cause::LectureSeule, {}};
    case EEXIST:
        return {Cause::Existe, {}};
    case ENOMEM:
        return {Cause::Memoire, {}};
    default:
        return {Cause::Autre, std::strerror(e)};
    }
}

int64_t enNanosecondes(const timespec& t)
{
    return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

Etat etatDe(const struct stat& e)
{
    Etat etat;
    etat.signature = {static_cast<uint64_t>(e.st_dev), static_cast<uint64_t>(e.st_ino),
                      static_cast<int64_t>(e.st_size), enNanosecondes(e.st_mtim),
                      enNanosecondes(e.st_ctim)};
    etat.genre = S_ISREG(e.st_mode)   ? Genre::Fichier
                 : S_ISDIR(e.st_mode) ? Genre::Dossier
                                      : Genre::Autre;
    return etat;
}

class FichierPosix final : public FichierOuvert
{
public:
    explicit FichierPosix(int fd) : fd_(fd) {}
    ~FichierPosix() override { ::close(fd_); }
    FichierPosix(const FichierPosix&) = delete;
    FichierPosix& operator=(const FichierPosix&) = delete;

    std::optional<Etat> etat(Erreur& erreur) const override
    {
        struct stat e;
        if (::fstat(fd_, &e) != 0) {
            erreur = depuisErrno(errno);
            return std::nullopt;
        }
        return etatDe(e);
    }

    bool rembobiner(Erreur& erreur) override
    {
        if (::lseek(fd_, 0, SEEK_SET) == 0)
            return true;
        erreur = depuisErrno(errno);
        return false;
    }

    int64_t lire(char* tampon, size_t taille, Erreur& erreur) override
    {
        for (;;) {
            const ssize_t lu = ::read(fd_, tampon, taille);
            if (lu >= 0)
                return lu;
            if (errno != EINTR) {
                erreur = depuisErrno(errno);
                return -1;
            }
        }
    }

    std::optional<bool> ouvertEnEcriture() override
    {
#ifdef F_SETLEASE
        // Linux grants a read lease only while no one holds the file open
        // for writing. It is let go at once: a writer opening the file in
        // between waits that long, and the lease's break is signalled with
        // SIGURG, ignored unless a program asks for it (SIGIO, the default,
        // would end this one).
        if (::fcntl(fd_, F_SETSIG, SIGURG) == 0) {
            if (::fcntl(fd_, F_SETLEASE, F_RDLCK) == 0) {
                ::fcntl(fd_, F_SETLEASE, F_UNLCK);
                return false;
            }
            if (errno == EAGAIN)
                return true;
        }
#endif
        return std::nullopt; // not the user's file, or a file system without leases
    }

private:
    int fd_;
};

class HorlogePosix final : public Horloge
{
public:
    int64_t murale() const override { return maintenant(CLOCK_REALTIME); }
    int64_t monotone() const override { return maintenant(CLOCK_MONOTONIC); }
    void attendre(int64_t ns) override
    {
        if (ns <= 0)
            return;
        timespec reste{static_cast<time_t>(ns / 1'000'000'000),
                       static_cast<long>(ns % 1'000'000'000)};
        while (::nanosleep(&reste, &reste) != 0 && errno == EINTR) {
        }
    }

private:
    static int64_t maintenant(clockid_t horloge)
    {
        timespec t{};
        clock_gettime(horloge, &t);
        return enNanosecondes(t);
    }
};

// The folder of `chemin`, for the new file and the folder's fsync.
std::string dossierDe(const std::string& chemin)
{
    const size_t barre = chemin.rfind('/');
    return barre == std::string::npos ? "." : barre == 0 ? "/" : chemin.substr(0, barre);
}

// Writes all of `octets` to `fd` and flushes them to disk; 0 or errno.
int ecrireTout(int fd, std::string_view octets)
{
    while (!octets.empty()) {
        const ssize_t n = ::write(fd, octets.data(), octets.size());
        if (n < 0 && errno != EINTR)
            return errno;
        if (n > 0)
            octets.remove_prefix(static_cast<size_t>(n));
    }
    return ::fsync(fd) != 0 ? errno : 0;
}

// The new file's bytes, written into a file of the folder that has no name
// yet (O_TMPFILE), then named: killed at any moment, the program leaves
// nothing behind, and a name given is never taken back. linkat() fails on
// an existing name, whatever it is. Returns errno, or EOPNOTSUPP when the
// file system cannot make a file without a name.
int ecrireSansNom(const std::string& dossier, const std::string& chemin, std::string_view octets,
                  bool& creation)
{
    const int fd = ::open(dossier.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) {
        creation = true;
        // Old kernels answer EISDIR; file systems without it EOPNOTSUPP.
        return errno == EISDIR || errno == EOPNOTSUPP || errno == EINVAL ? EOPNOTSUPP : errno;
    }
    int erreur = ecrireTout(fd, octets);
    if (erreur == 0) {
        // Naming a file through its descriptor needs a privilege; its
        // /proc entry does not.
        char lien[64];
        std::snprintf(lien, sizeof lien, "/proc/self/fd/%d", fd);
        if (::linkat(AT_FDCWD, lien, AT_FDCWD, chemin.c_str(), AT_SYMLINK_FOLLOW) != 0)
            erreur = errno;
    }
    ::close(fd);
    return erreur;
}

// Gives the temporary file `temporaire` the name `chemin` without ever
// replacing a file there: link() fails on an existing name, whatever it is.
// A file system without hard links gets the same promise from renameat2.
int nommer(const std::string& temporaire, const std::string& chemin)
{
    if (::link(temporaire.c_str(), chemin.c_str()) == 0)
        return 0;
    const int erreur = errno;
    if (erreur != EPERM && erreur != ENOTSUP && erreur != EOPNOTSUPP && erreur != EMLINK)
        return erreur;
    if (::renameat2(AT_FDCWD, temporaire.c_str(), AT_FDCWD, chemin.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    return errno == EINVAL || errno == ENOSYS ? erreur : errno;
}

// The name of the temporary file while one stands, for the signal handler
// that removes it.
char temporaireEnCours[4096];

extern "C" void retirerTemporaire(int signal)
{
    if (temporaireEnCours[0] != '\0')
        ::unlink(temporaireEnCours);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Where a file cannot be made without a name (NFS, FAT...): a hidden
// temporary file beside the target, named once whole. A signal that ends
// the program removes it on its way out; only SIGKILL or a power cut can
// leave it behind, and a later run never reads or reuses it.
int ecrireSousUnNomTemporaire(const std::string& dossier, const std::string& chemin,
                              std::string_view octets, bool& creation)
{
    std::string temporaire = dossier + "/.listora-verifier.XXXXXX";
    if (temporaire.size() >= sizeof temporaireEnCours) {
        creation = true;
        return ENAMETOOLONG;
    }
    constexpr int Signaux[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};
    sigset_t bloques, avant;
    sigemptyset(&bloques);
    for (const int s : Signaux)
        sigaddset(&bloques, s);
    // The name and its handler are set up with the signals held back, so
    // that no signal falls between the file's creation and the handler.
    ::sigprocmask(SIG_BLOCK, &bloques, &avant);
    const int fd = ::mkostemp(temporaire.data(), O_CLOEXEC);
    const int erreurCreation = errno;
    if (fd >= 0) {
        std::memcpy(temporaireEnCours, temporaire.c_str(), temporaire.size() + 1);
        for (const int s : Signaux)
            std::signal(s, retirerTemporaire);
    }
    ::sigprocmask(SIG_SETMASK, &avant, nullptr);
    if (fd < 0) {
        creation = true;
        return erreurCreation;
    }
    // mkostemp makes the file for its owner only; the copy gets the rights
    // a new file usually gets.
    const mode_t masque = ::umask(0);
    ::umask(masque);
    int erreur = ::fchmod(fd, 0666 & ~masque) != 0 ? errno : ecrireTout(fd, octets);
    if (::close(fd) != 0 && erreur == 0)
        erreur = errno;
    if (erreur == 0)
        erreur = nommer(temporaire, chemin);
    ::sigprocmask(SIG_BLOCK, &bloques, &avant);
    ::unlink(temporaire.c_str());
    temporaireEnCours[0] = '\0';
    for (const int s : Signaux)
        std::signal(s, SIG_DFL);
    ::sigprocmask(SIG_SETMASK, &avant, nullptr);
    return erreur;
}

} // namespace

std::optional<Etat> etatDuChemin(const std::string& chemin, Erreur& erreur)
{
    struct stat e;
    if (::stat(chemin.c_str(), &e) != 0) {
        erreur = depuisErrno(errno);
        return std::nullopt;
    }
    return etatDe(e);
}

bool nomPris(const std::string& chemin)
{
    struct stat e;
    return ::lstat(chemin.c_str(), &e) == 0;
}

std::unique_ptr<FichierOuvert> FichierOuvert::ouvrir(const std::string& chemin, Erreur& erreur)
{
    // Non-blocking, so that a FIFO put in the file's place between a look
    // at the path and here cannot hang the reader; its Genre then tells.
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        erreur = depuisErrno(errno);
        return nullptr;
    }
    return std::make_unique<FichierPosix>(fd);
}

Ecriture ecrireNouveauFichier(const std::string& chemin, std::string_view octets)
{
    Ecriture resultat;
    // Refused at once when the name is taken, even by a dangling link, so
    // that nothing is written for nothing; naming refuses it again should
    // the name be taken meanwhile.
    if (nomPris(chemin)) {
        resultat.erreur = {Cause::Existe, {}};
        return resultat;
    }
    // A file-size limit (ulimit -f) makes a write fail with EFBIG, an
    // ordinary error, instead of ending the program with SIGXFSZ.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::string dossier = dossierDe(chemin);
    int erreur = ecrireSansNom(dossier, chemin, octets, resultat.creation);
    if (erreur == EOPNOTSUPP) {
        resultat.creation = false;
        erreur = ecrireSousUnNomTemporaire(dossier, chemin, octets, resultat.creation);
    }
    if (erreur != 0) {
        resultat.erreur = depuisErrno(erreur);
        return resultat;
    }
    // The new name itself must reach the disk too.
    if (const int d = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); d >= 0) {
        ::fsync(d);
        ::close(d);
    }
    return resultat;
}

Horloge& horlogeDuSysteme()
{
    static HorlogePosix horloge;
    return horloge;
}

const char Separateur = '/';

std::optional<std::string> variableDuProcessus(const char* nom)
{
    const char* valeur = std::getenv(nom);
    return valeur ? std::optional<std::string>(valeur) : std::nullopt;
}

std::string dossierDeLUtilisateur(const Environnement& environnement, bool sansDonnees)
{
    // XDG base directories must be absolute, and so must HOME: a relative
    // one would put the user's catalogue under whatever folder the program
    // was started from.
    const auto absolu = [](const std::optional<std::string>& v) {
        return v && !v->empty() && v->front() == '/';
    };
    if (const auto donnees = environnement("XDG_DATA_HOME"); !sansDonnees && absolu(donnees))
        return *donnees + "/listora";
    if (const auto maison = environnement("HOME"); absolu(maison))
        return *maison + "/.local/share/listora";
    return {};
}

const char* const SansDossierDeLUtilisateur = "ni XDG_DATA_HOME ni HOME ne désignent un dossier";

Erreur creerDossiers(const std::string& chemin)
{
    // Each folder of the path from the top, as mkdir -p does.
    for (size_t fin = chemin.find('/', 1);; fin = chemin.find('/', fin + 1)) {
        const std::string dossier = chemin.substr(0, fin);
        if (!dossier.empty() && ::mkdir(dossier.c_str(), 0777) != 0 && errno != EEXIST)
            return depuisErrno(errno);
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
    std::string chemin(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", chemin.data(), chemin.size());
    if (n <= 0 || static_cast<size_t>(n) >= chemin.size())
        return {};
    chemin.resize(static_cast<size_t>(n));
    return chemin.substr(0, chemin.rfind('/'));
}

std::string dossierFourni()
{
    const std::string programme = dossierDuProgramme();
    return programme.empty() ? programme : programme + "/" LISTORA_FOURNI_DEPUIS_PROGRAMME;
}

void preparerMemoire(void* debut, size_t taille)
{
#ifdef MADV_POPULATE_WRITE
    // Whole pages only: madvise() takes a page-aligned start.
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto d = (reinterpret_cast<uintptr_t>(debut) + page - 1) & ~(page - 1);
    const auto f = (reinterpret_cast<uintptr_t>(debut) + taille) & ~(page - 1);
    // A hint: where it fails, the pages fault in one by one as before.
    if (f > d)
        madvise(reinterpret_cast<void*>(d), f - d, MADV_POPULATE_WRITE);
#else
    (void)debut;
    (void)taille;
#endif
}

} // namespace plateforme
