// Reading an INI file from disk, parsed once and checked before it is used.
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
#include <sys/stat.h>
#include <sys/types.h>

namespace ini
{

// Larger files read as absent rather than exhaust memory.
inline constexpr int64_t TailleMaximale = 64 * 1024 * 1024;

class CacheFichier
{
public:
    // The document of the file at `chemin` as it is now, read and parsed
    // again only when the file changed since the previous call, or nullptr
    // when the path reads as absent. A caller may keep the document as long
    // as it likes: a later change gives a new one and leaves it as it was.
    std::shared_ptr<const Document> document(const std::string& chemin);

    // How many times a file was parsed: lets tests and the benchmark see
    // that an unchanged file is not parsed again.
    uint64_t nombreAnalyses() const { return analyses_; }

private:
    struct Signature {
        dev_t appareil = 0;
        ino_t inode = 0;
        int64_t taille = -1;
        int64_t modification = 0; // nanoseconds
        int64_t changement = 0;
        bool operator==(const Signature&) const = default;
    };

    static Signature signatureDe(const struct stat& etat);
    bool recharger(const std::string& chemin);

    std::string chemin_;
    Signature signature_;
    std::shared_ptr<const Document> document_;
    // True while the file's change time is too close to the moment it was
    // read for the times to prove anything (see ini_file.cpp).
    bool incertain_ = false;
    uint64_t analyses_ = 0;
};

} // namespace ini
