#include "verifier/files.h"

#include "catalogue/ini_file.h"
#include "verifier/visible.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace verificateur
{
namespace
{

std::string raison(int erreur)
{
    switch (erreur) {
    case EACCES:
    case EPERM:
        return "accès refusé";
    case ENOENT:
        return "le dossier n'existe pas";
    case ENOTDIR:
        return "un élément du chemin n'est pas un dossier";
    case ENOSPC:
        return "le disque est plein";
    case EROFS:
        return "le disque est en lecture seule";
    default:
        return std::strerror(erreur);
    }
}

std::string guillemets(const std::string& chemin)
{
    return "« " + citer(chemin) + " »";
}

} // namespace

// The file is read by the program's own reader: the check sees what a
// press would see, one whole version of the file.
Lecture lireFichier(const std::string& chemin)
{
    using Echec = ini::Lecture::Echec;
    Lecture lu;
    ini::Lecture fichier = ini::lireFichier(chemin);
    const std::string nom = guillemets(chemin);
    const std::string absent =
        " : Listora le lirait comme absent et afficherait « Erreur Fichier » pour chaque "
        "catalogue.";
    switch (fichier.echec) {
    case Echec::Aucun:
        lu.octets = std::move(fichier.octets);
        break;
    case Echec::Introuvable:
        lu.erreur = fichier.erreur == ENOENT
                        ? nom + " est introuvable : Listora afficherait « Erreur Fichier » pour "
                                "chaque catalogue."
                        : nom + " ne peut pas être lu (" + raison(fichier.erreur) + ")" + absent;
        break;
    case Echec::PasUnFichier:
        lu.erreur = nom +
                    (S_ISDIR(fichier.mode) ? " est un dossier, pas un fichier"
                                           : " n'est pas un fichier ordinaire") +
                    absent;
        break;
    case Echec::TropGrand:
        lu.erreur = nom + " dépasse " + std::to_string(ini::TailleMaximale / (1024 * 1024)) +
                    " Mio" + absent;
        break;
    case Echec::Illisible:
        lu.erreur = nom + " ne peut pas être lu (" + raison(fichier.erreur) + ")" + absent;
        break;
    case Echec::Instable:
        lu.erreur = nom + " change sans cesse pendant sa lecture : un programme l'écrit-il ? "
                          "Recommencez quand il aura fini.";
        break;
    }
    return lu;
}

namespace
{

// The folder of `chemin`, for the temporary file and the folder's fsync.
std::string dossierDe(const std::string& chemin)
{
    const size_t barre = chemin.rfind('/');
    return barre == std::string::npos ? "." : barre == 0 ? "/" : chemin.substr(0, barre);
}

std::string existeDeja(const std::string& chemin)
{
    return guillemets(chemin) + " existe déjà : listora-verifier ne remplace jamais un fichier ; "
                                "donnez le nom d'un fichier qui n'existe pas.";
}

// Writes all of `octets` to `fd` and flushes them to disk; 0 or errno.
int ecrireTout(int fd, std::string_view octets)
{
    while (!octets.empty()) {
        const ssize_t n = ::write(fd, octets.data(), octets.size());
        if (n < 0 && errno != EINTR)
            return errno;
        if (n > 0)
            octets.remove_prefix(static_cast<size_t>(n));
    }
    return ::fsync(fd) != 0 ? errno : 0;
}

// Gives the temporary file `temporaire` the name `chemin` without ever
// replacing a file there: link() fails on an existing name, whatever it is.
// A file system without hard links gets the same promise from renameat2.
int nommer(const std::string& temporaire, const std::string& chemin)
{
    if (::link(temporaire.c_str(), chemin.c_str()) == 0)
        return 0;
    const int erreur = errno;
    if (erreur != EPERM && erreur != ENOTSUP && erreur != EOPNOTSUPP && erreur != EMLINK)
        return erreur;
    if (::renameat2(AT_FDCWD, temporaire.c_str(), AT_FDCWD, chemin.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    return errno == EINVAL || errno == ENOSYS ? erreur : errno;
}

} // namespace

std::string ecrireNouveauFichier(const std::string& chemin, std::string_view octets)
{
    // Refused at once when the name is taken, even by a dangling link, so
    // that nothing is written for nothing; link() refuses it again below
    // should the name be taken meanwhile.
    struct stat etat;
    if (::lstat(chemin.c_str(), &etat) == 0)
        return existeDeja(chemin);
    // The copy is written under a temporary name in the same folder, then
    // given its name once whole and on disk: a copy cut short by a full
    // disk or a killed process never stands under the name the user gave.
    const std::string dossier = dossierDe(chemin);
    std::string temporaire = dossier + "/.listora-verifier.XXXXXX";
    const int fd = ::mkostemp(temporaire.data(), O_CLOEXEC);
    if (fd < 0)
        return guillemets(chemin) + " ne peut pas être créé (" + raison(errno) + ").";
    // mkostemp makes the file for its owner only; the copy gets the rights
    // a new file usually gets.
    const mode_t masque = ::umask(0);
    ::umask(masque);
    int erreur = ::fchmod(fd, 0666 & ~masque) != 0 ? errno : ecrireTout(fd, octets);
    if (::close(fd) != 0 && erreur == 0)
        erreur = errno;
    if (erreur == 0)
        erreur = nommer(temporaire, chemin);
    ::unlink(temporaire.c_str());
    if (erreur == EEXIST)
        return existeDeja(chemin);
    if (erreur != 0)
        return guillemets(chemin) + " n'a pas pu être écrit (" + raison(erreur) +
               ") ; aucun fichier n'est créé.";
    // The new name itself must reach the disk too.
    if (const int d = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); d >= 0) {
        ::fsync(d);
        ::close(d);
    }
    return {};
}

} // namespace verificateur
