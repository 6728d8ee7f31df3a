// The operating system's files and clocks, behind one neutral interface.
//
// This folder is the only one that includes the system's own headers; each
// system has its implementation (files_posix.cpp, files_windows.cpp) and
// everything above it is written once. Paths are UTF-8. Times are
// nanoseconds since 1970-01-01 UTC, sizes bytes. A failure is told as a
// Cause the program can word in French, plus the system's own words for the
// rest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace plateforme
{

// What the system says of a file that changes when its content does. On
// POSIX: device, inode, size, st_mtim and st_ctim; on Windows: volume serial
// number, file index, size, last-write and change times. The change time is
// the one no program can set.
struct Signature {
    uint64_t volume = 0;
    uint64_t identite = 0;
    int64_t taille = -1;
    int64_t modification = 0;
    int64_t changement = 0;
    bool operator==(const Signature&) const = default;
};

enum class Genre { Fichier, Dossier, Autre }; // Autre: a FIFO, a device...

struct Etat {
    Signature signature;
    Genre genre = Genre::Autre;
};

enum class Cause {
    Aucune,
    Introuvable, // no such file, or a folder of the path is missing
    AccesRefuse,
    PasUnDossier, // an element of the path is not a folder
    DisquePlein,  // also a file-size limit reached
    LectureSeule, // a read-only file system
    Existe,       // the name is taken
    TropGrand,    // past the size asked for
    Memoire,      // the memory to hold it could not be had
    Autre,
};

struct Erreur {
    Cause cause = Cause::Aucune;
    std::string systeme; // the system's own description, for Cause::Autre
    explicit operator bool() const { return cause != Cause::Aucune; }
};

// The cause in French, as a clause: "accès refusé", "le disque est plein"...
// (Introuvable reads "le dossier n'existe pas": a caller that looked for a
// file itself says "introuvable" in its own sentence.)
std::string raison(const Erreur& erreur);

// What is at `chemin`, following links; nothing, with `erreur` set, when
// the path leads nowhere or cannot be looked at.
std::optional<Etat> etatDuChemin(const std::string& chemin, Erreur& erreur);

// Whether anything has the name `chemin`, a dangling link included.
bool nomPris(const std::string& chemin);

// A file open for reading only. It never blocks (a FIFO put in the file's
// place cannot hang the reader), is never inherited by a child process, and
// leaves other programs free to write, rename or remove the file meanwhile.
// Bytes are read as they are (no line-end translation).
class FichierOuvert
{
public:
    static std::unique_ptr<FichierOuvert> ouvrir(const std::string& chemin, Erreur& erreur);
    virtual ~FichierOuvert() = default;

    // What the open file is now (fstat()).
    virtual std::optional<Etat> etat(Erreur& erreur) const = 0;
    // Goes back to the first byte.
    virtual bool rembobiner(Erreur& erreur) = 0;
    // Reads at most `taille` bytes into `tampon` from where the last read
    // stopped: how many, 0 at the end of the file, -1 with `erreur` set.
    // An interrupted read is made again.
    virtual int64_t lire(char* tampon, size_t taille, Erreur& erreur) = 0;
    // Whether some program holds the file open for writing now, as a writer
    // does in the middle of a save; nothing when the system cannot tell (a
    // file of another user, a network file system, Windows).
    virtual std::optional<bool> ouvertEnEcriture() = 0;
};

// The whole rest of the file into `octets`, which it replaces: `annonce`
// (the size the file was said to have) is room made beforehand; a file that
// grows past `maximum` bytes is Cause::TropGrand, and memory that cannot be
// had is Cause::Memoire.
bool lireTout(FichierOuvert& fichier, int64_t annonce, int64_t maximum, std::string& octets,
              Erreur& erreur);

// Whether the rest of the file is exactly `texte`, compared a piece at a
// time: no copy of the file is made.
bool memeContenu(FichierOuvert& fichier, std::string_view texte, Erreur& erreur);

// Writes `octets` as the new file `chemin`: the file appears whole, flushed
// to the disk, or not at all, and an existing name (a dangling link
// included) is never replaced (Cause::Existe). `creation` tells, on a
// failure, whether nothing could even be begun (the folder refused a new
// file) rather than the writing failed.
struct Ecriture {
    Erreur erreur;
    bool creation = false;
};
Ecriture ecrireNouveauFichier(const std::string& chemin, std::string_view octets);

// Makes the memory pages of [debut, debut + taille), about to be written,
// present in one call rather than one fault at a time (Linux:
// MADV_POPULATE_WRITE): the buffer a whole file is read into is a
// thousand pages for a catalogue, and faulting them one by one took a
// tenth of a look-up. Does nothing where the system cannot.
void preparerMemoire(void* debut, size_t taille);

// The clocks, injectable so that tests decide what time it is and what a
// wait does. `murale` is the time files are dated with (comparable with a
// Signature's times); `monotone` never goes back; `attendre` pauses the
// calling thread.
class Horloge
{
public:
    virtual ~Horloge() = default;
    virtual int64_t murale() const = 0;
    virtual int64_t monotone() const = 0;
    virtual void attendre(int64_t nanosecondes) = 0;
};

// The system's clocks.
Horloge& horlogeDuSysteme();

// The environment as the program sees it: the value of a variable, in
// UTF-8, or nothing when it is not set. A function, so that tests give one
// of their own.
using Environnement = std::function<std::optional<std::string>(const char* nom)>;

// The variable `nom` of this process's own environment.
std::optional<std::string> variableDuProcessus(const char* nom);

// The user's own folder for Listora's data, where the user's copy of the
// catalogue lives: $XDG_DATA_HOME/listora (when absolute) or
// $HOME/.local/share/listora (HOME absolute) on POSIX, %APPDATA%\Listora on
// Windows. Empty when the environment names no such folder. `sansDonnees`
// skips XDG_DATA_HOME (POSIX), for the caller that found it unfit.
std::string dossierDeLUtilisateur(const Environnement& environnement, bool sansDonnees = false);

// That the variables dossierDeLUtilisateur() looks at name no folder, in
// French: "ni XDG_DATA_HOME ni HOME ne désignent un dossier".
extern const char* const SansDossierDeLUtilisateur;

// Makes the folder `chemin`, and those it is in, where they are missing; a
// folder already there is no failure.
Erreur creerDossiers(const std::string& chemin);

// The folder the running program's file is in, absolute; empty when the
// system does not say.
std::string dossierDuProgramme();

// The folder of the catalogue shipped with the programs: the installation's
// share/listora on POSIX (found from the program's own folder, so that a
// moved installation still finds it), the program's own folder on Windows.
std::string dossierFourni();

// The separator of the paths the system shows its user.
extern const char Separateur;

} // namespace plateforme
