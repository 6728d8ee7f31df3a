// Starting the program is loading and showing the main window; unloading it
// ends the program.
#include "app/command_line.h"
#include "app/listora.h"

#include <QApplication>

#include <cstdio>

namespace
{

int terminer(const LigneDeCommande& ligne)
{
    std::fputs(ligne.texte.c_str(), *ligne.fin == 0 ? stdout : stderr);
    return *ligne.fin;
}

} // namespace

int main(int argc, char** argv)
{
    // Help and version need no display: answered before Qt opens one.
    if (const LigneDeCommande ligne = lireOptions(argc, argv); ligne.fin)
        return terminer(ligne);
    QApplication application(argc, argv);
    if (const LigneDeCommande ligne = refuserLeReste(argc, argv); ligne.fin)
        return terminer(ligne);
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
