#include "app/command_line.h"

#include <cstring>

namespace
{

const char* const Aide =
    "Usage : listora [OPTION]\n"
    "Aide-mémoire : acronymes, ports IP et types MIME, lus dans le fichier\n"
    "LISTORA.DAT du dossier courant ; la commande listora ouvre votre copie,\n"
    "~/.local/share/listora/LISTORA.DAT, faite du catalogue fourni au premier\n"
    "démarrage. Modifiez-la avec un éditeur de texte ; listora-verifier dit ce\n"
    "que le programme en lira.\n"
    "\n"
    "  -h, --help     affiche cette aide et quitte\n"
    "  -V, --version  affiche la version et quitte\n"
    "\n"
    "Les options de Qt (-platform, -style...) sont acceptées.\n"
    "Voir « man listora » et « man listora-verifier ».\n";

bool est(const char* argument, std::initializer_list<const char*> noms)
{
    for (const char* nom : noms)
        if (std::strcmp(argument, nom) == 0)
            return true;
    return false;
}

} // namespace

LigneDeCommande lireOptions(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        if (est(argv[i], {"-h", "--help", "--aide"}))
            return {0, Aide};
        if (est(argv[i], {"-V", "--version"}))
            return {0, "listora " LISTORA_VERSION "\n"};
    }
    return {};
}

LigneDeCommande refuserLeReste(int argc, const char* const* argv)
{
    if (argc < 2)
        return {};
    return {2, std::string("listora : option inconnue « ") + argv[1] +
                   " » ; « listora --help » donne les options.\n"};
}
