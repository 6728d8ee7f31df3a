// Saves a picture of the main window as it opens, for the README:
//   QT_QPA_PLATFORM=offscreen listora_capture docs/listora.png
#include "app/listora.h"

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
    Listora fenetre;
    fenetre.Form_Load();
    fenetre.Me.Show();
    QApplication::processEvents();
    return fenetre.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
