// Reading an INI file from disk, as one whole version of it, parsed once and
// checked before it is used.
//
// The user edits the file while the program runs, so every use must see the
// file as it is on disk now; yet a walk over thousands of keys cannot afford
// a parse per key. The parsed document is kept together with the file's
// signature (volume, identity, size, change and modification times to the
// nanosecond, see platform/files.h): a check looks at the path, and only a
// difference sends the file to be read and parsed again.
//
// The file is opened read-only and never written, created, locked or renamed.
// A missing path, a directory, a FIFO or anything but a regular file, a file
// that cannot be opened or read, or one larger than `TailleMaximale`, reads as
// absent.
#pragma once

#include "catalogue/ini_document.h"
#include "platform/files.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace ini
{

// Larger files read as absent rather than exhaust memory.
inline constexpr int64_t TailleMaximale = 64 * 1024 * 1024;

using Signature = plateforme::Signature;

// One read of a whole file.
struct Lecture {
    enum class Echec {
        Aucun,
        Introuvable,  // the path leads nowhere: `erreur` says why
        PasUnFichier, // a directory, a FIFO...: `genre` says what
        TropGrand,    // over TailleMaximale, also when it grew so during the read
        Illisible,    // it cannot be opened or read: `erreur` says why
        Instable,     // the file kept changing while it was read
    };
    Echec echec = Echec::Aucun;
    plateforme::Erreur erreur;
    plateforme::Genre genre = plateforme::Genre::Fichier;
    Octets octets;           // in a block the text can be decoded in (byte_buffer.h)
    bool commeConnu = false; // the file's bytes are the `connu` text given; `octets` is empty
    Signature signature;     // of the version read
};

// Reads the file at `chemin` as one whole version: the file's signature is
// taken before and after the read, and a read during which it changed, or
// whose length is not the size announced, is made again; a file changed in
// the last moments (a writer may still be at work, as when an editor
// truncates a file and then writes it) is looked at again once they have
// passed, and taken only if it is still the same. A few tries at most: a
// file that never holds still is Instable. When `connu` is given, a file
// whose bytes are that text is only compared with it, a piece at a time,
// and not copied.
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

// For tests: the steps of a read, at which an observer installed with
// observerLecture is called, so that a test can change the file at exactly
// that point.
enum class Etape {
    ApresPremiereSignature, // the open file's signature was taken
    ApresLecture,           // its bytes were read (or compared)
    AvantSecondeSignature,  // the path's signature is about to be taken again
    PendantLAttente,        // in the quiet moment after a recent change
};
void observerLecture(std::function<void(Etape)> observateur);

// For tests: the clock the reader asks the time of and waits with; nullptr
// gives back the system's.
void utiliserHorloge(plateforme::Horloge* horloge);

// For tests: whether the reader asks the system if a program holds the file
// open for writing (yes unless told otherwise). A test that edits the file
// through a shared mapping, the one way to change bytes without dating them,
// holds it so the whole time.
void chercherLesEcrivains(bool oui);

} // namespace ini
