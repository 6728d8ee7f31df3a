// Starting the program is loading and showing the main window; unloading it
// ends the program.
#include "app/listora.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // Ties the window to its menu entry and icon on Wayland and in task bars.
    QGuiApplication::setDesktopFileName(QStringLiteral("fr.listora.Listora"));
    Listora fenetre;
    // Queued, so that a handler which unloads the window still runs to its
    // end before the event loop stops.
    QObject::connect(&fenetre, &Listora::decharge, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    fenetre.Form_Load();
    fenetre.Me.Show();
    application.exec();
    // Told by the window, not by the event loop: closing the last window
    // also quits it, with 0, in the same pass as the unloading's quit.
    return fenetre.codeDeSortie();
}
