#include "verifier/files.h"

#include "catalogue/ini_file.h"

#include <cerrno>
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
    return "« " + chemin + " »";
}

} // namespace

Lecture lireFichier(const std::string& chemin)
{
    Lecture lu;
    const std::string nom = guillemets(chemin);
    const std::string absent =
        " : Listora le lirait comme absent et afficherait « Erreur Fichier » pour chaque "
        "catalogue.";
    struct stat etat;
    if (::stat(chemin.c_str(), &etat) != 0) {
        lu.erreur = errno == ENOENT ? nom + " est introuvable : Listora afficherait « Erreur "
                                            "Fichier » pour chaque catalogue."
                                    : nom + " ne peut pas être lu (" + raison(errno) + ")" + absent;
        return lu;
    }
    if (!S_ISREG(etat.st_mode)) {
        lu.erreur = nom +
                    (S_ISDIR(etat.st_mode) ? " est un dossier, pas un fichier"
                                           : " n'est pas un fichier ordinaire") +
                    absent;
        return lu;
    }
    // Non-blocking, as the program opens it, so that a FIFO put in its place
    // cannot hang the check.
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        lu.erreur = nom + " ne peut pas être lu (" + raison(errno) + ")" + absent;
        return lu;
    }
    bool trop = false;
    int erreur = 0;
    if (::fstat(fd, &etat) != 0 || !S_ISREG(etat.st_mode)) {
        erreur = errno != 0 ? errno : EINVAL;
    } else {
        char bloc[65536];
        for (;;) {
            const ssize_t n = ::read(fd, bloc, sizeof bloc);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                erreur = errno;
                break;
            }
            if (n == 0)
                break;
            lu.octets.append(bloc, static_cast<size_t>(n));
            if (static_cast<int64_t>(lu.octets.size()) > ini::TailleMaximale) {
                trop = true;
                break;
            }
        }
    }
    ::close(fd);
    if (trop)
        lu.erreur = nom + " dépasse " + std::to_string(ini::TailleMaximale / (1024 * 1024)) +
                    " Mio" + absent;
    else if (erreur != 0)
        lu.erreur = nom + " ne peut pas être lu (" + raison(erreur) + ")" + absent;
    if (!lu.erreur.empty())
        lu.octets.clear();
    return lu;
}

std::string ecrireNouveauFichier(const std::string& chemin, std::string_view octets)
{
    const int fd = ::open(chemin.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0)
        return errno == EEXIST
                   ? guillemets(chemin) + " existe déjà : listora-verifier ne remplace jamais un "
                                          "fichier ; donnez le nom d'un fichier qui n'existe pas."
                   : guillemets(chemin) + " ne peut pas être créé (" + raison(errno) + ").";
    int erreur = 0;
    while (!octets.empty() && erreur == 0) {
        const ssize_t n = ::write(fd, octets.data(), octets.size());
        if (n < 0 && errno != EINTR)
            erreur = errno;
        else if (n > 0)
            octets.remove_prefix(static_cast<size_t>(n));
    }
    // The user is about to put this file in place of the old one: it must
    // be on disk.
    if (erreur == 0 && ::fsync(fd) != 0)
        erreur = errno;
    if (::close(fd) != 0 && erreur == 0)
        erreur = errno;
    if (erreur == 0)
        return {};
    ::unlink(chemin.c_str());
    return guillemets(chemin) + " n'a pas pu être écrit (" + raison(erreur) + ") ; il est retiré.";
}

} // namespace verificateur
