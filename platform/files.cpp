// The parts of files.h written once for every system, over its primitives.
#include "platform/files.h"

#include <algorithm>
#include <new>

namespace plateforme
{

std::string raison(const Erreur& erreur)
{
    switch (erreur.cause) {
    case Cause::Aucune:
        return {};
    case Cause::Introuvable:
        return "le dossier n'existe pas";
    case Cause::AccesRefuse:
        return "accès refusé";
    case Cause::PasUnDossier:
        return "un élément du chemin n'est pas un dossier";
    case Cause::DisquePlein:
        return "le disque est plein";
    case Cause::LectureSeule:
        return "le disque est en lecture seule";
    case Cause::Existe:
        return "le nom est déjà pris";
    case Cause::TropGrand:
        return "la taille permise est dépassée";
    case Cause::Memoire:
        return "la mémoire manque";
    case Cause::Autre:
        break;
    }
    return erreur.systeme;
}

bool lireTout(FichierOuvert& fichier, int64_t annonce, int64_t maximum, std::string& octets,
              Erreur& erreur)
{
    try {
        // One byte more than announced, so that the end of the file is
        // usually met by the second read and nothing is copied twice.
        octets.clear();
        const size_t taille = static_cast<size_t>(std::clamp<int64_t>(annonce, 0, maximum)) + 1;
        octets.reserve(taille);
        preparerMemoire(octets.data(), taille);
        octets.resize(taille);
        size_t n = 0;
        for (;;) {
            if (n == octets.size()) {
                // The file grew while it was read.
                if (static_cast<int64_t>(n) > maximum) {
                    erreur = {Cause::TropGrand, {}};
                    return false;
                }
                octets.resize(std::min<size_t>(2 * n, static_cast<size_t>(maximum) + 1));
            }
            const int64_t lu = fichier.lire(octets.data() + n, octets.size() - n, erreur);
            if (lu < 0)
                return false;
            if (lu == 0)
                break;
            n += static_cast<size_t>(lu);
        }
        octets.resize(n);
        if (static_cast<int64_t>(n) > maximum) {
            erreur = {Cause::TropGrand, {}};
            return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        octets = std::string();
        erreur = {Cause::Memoire, {}};
        return false;
    }
}

bool memeContenu(FichierOuvert& fichier, std::string_view texte, Erreur& erreur)
{
    char morceau[64 * 1024];
    for (;;) {
        const int64_t lu = fichier.lire(morceau, sizeof morceau, erreur);
        if (lu <= 0)
            return lu == 0 && texte.empty();
        const auto n = static_cast<size_t>(lu);
        if (n > texte.size() || texte.compare(0, n, morceau, n) != 0)
            return false;
        texte.remove_prefix(n);
    }
}

} // namespace plateforme
