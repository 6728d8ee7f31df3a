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

// A file changed less than this long ago may still be being written: a read
// of it is confirmed once this time has passed. Editors write a file in a few
// milliseconds, but a busy machine can hold a writer between its truncation
// and its write for tens of them. The wait is only ever paid on a file saved
// a moment ago whose bytes changed: no user clicks that fast.
constexpr int64_t CalmeNs = 100'000'000;
// Reads of one file before it is given up as never holding still.
constexpr int Essais = 4;

int64_t maintenant()
{
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return enNanosecondes(t);
}

// One read of the file open at `fd`, between two fstat(): false, with
// `lu.echec` set, when it cannot be read; `stable` tells whether the file
// kept its signature throughout.
bool lireUneFois(int fd, const std::string_view* connu, Lecture& lu, bool& stable)
{
    struct stat avant, apres;
    if (::fstat(fd, &avant) != 0 || !S_ISREG(avant.st_mode)) {
        lu.echec = Lecture::Echec::PasUnFichier;
        lu.mode = avant.st_mode;
        return false;
    }
    if (avant.st_size > TailleMaximale) {
        lu.echec = Lecture::Echec::TropGrand;
        return false;
    }
    lu.octets.clear();
    lu.commeConnu =
        connu && connu->size() == static_cast<size_t>(avant.st_size) && memeContenu(fd, *connu);
    if (!lu.commeConnu &&
        (::lseek(fd, 0, SEEK_SET) != 0 || !lireTout(fd, avant.st_size, lu.octets))) {
        lu.echec = Lecture::Echec::Illisible;
        lu.erreur = errno;
        return false;
    }
    if (static_cast<int64_t>(lu.octets.size()) > TailleMaximale) {
        lu.echec = Lecture::Echec::TropGrand;
        return false;
    }
    lu.signature = signatureDe(avant);
    stable = ::fstat(fd, &apres) == 0 && signatureDe(apres) == lu.signature;
    return true;
}

// Whether the version read is whole: no writer was at work during the read,
// nor, for a file changed a moment ago, in the moments after its change.
bool entiere(const std::string& chemin, const Lecture& lu)
{
    if (lu.commeConnu)
        return true; // the bytes are those of a version already taken whole
    const int64_t attente = lu.signature.changement + CalmeNs - maintenant();
    if (attente <= 0)
        return true;
    const timespec pause{0, static_cast<long>(std::min(attente, CalmeNs))};
    ::nanosleep(&pause, nullptr);
    struct stat etat;
    return ::stat(chemin.c_str(), &etat) == 0 && signatureDe(etat) == lu.signature;
}

} // namespace

Signature signatureDe(const struct stat& etat)
{
    return {etat.st_dev, etat.st_ino, static_cast<int64_t>(etat.st_size),
            enNanosecondes(etat.st_mtim), enNanosecondes(etat.st_ctim)};
}

Lecture lireFichier(const std::string& chemin, const std::string_view* connu)
{
    Lecture lu;
    for (int essai = 0; essai < Essais; ++essai) {
        struct stat etat;
        if (::stat(chemin.c_str(), &etat) != 0) {
            lu.echec = Lecture::Echec::Introuvable;
            lu.erreur = errno;
            return lu;
        }
        if (!S_ISREG(etat.st_mode)) {
            lu.echec = Lecture::Echec::PasUnFichier;
            lu.mode = etat.st_mode;
            return lu;
        }
        // Non-blocking, so that a FIFO put in the file's place between the
        // stat() and here cannot hang the reader; fstat() then refuses it.
        const int fd = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) {
            lu.echec = Lecture::Echec::Illisible;
            lu.erreur = errno;
            return lu;
        }
        bool stable = false;
        const bool lisible = lireUneFois(fd, connu, lu, stable);
        ::close(fd);
        if (!lisible)
            return lu;
        if (stable && entiere(chemin, lu))
            return lu;
    }
    lu = {};
    lu.echec = Lecture::Echec::Instable;
    return lu;
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
    const int64_t lecture = maintenant();
    const bool memeChemin = document_ && chemin == chemin_;
    // A file saved again without a change, or one read again only because
    // its dates are too recent, keeps its parsed document when its bytes are
    // the document's text: a walk over a file saved a moment ago would
    // otherwise parse it at every pass.
    const bool comparer = memeChemin && document_->texte().octetsIntacts;
    const std::string_view connu = comparer ? std::string_view(document_->texte().utf8) : "";
    Lecture lu = lireFichier(chemin, comparer ? &connu : nullptr);
    if (lu.echec == Lecture::Echec::Instable && memeChemin) {
        // Better the whole version read before than half of a new one; the
        // next check reads the file again.
        incertain_ = true;
        return true;
    }
    if (lu.echec != Lecture::Echec::Aucun)
        return false;
    if (!lu.commeConnu) {
        document_.reset(); // the old one goes first, unless a pass still holds it
        document_ = std::make_shared<const Document>(std::move(lu.octets));
        ++analyses_;
    }
    chemin_ = chemin;
    signature_ = lu.signature;
    const int64_t fenetre =
        signature_.changement % 1'000'000'000 != 0 ? FenetreIncertaineFineNs : FenetreIncertaineNs;
    incertain_ = lecture - signature_.changement < fenetre;
    return true;
}

} // namespace ini
