#include "verifier/command_line.h"

#include "verifier/check.h"
#include "verifier/files.h"
#include "verifier/renumbering.h"
#include "verifier/visible.h"

#include <cstdlib>
#include <optional>
#include <sys/stat.h>

namespace verificateur
{
namespace
{

const char* const Usage =
    "Usage : listora-verifier [FICHIER]\n"
    "        listora-verifier --renumeroter SORTIE [FICHIER]\n"
    "\n"
    "Vérifie le fichier de données de Listora (par défaut ./LISTORA.DAT, ou, s'il\n"
    "n'y en a pas, votre copie, celle qu'ouvre la commande listora) : ce que\n"
    "Listora chargera de chaque catalogue, et chaque ligne qui l'en empêchera.\n"
    "Avec --renumeroter, écrit dans le nouveau fichier SORTIE une copie aux clés\n"
    "renumérotées à partir de 1 ; FICHIER n'est jamais modifié.\n"
    "\n"
    "Code de retour : 0 tout sera chargé, 1 à corriger, 2 fichier illisible.\n"
    "Détails : man listora-verifier\n";

bool existe(const std::string& chemin)
{
    struct stat etat;
    return ::lstat(chemin.c_str(), &etat) == 0;
}

} // namespace

// The file checked when none is named: the one in the current folder, as the
// program reads it, or else the user's own copy, which the listora command
// opens (the XDG rules: an absolute XDG_DATA_HOME, or ~/.local/share).
std::string fichierParDefaut()
{
    const std::string ici = "./LISTORA.DAT";
    if (existe(ici))
        return ici;
    const char* donnees = std::getenv("XDG_DATA_HOME");
    const char* maison = std::getenv("HOME");
    if (donnees && donnees[0] == '/')
        return std::string(donnees) + "/listora/LISTORA.DAT";
    if (maison && maison[0] == '/')
        return std::string(maison) + "/.local/share/listora/LISTORA.DAT";
    return ici;
}

namespace
{

// A name for the renumbered copy that the report suggests: beside `chemin`,
// a file that does not exist yet, so that the command works as written.
std::string sortieSuggeree(const std::string& chemin)
{
    const size_t barre = chemin.rfind('/');
    const std::string dossier = barre == std::string::npos ? "" : chemin.substr(0, barre + 1);
    for (int n = 1; n < 100; ++n) {
        const std::string nom =
            dossier + (n == 1 ? "NOUVEAU.DAT" : "NOUVEAU-" + std::to_string(n) + ".DAT");
        if (nom != chemin && !existe(nom))
            return nom;
    }
    return dossier + "NOUVEAU.DAT";
}

int erreurUsage(std::string& erreurs, const std::string& message)
{
    erreurs += "listora-verifier : " + message + "\n\n" + Usage;
    return static_cast<int>(Statut::Illisible);
}

int lancer(const std::vector<std::string>& arguments, std::string& sortie, std::string& erreurs)
{
    std::optional<std::string> cible;
    std::optional<std::string> fichier;
    bool options = true;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (options && (a == "-h" || a == "--aide" || a == "--help")) {
            sortie += Usage;
            return 0;
        }
        if (options && a == "--") {
            options = false;
        } else if (options && a == "--renumeroter") {
            if (i + 1 == arguments.size())
                return erreurUsage(erreurs, "--renumeroter attend le nom du fichier à écrire.");
            if (cible)
                return erreurUsage(erreurs, "--renumeroter ne s'écrit qu'une fois.");
            cible = arguments[++i];
        } else if (options && a.size() > 1 && a.front() == '-') {
            return erreurUsage(erreurs, "option inconnue « " + citer(a) + " ».");
        } else if (fichier) {
            return erreurUsage(erreurs, "un seul fichier à la fois.");
        } else {
            fichier = a;
        }
    }

    const std::string chemin = fichier ? *fichier : fichierParDefaut();
    Lecture lu = lireFichier(chemin);
    if (!lu.erreur.empty()) {
        erreurs += "listora-verifier : " + lu.erreur + "\n";
        return static_cast<int>(Statut::Illisible);
    }
    if (!cible) {
        const Rapport rapport = verifier(std::move(lu.octets));
        sortie += enTexte(rapport, chemin, sortieSuggeree(chemin));
        return static_cast<int>(rapport.statut);
    }

    const Renumerotation r = renumeroter(std::move(lu.octets));
    if (const std::string erreur = ecrireNouveauFichier(*cible, r.texte); !erreur.empty()) {
        erreurs += "listora-verifier : " + erreur + "\n";
        return static_cast<int>(Statut::Illisible);
    }
    sortie += "Copie renumérotée de « " + citer(chemin) + " » écrite dans « " + citer(*cible) +
              " », en UTF-8 :\n";
    for (const std::string& note : r.notes)
        sortie += "  " + note + "\n";
    sortie += "« " + citer(chemin) +
              " » n'a pas été modifié. Les virgules manquantes et les doublons restent à "
              "corriger à la main ; pour vérifier la copie :\n    listora-verifier " +
              pourLeShell(*cible) + "\n";
    return 0;
}

} // namespace

int executer(const std::vector<std::string>& arguments, std::string& sortie, std::string& erreurs)
{
    // Everything printed passes one last filter: whatever a message quotes,
    // only its own line ends reach the terminal as controls.
    std::string s, e;
    const int statut = lancer(arguments, s, e);
    sortie += assainir(s);
    erreurs += assainir(e);
    return statut;
}

} // namespace verificateur
