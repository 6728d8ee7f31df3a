// Change notifications on a file of the current directory, so that a walk
// over thousands of keys can check the file before each read for the price of
// one cheap system call instead of a path lookup.
//
// The kernel queues a notification during the very call that changes the file
// or its folder (write, truncate, attribute change, create, rename, unlink),
// so a look at an empty queue proves that no such call completed since the
// watch was set: it is as strict as a stat() of the path, and three times
// cheaper here. A watch is only set where that holds:
//
// - on a file named relative to the current directory ("LISTORA.DAT" or
//   "./LISTORA.DAT"), so that no folder above it matters;
// - on a regular file, not a symbolic link, whose target could change in a
//   folder that is not watched;
// - on a local disk or memory file system; network and FUSE file systems
//   change under other machines' hands and notify nothing, and an overlay
//   lets its lower layers change unseen.
//
// Notifications miss writes through a shared memory mapping and a mount made
// over the file; the caller checks the path itself at the start of every walk,
// which sees those as a stat() does.
#pragma once

#include <string>
#include <sys/types.h>

namespace ini
{

class VeilleFichier
{
public:
    VeilleFichier() = default;
    VeilleFichier(const VeilleFichier&) = delete;
    VeilleFichier& operator=(const VeilleFichier&) = delete;
    ~VeilleFichier();

    // Watches the file at `chemin` and its folder, when the rules above allow
    // it, and empties the queue: changes made from now on are noticed. True
    // when the watch is set; the file watched is then the one with `inode`
    // on `appareil`, which the caller compares with its own stat().
    bool armer(const std::string& chemin, dev_t& appareil, ino_t& inode);

    // True when the watch is set and nothing was notified since: the file
    // and its name are as they were when armer() returned. Any notification
    // ends the watch until the next armer().
    bool intacte();

    // Ends the watch and frees it, so that nothing queues up meanwhile;
    // intacte() is false until the next armer().
    void desarmer();

private:
    bool ouvrir();
    bool vider();
    void retirer(int& surveillance);

    int file_ = -1; // the notification queue
    int dossier_ = -1;
    int fichier_ = -1;
    bool armee_ = false;
};

} // namespace ini
