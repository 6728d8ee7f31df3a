#include "app/command_line.h"

#include <cstring>
#include <string_view>

namespace
{

// Where the user's copy is, and the manual pages, as each system has them.
#ifdef _WIN32
#define LISTORA_AIDE_COPIE                                                                         \
    "LISTORA.DAT du dossier courant, sinon dans votre copie,\n"                                    \
    "%APPDATA%\\Listora\\LISTORA.DAT, faite au premier démarrage du catalogue\n"                  \
    "fourni à côté de listora.exe. Modifiez-la avec un éditeur de texte ;\n"                   \
    "listora-verifier dit ce que le programme en lira.\n"
#define LISTORA_AIDE_MANUEL ""
#else
#define LISTORA_AIDE_COPIE                                                                         \
    "LISTORA.DAT du dossier courant, sinon dans votre copie,\n"                                    \
    "~/.local/share/listora/LISTORA.DAT, faite au premier démarrage du catalogue\n"               \
    "fourni. Modifiez-la avec un éditeur de texte ; listora-verifier dit ce que\n"                \
    "le programme en lira.\n"
#define LISTORA_AIDE_MANUEL "Voir « man listora » et « man listora-verifier ».\n"
#endif

const char* const Aide =
    "Usage : listora [OPTION]\n"
    "Aide-mémoire : acronymes, ports IP et types MIME, lus dans le fichier\n" LISTORA_AIDE_COPIE
    "\n"
    "  -h, --help     affiche cette aide et quitte\n"
    "  -V, --version  affiche la version et quitte\n"
    "\n"
    "Les options de Qt (-platform, -style...) sont acceptées.\n" LISTORA_AIDE_MANUEL;

// Qt's own options, as QGuiApplication, QApplication and the X11 platform
// take them (the X11 names only there: refuserLeReste catches the others).
constexpr std::string_view OptionsQtAvecValeur[] = {"-platform",      "-platformpluginpath",
                                                    "-platformtheme", "-plugin",
                                                    "-session",       "-qwindowgeometry",
                                                    "-qwindowtitle",  "-qwindowicon",
                                                    "-geometry",      "-title",
                                                    "-icon",          "-display",
                                                    "-name",          "-visual",
                                                    "-style",         "-stylesheet"};
constexpr std::string_view OptionsQtSeules[] = {"-reverse", "-widgetcount", "-testability",
                                                "-nograb",  "-dograb",      "-sync"};
constexpr std::string_view OptionsQtEgal[] = {"-style=", "-stylesheet=", "-qmljsdebugger="};

bool est(const char* argument, std::initializer_list<const char*> noms)
{
    for (const char* nom : noms)
        if (std::strcmp(argument, nom) == 0)
            return true;
    return false;
}

template <std::size_t N> bool parmi(std::string_view option, const std::string_view (&noms)[N])
{
    for (std::string_view nom : noms)
        if (option == nom)
            return true;
    return false;
}

// How many arguments a Qt option at `argument` spans: 0 when it is not one of
// Qt's. Qt takes "--platform" as "-platform".
int longueurOptionQt(std::string_view argument)
{
    if (argument.starts_with("--"))
        argument.remove_prefix(1);
    if (parmi(argument, OptionsQtSeules))
        return 1;
    if (parmi(argument, OptionsQtAvecValeur))
        return 2;
    for (std::string_view prefixe : OptionsQtEgal)
        if (argument.starts_with(prefixe))
            return 1;
    return 0;
}

LigneDeCommande refuser(const char* argument)
{
    return {2, std::string("listora : option inconnue « ") + argument +
                   " » ; « listora --help » donne les options.\n"};
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
    for (int i = 1; i < argc;) {
        const int longueur = longueurOptionQt(argv[i]);
        if (longueur == 0)
            return refuser(argv[i]);
        i += longueur;
    }
    return {};
}

LigneDeCommande refuserLeReste(int argc, const char* const* argv)
{
    if (argc < 2)
        return {};
    return refuser(argv[1]);
}

std::string messageSansAffichage(bool nomme)
{
    if (!nomme)
        return "listora : aucun affichage graphique (DISPLAY et WAYLAND_DISPLAY sont vides) ; "
               "lancez Listora depuis une session de bureau.\n";
    return "listora : impossible d'ouvrir l'affichage graphique ; vérifiez DISPLAY, "
           "WAYLAND_DISPLAY ou QT_QPA_PLATFORM, ou lancez Listora depuis une session de bureau.\n";
}
