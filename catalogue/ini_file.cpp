#include "catalogue/ini_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace ini
{
namespace
{

// File systems stamp times from a clock that moves in ticks (a few
// milliseconds on Linux, up to two seconds on FAT), so an edit made soon
// after a read can leave size and times exactly as they were. The change
// time is the one no program can set: a file whose change time is this close
// to the moment it was read is read again at every check until the moment
// has passed (and parsed again only when its bytes changed). A stamp with a fraction of a second
// comes from a file system that keeps one, whose tick is milliseconds.
constexpr int64_t FenetreIncertaineNs = 2'000'000'000;
constexpr int64_t FenetreIncertaineFineNs = 250'000'000;

int64_t enNanosecondes(const timespec& t)
{
    return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

bool lireTout(int fd, int64_t tailleAnnoncee, std::string& octets)
{
    // One byte more than announced, so that the end of the file is usually
    // met by the second read() and nothing is copied twice.
    octets.resize(static_cast<size_t>(tailleAnnoncee) + 1);
    size_t n = 0;
    for (;;) {
        if (n == octets.size()) {
            // The file grew while it was read.
            if (static_cast<int64_t>(n) > TailleMaximale)
                return false;
            octets.resize(std::min<size_t>(2 * n, TailleMaximale + 1));
        }
        const ssize_t lu = ::read(fd, octets.data() + n, octets.size() - n);
        if (lu < 0 && errno == EINTR)
            continue;
        if (lu < 0)
            return false;
        if (lu == 0)
            break;
        n += static_cast<size_t>(lu);
    }
    octets.resize(n);
    return true;
}

// Whether the rest of the file open at `fd` is exactly `texte`, read a piece
// at a time: a file saved again without a change is compared with the text
// kept, without a copy of the whole file beside it.
bool memeContenu(int fd, std::string_view texte)
{
    char morceau[64 * 1024];
    for (;;) {
        const ssize_t lu = ::read(fd, morceau, sizeof morceau);
        if (lu < 0 && errno == EINTR)
            continue;
        if (lu <= 0)
            return lu == 0 && texte.empty();
        const auto n = static_cast<size_t>(lu);
        if (n > texte.size() || texte.compare(0, n, morceau, n) != 0)
            return false;
        texte.remove_prefix(n);
    }
}

} // namespace

CacheFichier::Signature CacheFichier::signatureDe(const struct stat& etat)
{
    return {etat.st_dev, etat.st_ino, static_cast<int64_t>(etat.st_size),
            enNanosecondes(etat.st_mtim), enNanosecondes(etat.st_ctim)};
}

std::shared_ptr<const Document> CacheFichier::document(const std::string& chemin)
{
    struct stat etat;
    if (::stat(chemin.c_str(), &etat) != 0 || !S_ISREG(etat.st_mode)) {
        document_.reset();
        return nullptr;
    }
    const bool inchange =
        document_ && !incertain_ && chemin == chemin_ && signatureDe(etat) == signature_;
    if (!inchange && !recharger(chemin)) {
        document_.reset();
        return nullptr;
    }
    return document_;
}

bool CacheFichier::recharger(const std::string& chemin)
{
    timespec lecture{};
    clock_gettime(CLOCK_REALTIME, &lecture);
    // Non-blocking, so that a FIFO put in the file's place between the stat()
    // and here cannot hang the program; fstat() then refuses it.
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat etat;
    bool lisible =
        ::fstat(fd, &etat) == 0 && S_ISREG(etat.st_mode) && etat.st_size <= TailleMaximale;
    // A file saved again without a change, or one read again only because
    // its dates are too recent, keeps its parsed document when its bytes are
    // the document's text: a walk over a file saved a moment ago would
    // otherwise parse it at every pass.
    const bool memeTexte = lisible && document_ && chemin == chemin_ &&
                           document_->texte().octetsIntacts &&
                           document_->texte().utf8.size() == static_cast<size_t>(etat.st_size) &&
                           memeContenu(fd, document_->texte().utf8);
    if (lisible && !memeTexte) {
        std::string octets;
        lisible = ::lseek(fd, 0, SEEK_SET) == 0 && lireTout(fd, etat.st_size, octets);
        if (lisible) {
            document_.reset(); // the old one goes first, unless a pass still holds it
            document_ = std::make_shared<const Document>(std::move(octets));
            ++analyses_;
        }
    }
    ::close(fd);
    if (!lisible)
        return false;
    // The signature is the one taken before reading: an edit made during the
    // read changes the file's times, and the next check sees it.
    chemin_ = chemin;
    signature_ = signatureDe(etat);
    const int64_t fenetre =
        etat.st_ctim.tv_nsec != 0 ? FenetreIncertaineFineNs : FenetreIncertaineNs;
    incertain_ = enNanosecondes(lecture) - signature_.changement < fenetre;
    return true;
}

} // namespace ini
