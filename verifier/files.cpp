#include "verifier/files.h"

#include "catalogue/ini_file.h"
#include "verifier/visible.h"

namespace verificateur
{
namespace
{

const char* const Absent =
    " : Listora le lirait comme absent et afficherait « Erreur Fichier » pour chaque catalogue.";

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
    switch (fichier.echec) {
    case Echec::Aucun:
        lu.octets = std::move(fichier.octets);
        break;
    case Echec::Introuvable:
        lu.erreur = fichier.erreur.cause == plateforme::Cause::Introuvable
                        ? nom + " est introuvable : Listora afficherait « Erreur Fichier » pour "
                                "chaque catalogue."
                        : nom + " ne peut pas être lu (" + plateforme::raison(fichier.erreur) +
                              ")" + Absent;
        break;
    case Echec::PasUnFichier:
        lu.erreur =
            nom +
            (fichier.genre == plateforme::Genre::Dossier ? " est un dossier, pas un fichier"
                                                         : " n'est pas un fichier ordinaire") +
            Absent;
        break;
    case Echec::TropGrand:
        lu.erreur = nom + " dépasse " + std::to_string(ini::TailleMaximale / (1024 * 1024)) +
                    " Mio" + Absent;
        break;
    case Echec::Illisible:
        lu.erreur =
            nom + " ne peut pas être lu (" + plateforme::raison(fichier.erreur) + ")" + Absent;
        break;
    case Echec::Instable:
        lu.erreur = nom + " change sans cesse pendant sa lecture : un programme l'écrit-il ? "
                          "Recommencez quand il aura fini.";
        break;
    }
    return lu;
}

std::string ecrireNouveauFichier(const std::string& chemin, std::string_view octets)
{
    const plateforme::Ecriture e = plateforme::ecrireNouveauFichier(chemin, octets);
    if (!e.erreur)
        return {};
    if (e.erreur.cause == plateforme::Cause::Existe)
        return guillemets(chemin) +
               " existe déjà : listora-verifier ne remplace jamais un fichier ; "
               "donnez le nom d'un fichier qui n'existe pas.";
    if (e.creation)
        return guillemets(chemin) + " ne peut pas être créé (" + plateforme::raison(e.erreur) +
               ").";
    return guillemets(chemin) + " n'a pas pu être écrit (" + plateforme::raison(e.erreur) +
           ") ; aucun fichier n'est créé.";
}

} // namespace verificateur
