// Starting the program is loading and showing the main window; unloading it
// ends the program.
#include "app/command_line.h"
#include "app/listora.h"
#include "platform/first_start.h"
#include "platform/session.h"

#include <QApplication>
#include <QDir>
#include <QList>
#include <QProcess>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace
{

int terminer(const LigneDeCommande& ligne)
{
    plateforme::rejoindreLaConsole();
    std::fputs(ligne.texte.c_str(), *ligne.fin == 0 ? stdout : stderr);
    return *ligne.fin;
}

// A message Qt gave while it started, kept with copies of its context.
struct MessageRetenu {
    QtMsgType type;
    QByteArray fichier, fonction, categorie;
    int ligne;
    QString texte;
};

QtMessageHandler gestionnaireDeQt = nullptr;
QList<MessageRetenu>* retenus = nullptr;

// While Qt opens the display, its messages are held back: when no platform
// can start, Qt says so in English and aborts, and the user gets one French
// line and status 1 instead; when it starts, they are given out as usual.
void retenirPendantLeDemarrage(QtMsgType type, const QMessageLogContext& contexte,
                               const QString& texte)
{
    if (type == QtFatalMsg) {
        const bool nomme = !qEnvironmentVariableIsEmpty("DISPLAY") ||
                           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
        plateforme::rejoindreLaConsole();
        std::fputs(messageSansAffichage(nomme).c_str(), stderr);
        std::fflush(stderr);
        // Half-built Qt: nothing of it may run at exit.
        std::_Exit(1);
    }
    retenus->append(
        {type, contexte.file, contexte.function, contexte.category, contexte.line, texte});
}

void rendreLesMessages()
{
    qInstallMessageHandler(gestionnaireDeQt);
    for (const MessageRetenu& m : *retenus) {
        const QMessageLogContext contexte(m.fichier.constData(), m.ligne, m.fonction.constData(),
                                          m.categorie.constData());
        gestionnaireDeQt(m.type, contexte, m.texte);
    }
    retenus->clear();
}

std::unique_ptr<QApplication> ouvrirAffichage(int& argc, char** argv)
{
    QList<MessageRetenu> messages;
    retenus = &messages;
    gestionnaireDeQt = qInstallMessageHandler(retenirPendantLeDemarrage);
    auto application = std::make_unique<QApplication>(argc, argv);
    rendreLesMessages();
    retenus = nullptr;
    return application;
}

// The system's base style, unless the user chose one (-style, or
// QT_STYLE_OVERRIDE), which Qt applies itself: null then.
const char* styleDeBase(int argc, char** argv)
{
    const char* style = plateforme::styleDeBase();
    if (style == nullptr || !qEnvironmentVariableIsEmpty("QT_STYLE_OVERRIDE"))
        return nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-style" || argument == "--style" || argument.starts_with("-style=") ||
            argument.starts_with("--style="))
            return nullptr;
    }
    return style;
}

// Goes to the folder whose LISTORA.DAT the window reads, making the user's
// copy of the shipped catalogue on the first start, and says so on standard
// error. Returns the warning of a start on the shipped catalogue, or empty.
std::string entrerDansLeDossier()
{
    plateforme::Depart depart = plateforme::preparerLeDepart(plateforme::lieuxDuProcessus());
    if (!QDir::setCurrent(QString::fromStdString(depart.dossier)) && !depart.avertissement) {
        depart.message = plateforme::avertissementSansCopie(depart.dossier);
        depart.avertissement = true;
        QDir::setCurrent(QString::fromStdString(depart.repli));
    }
    // Said once the folder is entered: a script that reads it finds the
    // program there.
    if (!depart.message.empty()) {
        plateforme::rejoindreLaConsole();
        std::fputs(("listora : " + depart.message + "\n").c_str(), stderr);
        std::fflush(stderr);
    }
    return depart.avertissement ? depart.message : std::string();
}

// The warning again as a desktop notification, for a start from the menu,
// whose standard error nobody reads.
void notifier(const std::string& avertissement)
{
    const char* commande = plateforme::commandeDeNotification();
    if (avertissement.empty() || commande == nullptr)
        return;
    QProcess notification;
    notification.setProgram(QString::fromLatin1(commande));
    notification.setArguments({"--app-name=Listora", "--icon=fr.listora.Listora", "Listora",
                               QString::fromStdString(avertissement)});
    notification.setStandardOutputFile(QProcess::nullDevice());
    notification.setStandardErrorFile(QProcess::nullDevice());
    notification.startDetached();
}

} // namespace

int main(int argc, char** argv)
{
    // Help, version and unknown arguments need no display: answered before
    // Qt opens one.
    if (const LigneDeCommande ligne = lireOptions(argc, argv); ligne.fin)
        return terminer(ligne);
    const std::string avertissement = entrerDansLeDossier();
    const char* style = styleDeBase(argc, argv); // before Qt takes its options out
    const std::unique_ptr<QApplication> application = ouvrirAffichage(argc, argv);
    if (style != nullptr)
        QApplication::setStyle(QString::fromLatin1(style));
    if (const LigneDeCommande ligne = refuserLeReste(argc, argv); ligne.fin)
        return terminer(ligne);
    notifier(avertissement);
    // Ties the window to its menu entry and icon on Wayland and in task bars.
    QGuiApplication::setDesktopFileName(QStringLiteral("fr.listora.Listora"));
    Listora fenetre;
    // Queued, so that a handler which unloads the window still runs to its
    // end before the event loop stops.
    QObject::connect(&fenetre, &Listora::decharge, application.get(), &QCoreApplication::quit,
                     Qt::QueuedConnection);
    fenetre.Form_Load();
    fenetre.Me.Show();
    application->exec();
    // Told by the window, not by the event loop: closing the last window
    // also quits it, with 0, in the same pass as the unloading's quit.
    return fenetre.codeDeSortie();
}
