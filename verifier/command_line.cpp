#include "verifier/command_line.h"

#include "platform/files.h"
#include "platform/first_start.h"
#include "terminal/visible.h"
#include "verifier/check.h"
#include "verifier/files.h"
#include "verifier/renumbering.h"

#include <cstdlib>
#include <new>
#include <optional>

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
    return plateforme::nomPris(chemin);
}

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

// Checks or renumbers the file at `chemin`, once the command line is read.
int lireEtTraiter(const std::string& chemin, const std::optional<std::string>& cible,
                  std::string& sortie, std::string& erreurs, bool& copieEcrite)
{
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
    // Told before the copy is written, so that running out of memory never
    // comes after it.
    std::string compteRendu = "Copie renumérotée de « " + terminal::citer(chemin) +
                              " » écrite dans « " + terminal::citer(*cible) + " », en UTF-8 :\n";
    for (const std::string& note : r.notes)
        compteRendu += "  " + note + "\n";
    compteRendu += "« " + terminal::citer(chemin) +
                   " » n'a pas été modifié. Les virgules manquantes et les doublons restent à "
                   "corriger à la main ; pour vérifier la copie :\n    listora-verifier " +
                   terminal::pourLaCommande(*cible, terminal::InterpreteDuSysteme) + "\n";
    sortie.reserve(sortie.size() + compteRendu.size());
    if (const std::string erreur = ecrireNouveauFichier(*cible, r.texte); !erreur.empty()) {
        erreurs += "listora-verifier : " + erreur + "\n";
        return static_cast<int>(Statut::Illisible);
    }
    copieEcrite = true;
    sortie += compteRendu; // room made above: nothing can fail here
    return 0;
}

int lancer(const std::vector<std::string>& arguments, std::string& sortie, std::string& erreurs,
           bool& copieEcrite)
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
            return erreurUsage(erreurs, "option inconnue « " + terminal::citer(a) + " ».");
        } else if (fichier) {
            return erreurUsage(erreurs, "un seul fichier à la fois.");
        } else {
            fichier = a;
        }
    }

    const std::string chemin = fichier ? *fichier : plateforme::fichierParDefaut();
    try {
        return lireEtTraiter(chemin, cible, sortie, erreurs, copieEcrite);
    } catch (const std::bad_alloc&) {
        // Nothing is written before the work is done, so a check or a copy
        // that runs out of memory leaves no report, no file, only this.
        erreurs += "listora-verifier : « " + terminal::citer(chemin) +
                   " » ne peut pas être lu (la mémoire manque pour " +
                   (cible ? "le renuméroter" : "le vérifier") +
                   ") : fermez d'autres programmes, puis recommencez.\n";
        return static_cast<int>(Statut::Illisible);
    }
}

} // namespace

int executer(const std::vector<std::string>& arguments, std::string& sortie, std::string& erreurs)
{
    // Everything printed passes one last filter: whatever a message quotes,
    // only its own line ends reach the terminal as controls.
    std::string s, e;
    bool copieEcrite = false;
    try {
        const int statut = lancer(arguments, s, e, copieEcrite);
        std::string vue = terminal::assainir(s), vueErreurs = terminal::assainir(e);
        sortie += vue;
        erreurs += vueErreurs;
        return statut;
    } catch (const std::bad_alloc&) {
        // Past the copy's writing, the user must know it stands.
        erreurs += copieEcrite ? "listora-verifier : la copie renumérotée est écrite, mais la "
                                 "mémoire manque pour en rendre compte.\n"
                               : "listora-verifier : la mémoire manque : fermez d'autres "
                                 "programmes, puis recommencez.\n";
        return static_cast<int>(Statut::Illisible);
    }
}

} // namespace verificateur
