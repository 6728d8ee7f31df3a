// Saves a picture of the search window as it opens over the acronyms, for
// the README:
//   QT_QPA_PLATFORM=offscreen recherche_capture docs/recherche.png
#include "app/listora.h"
#include "catalogue/constant.h"
#include "search/recherche.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s image.png\n", argv[0]);
        return 2;
    }
    Listora principale;
    principale.Form_Load();
    CONSTANT::Liste_Active = 2;
    principale.CMD_Recherche_Click();
    Recherche* recherche = Recherche::ouverte();
    QApplication::processEvents();
    return recherche->grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
