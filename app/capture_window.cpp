// Saves a picture of one of the program's windows as it opens, for the
// README:
//   QT_QPA_PLATFORM=offscreen listora_capture listora docs/listora.png
//   QT_QPA_PLATFORM=offscreen listora_capture recherche docs/recherche.png
// "listora" is the main window at start-up, "recherche" the search window as
// it opens over the acronyms.
#include "app/listora.h"
#include "catalogue/constant.h"
#include "search/recherche.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>
#include <cstring>

namespace
{

// The window `nom` names, opened over `principale`; null for any other name.
QWidget* ouvrir(const char* nom, Listora& principale)
{
    if (std::strcmp(nom, "listora") == 0) {
        principale.Me.Show();
        return &principale;
    }
    if (std::strcmp(nom, "recherche") == 0) {
        CONSTANT::Liste_Active = 2;
        principale.CMD_Recherche_Click();
        return principale.recherche();
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    Listora principale;
    principale.Form_Load();
    QWidget* fenetre = argc == 3 ? ouvrir(argv[1], principale) : nullptr;
    if (!fenetre) {
        std::fprintf(stderr, "usage: %s listora|recherche image.png\n", argv[0]);
        return 2;
    }
    QApplication::processEvents();
    return fenetre->grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
