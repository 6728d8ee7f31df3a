#include "catalogue/ini_watch.h"

#include <cerrno>
#include <linux/magic.h>
#include <string_view>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace ini
{
namespace
{

// The folder's own changes and those that bind another file to the name.
// Other files' events come too, and only cost the next read a full check.
constexpr uint32_t MasqueDossier = IN_ATTRIB | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                   IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// Every change of the file's bytes or attributes, whatever the name it is
// written through (another hard link, another mount of the same disk).
constexpr uint32_t MasqueFichier =
    IN_ATTRIB | IN_MODIFY | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF | IN_DONT_FOLLOW;

// "NAME" or "./NAME": a file of the current directory, whose folder is
// reached without a lookup through any folder above it.
bool dansLeDossierCourant(std::string_view chemin)
{
    while (chemin.substr(0, 2) == "./")
        chemin.remove_prefix(2);
    return !chemin.empty() && chemin != "." && chemin != ".." &&
           chemin.find('/') == std::string_view::npos;
}

// File systems whose every change goes through this kernel's calls, so that
// every change is notified.
bool systemeLocal(const struct statfs& fs)
{
    switch (static_cast<unsigned long>(fs.f_type)) {
    case EXT4_SUPER_MAGIC: // also ext2 and ext3
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case F2FS_SUPER_MAGIC:
    case TMPFS_MAGIC:
        return true;
    default:
        return false;
    }
}

} // namespace

VeilleFichier::~VeilleFichier()
{
    if (file_ >= 0)
        ::close(file_);
}

bool VeilleFichier::ouvrir()
{
    if (file_ < 0)
        file_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    return file_ >= 0;
}

void VeilleFichier::retirer(int& surveillance)
{
    // Fails harmlessly when the kernel already removed it (folder deleted).
    if (surveillance >= 0)
        ::inotify_rm_watch(file_, surveillance);
    surveillance = -1;
}

bool VeilleFichier::vider()
{
    alignas(inotify_event) char evenements[4096];
    for (;;) {
        const ssize_t lu = ::read(file_, evenements, sizeof evenements);
        if (lu > 0)
            continue;
        return lu < 0 && errno == EAGAIN;
    }
}

bool VeilleFichier::armer(const std::string& chemin, dev_t& appareil, ino_t& inode)
{
    armee_ = false;
    struct statfs fs;
    if (!dansLeDossierCourant(chemin) || ::statfs(chemin.c_str(), &fs) != 0 || !systemeLocal(fs) ||
        !ouvrir())
        return false;
    // The folder first: a rename between the two calls is then notified.
    // Watching an inode already watched gives back its descriptor; one that
    // changed (the program moved to another folder) frees the old one.
    const int dossier = ::inotify_add_watch(file_, ".", MasqueDossier);
    if (dossier != dossier_)
        retirer(dossier_);
    dossier_ = dossier;
    const int fichier = ::inotify_add_watch(file_, chemin.c_str(), MasqueFichier);
    if (fichier != fichier_)
        retirer(fichier_);
    fichier_ = fichier;
    struct stat etat;
    if (dossier_ < 0 || fichier_ < 0 || !vider() || ::lstat(chemin.c_str(), &etat) != 0 ||
        !S_ISREG(etat.st_mode)) {
        desarmer();
        return false;
    }
    appareil = etat.st_dev;
    inode = etat.st_ino;
    armee_ = true;
    return true;
}

void VeilleFichier::desarmer()
{
    armee_ = false;
    retirer(dossier_);
    retirer(fichier_);
}

bool VeilleFichier::intacte()
{
    if (!armee_)
        return false;
    // Room for one event with the longest name: a short buffer would make
    // read() fail with EINVAL rather than return what is queued.
    alignas(inotify_event) char evenement[sizeof(inotify_event) + 256];
    const ssize_t lu = ::read(file_, evenement, sizeof evenement);
    if (lu < 0 && errno == EAGAIN)
        return true;
    armee_ = false;
    return false;
}

} // namespace ini
