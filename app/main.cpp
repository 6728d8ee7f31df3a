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
    QObject::connect(
        &fenetre, &Listora::decharge, &application,
        [&fenetre] { QCoreApplication::exit(fenetre.codeDeSortie()); }, Qt::QueuedConnection);
    fenetre.Form_Load();
    fenetre.Me.Show();
    return application.exec();
}
