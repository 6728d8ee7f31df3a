#include "lookup/command_line.h"

#include "catalogue/data_file.h"
#include "catalogue/key_walk.h"
#include "lookup/lookup.h"
#include "lookup/output.h"
#include "lookup/system.h"
#include "lookup/text.h"
#include "platform/first_start.h"
#include "terminal/visible.h"
#include "verifier/files.h"

#include <optional>
#include <set>

namespace consultation
{
namespace
{

// Entries shown of each catalogue unless --tout is given.
constexpr size_t Limite = 20;

const char* const Usage =
    "Usage : listora-cherche [OPTION]... TEXTE...\n"
    "\n"
    "Cherche TEXTE dans les trois catalogues de Listora (ports IP, acronymes,\n"
    "types MIME) et affiche une ligne par entrée trouvée, les plus pertinentes\n"
    "d'abord : le terme égal au texte, le port de ce numéro (443, 3389/udp),\n"
    "le type MIME de cette extension (.docx), puis les entrées qui contiennent\n"
    "le texte, majuscules et minuscules confondues, accents compris. Plusieurs\n"
    "mots forment un seul texte.\n"
    "\n"
    "  --fichier FICHIER  cherche dans FICHIER (par défaut ./LISTORA.DAT, ou, s'il\n"
    "                     n'y en a pas, votre copie, celle qu'ouvre listora)\n"
    "  --casse            distingue les majuscules des minuscules\n"
    "  --tout             affiche toutes les entrées trouvées, pas seulement\n"
    "                     les 20 premières de chaque catalogue\n"
    "  -h, --help         affiche cette aide et quitte\n"
    "  -V, --version      affiche la version et quitte\n"
    "\n"
    "Code de retour : 0 trouvé, 1 rien trouvé, 2 fichier illisible.\n"
    "Détails : man listora-cherche\n";

struct Options {
    std::optional<std::string> fichier;
    std::string texte;
    bool casse = false;
    bool tout = false;
    bool termes = false; // the terms that start with the text, for completion
    bool aide = false;
    bool version = false;
    bool aDuTexte = false;
};

int erreurUsage(std::string& erreurs, const std::string& message)
{
    erreurs += "listora-cherche : " + message + "\n\n" + Usage;
    return static_cast<int>(Statut::Illisible);
}

// The options, or the message that refuses them.
std::optional<std::string> lireOptions(const std::vector<std::string>& arguments, Options& o)
{
    bool options = true;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (options && (a == "-h" || a == "--help" || a == "--aide")) {
            o.aide = true;
        } else if (options && (a == "-V" || a == "--version")) {
            o.version = true;
        } else if (options && a == "--") {
            options = false;
        } else if (options && (a == "--fichier" || a.rfind("--fichier=", 0) == 0)) {
            if (o.fichier)
                return "--fichier ne s'écrit qu'une fois.";
            if (a == "--fichier" && i + 1 == arguments.size())
                return "--fichier attend le nom du fichier.";
            o.fichier = a == "--fichier" ? arguments[++i] : a.substr(10);
        } else if (options && a == "--casse") {
            o.casse = true;
        } else if (options && a == "--tout") {
            o.tout = true;
        } else if (options && a == "--termes") {
            o.termes = true;
        } else if (options && a.size() > 1 && a.front() == '-') {
            return "option inconnue « " + terminal::citer(a) + " ».";
        } else {
            o.texte += (o.aDuTexte ? " " : "") + a;
            o.aDuTexte = true;
        }
    }
    if (!o.aide && !o.version && !o.termes && (!o.aDuTexte || o.texte.empty()))
        return "quel texte chercher ?";
    return std::nullopt;
}

// The file `listora` opens, as the checker takes it; when that is the
// user's copy and there is none yet, the catalogue it would be made from.
std::string fichierCherche(const Options& o, const Contexte& contexte)
{
    if (o.fichier)
        return *o.fichier;
    const std::string chemin = plateforme::fichierParDefaut();
    if (!existe(chemin) && !contexte.catalogueFourni.empty() && existe(contexte.catalogueFourni))
        return contexte.catalogueFourni;
    return chemin;
}

// The terms of every catalogue that start with `debut`, case aside, each
// once, in catalogue and key order: what Bash completion offers.
std::string termesCommencant(const std::shared_ptr<const ini::Document>& version,
                             std::u16string_view debut)
{
    std::string sortie;
    std::set<std::u16string, std::less<>> vus;
    for (const catalogue::Catalogue* c : catalogue::Tous) {
        catalogue::Passe passe(*c, version);
        while (passe.suivante()) {
            const std::u16string_view terme = catalogue::terme(passe.vue());
            if (commencePar(terme, debut) && vus.emplace(terme).second)
                sortie += terminal::citer(utf8(terme)) + "\n";
        }
    }
    return sortie;
}

bool aUnCatalogue(const ini::Document& version)
{
    for (const catalogue::Catalogue* c : catalogue::Tous)
        if (Lire_Section(&version, c->section))
            return true;
    return false;
}

int lancer(const std::vector<std::string>& arguments, const Contexte& contexte, std::string& sortie,
           std::string& erreurs)
{
    Options o;
    if (const auto refus = lireOptions(arguments, o))
        return erreurUsage(erreurs, *refus);
    if (o.aide || o.version) {
        sortie += o.aide ? Usage : "listora-cherche " LISTORA_VERSION "\n";
        return 0;
    }
    const std::string chemin = fichierCherche(o, contexte);
    verificateur::Lecture lu = verificateur::lireFichier(chemin);
    if (!lu.erreur.empty()) {
        erreurs += "listora-cherche : " + lu.erreur + "\n";
        return static_cast<int>(Statut::Illisible);
    }
    const auto version = std::make_shared<const ini::Document>(std::move(lu.octets));
    const std::u16string texte = utf16(o.texte);
    if (o.termes) {
        sortie += termesCommencant(version, texte);
        return 0;
    }
    const auto groupes = chercher(version, texte, o.casse);
    const std::string trouve = enTexte(groupes, o.tout ? 0 : Limite, contexte.largeur);
    if (!trouve.empty()) {
        sortie += trouve;
        return static_cast<int>(Statut::Trouve);
    }
    erreurs += "listora-cherche : " +
               (aUnCatalogue(*version)
                    ? "rien ne répond à « " + terminal::citer(o.texte) + " » dans « " +
                          terminal::citer(chemin) + " »."
                    : "« " + terminal::citer(chemin) +
                          " » ne contient aucun catalogue : ni [IP-PORTS], ni [ACRONYMES], ni "
                          "[MIME-TYPES] n'y a d'entrée ; listora-verifier dit pourquoi.") +
               "\n";
    return static_cast<int>(Statut::Rien);
}

} // namespace

int executer(const std::vector<std::string>& arguments, const Contexte& contexte,
             std::string& sortie, std::string& erreurs)
{
    // Everything printed passes one last filter, as the checker's does.
    std::string s, e;
    const int statut = lancer(arguments, contexte, s, e);
    sortie += terminal::assainir(s);
    erreurs += terminal::assainir(e);
    return statut;
}

} // namespace consultation
