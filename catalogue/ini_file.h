// Reading an INI file from disk, as one whole version of it, parsed once and
// checked before it is used.
//
// The user edits the file while the program runs, so every use must see the
// file as it is on disk now; yet a walk over thousands of keys cannot afford
// a parse per key. The parsed document is kept together with what stat()
// says of the file (device, inode, size, change and modification times to the
// nanosecond): a check stats the path, and only a difference sends the file to
// be read and parsed again.
//
// The file is opened read-only and never written, created, locked or renamed.
// A missing path, a directory, a FIFO or anything but a regular file, a file
// that cannot be opened or read, or one larger than `TailleMaximale`, reads as
// absent.
#pragma once

#include "catalogue/ini_document.h"

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

// What stat() says of a file that changes when its content does.
struct Signature {
    dev_t appareil = 0;
    ino_t inode = 0;
    int64_t taille = -1;
    int64_t modification = 0; // nanoseconds
    int64_t changement = 0;
    bool operator==(const Signature&) const = default;
};

// One read of a whole file.
struct Lecture {
    enum class Echec {
        Aucun,
        Introuvable,  // stat() failed: `erreur` says why
        PasUnFichier, // a directory, a FIFO...: `mode` says what
        TropGrand,    // over TailleMaximale
        Illisible,    // open() or read() failed: `erreur` says why
        Instable,     // the file kept changing while it was read
    };
    Echec echec = Echec::Aucun;
    int erreur = 0;
    mode_t mode = 0;
    std::string octets;
    bool commeConnu = false; // the file's bytes are the `connu` text given; `octets` is empty
    Signature signature;     // of the version read
};

// Reads the file at `chemin` as one whole version: the file's signature is
// taken before and after the read, and a read during which it changed is
// made again; a file changed in the last moments (a writer may still be at
// work, as when an editor truncates a file and then writes it) is looked at
// again once they have passed, and read again if it changed meanwhile. A
// few tries at most: a file that never holds still is Instable. When
// `connu` is given, a file whose bytes are that text is only compared with
// it, a piece at a time, and not copied.
Lecture lireFichier(const std::string& chemin, const std::string_view* connu = nullptr);

class CacheFichier
{
public:
    // The document of the file at `chemin` as it is now, read and parsed
    // again only when the file changed since the previous call, or nullptr
    // when the path reads as absent. A caller may keep the document as long
    // as it likes: a later change gives a new one and leaves it as it was.
    // A file that keeps changing while it is read keeps the previous
    // document of that path, if any.
    std::shared_ptr<const Document> document(const std::string& chemin);

    // How many times a file was parsed: lets tests and the benchmark see
    // that an unchanged file is not parsed again.
    uint64_t nombreAnalyses() const { return analyses_; }

private:
    bool recharger(const std::string& chemin);

    std::string chemin_;
    Signature signature_;
    std::shared_ptr<const Document> document_;
    // True while the file's change time is too close to the moment it was
    // read for the times to prove anything (see ini_file.cpp).
    bool incertain_ = false;
    uint64_t analyses_ = 0;
};

// The signature of what stat() or fstat() returned.
Signature signatureDe(const struct stat& etat);

} // namespace ini
