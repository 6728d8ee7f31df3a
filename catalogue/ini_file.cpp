#include "catalogue/ini_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
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
// to the moment it was read is read again, and its bytes compared with the
// parsed ones, at every read until the moment has passed. A stamp with a
// fraction of a second comes from a file system that keeps one, whose tick
// is milliseconds: a short window is safe there, and spares a large file
// just saved a re-read at every key for long. A watch on change notifications
// set before the file was read stands in for the dates: any later edit is
// notified, whatever the clock.
constexpr int64_t FenetreIncertaineNs = 2'000'000'000;
constexpr int64_t FenetreIncertaineFineNs = 250'000'000;

int64_t fenetreIncertaine(const timespec& changement)
{
    return changement.tv_nsec != 0 ? FenetreIncertaineFineNs : FenetreIncertaineNs;
}

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

const Document& documentVide()
{
    static const std::unique_ptr<Document> vide = Document::depuisOctets({});
    return *vide;
}

} // namespace

bool CacheFichier::Signature::operator==(const Signature& autre) const
{
    return appareil == autre.appareil && inode == autre.inode && taille == autre.taille &&
           enNanosecondes(modification) == enNanosecondes(autre.modification) &&
           enNanosecondes(changement) == enNanosecondes(autre.changement);
}

CacheFichier::Signature CacheFichier::signatureDe(const struct stat& etat)
{
    return {etat.st_dev, etat.st_ino, static_cast<int64_t>(etat.st_size), etat.st_mtim,
            etat.st_ctim};
}

const Document* CacheFichier::document(const std::string& chemin, Controle controle)
{
    if (controle == Controle::Suite && document_ && chemin == chemin_ && veille_.intacte())
        return document_.get();
    ++controlesComplets_;
    // The watch is set before the stat(), so that a change made after the
    // stat() is notified.
    dev_t appareilVeille = 0;
    ino_t inodeVeille = 0;
    const bool veille = controle == Controle::Suite && !sansVeille_ &&
                        veille_.armer(chemin, appareilVeille, inodeVeille);
    if (!veille)
        veille_.desarmer();
    sansVeille_ = controle == Controle::Suite && !veille;
    struct stat etat;
    if (::stat(chemin.c_str(), &etat) != 0 || !S_ISREG(etat.st_mode)) {
        oublier();
        return nullptr;
    }
    const bool inchange =
        document_ && !incertain_ && chemin == chemin_ && signatureDe(etat) == signature_;
    if (!inchange && !recharger(chemin)) {
        oublier();
        return nullptr;
    }
    // The watch stands for the kept document only if it watches that file.
    if (veille && (signature_.appareil != appareilVeille || signature_.inode != inodeVeille))
        veille_.desarmer();
    return document_.get();
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
    std::string octets;
    const bool lu = ::fstat(fd, &etat) == 0 && S_ISREG(etat.st_mode) &&
                    etat.st_size <= TailleMaximale && lireTout(fd, etat.st_size, octets);
    ::close(fd);
    if (!lu)
        return false;
    // A touch without an edit leaves the same bytes, and the document parsed
    // from them is kept; otherwise the bytes become the new document's text.
    const bool memeContenu = document_ && chemin == chemin_ && document_->memesOctets(octets);
    if (!memeContenu) {
        document_.reset(); // the old document goes before the new one is built
        document_ = Document::depuisOctets(std::move(octets));
        ++analyses_;
    }
    // The signature is the one taken before reading: an edit made during the
    // read changes the file's times, and the next read sees it.
    chemin_ = chemin;
    signature_ = signatureDe(etat);
    incertain_ =
        enNanosecondes(lecture) - enNanosecondes(etat.st_ctim) < fenetreIncertaine(etat.st_ctim);
    return true;
}

void CacheFichier::oublier()
{
    chemin_.clear();
    signature_ = {};
    document_.reset();
    incertain_ = false;
    veille_.desarmer();
}

int lireValeur(CacheFichier& cache, const std::string& chemin, std::u16string_view section,
               std::u16string_view cle, std::u16string_view defaut, char16_t* tampon, int capacite,
               Controle controle)
{
    const Document* document = cache.document(chemin, controle);
    return (document ? *document : documentVide())
        .lireValeur(section, cle, defaut, tampon, capacite);
}

int lireSection(CacheFichier& cache, const std::string& chemin, std::u16string_view section,
                char16_t* tampon, int capacite)
{
    const Document* document = cache.document(chemin);
    return (document ? *document : documentVide()).lireSection(section, tampon, capacite);
}

} // namespace ini
