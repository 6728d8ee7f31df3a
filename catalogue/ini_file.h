// Reading an INI file from disk, parsed once and checked before every read.
//
// Every read must see the file as it is on disk now, since the user edits it
// while the program runs, yet a walk over thousands of keys cannot afford a
// parse per key. So the parsed document is kept together with what stat()
// says of the file (device, inode, size, change and modification times to the
// nanosecond), and each read first stats the path: only a difference sends
// the file to be read and parsed again. The reads of a walk over keys after
// its first may instead look at the change notifications of the file and its
// folder, which prove as much for a third of the price (see ini_watch.h).
//
// The file is opened read-only and never written, created, locked or renamed.
// A missing path, a directory, a FIFO or anything but a regular file, a file
// that cannot be opened or read, or one larger than `TailleMaximale`, reads as
// absent.
#pragma once

#include "catalogue/ini_document.h"
#include "catalogue/ini_watch.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>

namespace ini
{

// Larger files read as absent rather than exhaust memory.
inline constexpr int64_t TailleMaximale = 64 * 1024 * 1024;

// How a read makes sure that the kept document is the file on disk now.
enum class Controle {
    // stat() the path. The first read of a walk over keys, and every read
    // that is not part of one, so that whatever happened since the previous
    // read (the program moved to another folder, a disk was mounted over the
    // file) is seen.
    Complet,
    // A later read of the same walk: one look at the change notifications
    // when they can be trusted for this file, a full check otherwise.
    Suite,
};

class CacheFichier
{
public:
    // The document of the file at `chemin`, read and parsed again only when
    // the file changed since the previous call, or nullptr when the path
    // reads as absent. The pointer stays valid until the next call.
    const Document* document(const std::string& chemin, Controle controle = Controle::Complet);

    // How many times a file was parsed: lets tests and the benchmark see
    // that an unchanged file is not parsed again.
    uint64_t nombreAnalyses() const { return analyses_; }
    // How many reads stat()ed the path: lets tests see the notifications
    // spare a walk its checks.
    uint64_t nombreControlesComplets() const { return controlesComplets_; }

private:
    struct Signature {
        dev_t appareil = 0;
        ino_t inode = 0;
        int64_t taille = -1;
        timespec modification{};
        timespec changement{};
        bool operator==(const Signature&) const;
    };

    static Signature signatureDe(const struct stat& etat);
    bool recharger(const std::string& chemin);
    void oublier();

    std::string chemin_;
    Signature signature_;
    std::unique_ptr<Document> document_;
    // True while the file's change time is too close to the moment it
    // was read for the timestamps to prove anything (see ini_file.cpp).
    bool incertain_ = false;
    VeilleFichier veille_;
    // Set when the watch could not be set for this walk (file system, link):
    // its later reads then stat() without trying again.
    bool sansVeille_ = false;
    uint64_t analyses_ = 0;
    uint64_t controlesComplets_ = 0;
};

// The value read and the section read of Document (see ini_document.h) on the
// file at `chemin`; an absent file behaves like a document without sections.
int lireValeur(CacheFichier& cache, const std::string& chemin, std::u16string_view section,
               std::u16string_view cle, std::u16string_view defaut, char16_t* tampon, int capacite,
               Controle controle = Controle::Complet);
int lireSection(CacheFichier& cache, const std::string& chemin, std::u16string_view section,
                char16_t* tampon, int capacite);

} // namespace ini
