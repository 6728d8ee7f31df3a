// Start-up as a user waits for it, against a bare Qt window built the same
// way: from starting a new process to its window shown and painted, then
// quitting. Each run starts this same program again, as one of two children:
//
//     timing_startup [RUNS]          (11 by default, each child in turn)
//
// "listora" does what the program's main() does (the system's base style,
// Listora, Form_Load, Show); "bare window" a QApplication and a QWidget of
// the same size shown. Both quit once their window has had its first paint;
// the parent times each from its start to its end. No Google
// Benchmark: this builds for Windows too, where it runs under Wine with the
// platform plugin QT_QPA_PLATFORM names (the windows one when unset).
#include "app/listora.h"
#include "platform/session.h"
#include "timing.h"
#include "ui/toolkit.h"

#include <QApplication>

#include <cstdlib>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace
{

// Quits once a paint event has reached the window `fenetre`: queued, so
// that the paint, and the flush to the screen that follows it, end first.
class QuitterApresPeinture : public QObject
{
public:
    explicit QuitterApresPeinture(QWidget* fenetre) : fenetre_(fenetre) {}

    bool eventFilter(QObject* cible, QEvent* evenement) override
    {
        if (evenement->type() == QEvent::Paint && cible == fenetre_ && !fait_) {
            fait_ = true;
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget* fenetre_;
    bool fait_ = false;
};

int listora(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (const char* style = plateforme::styleDeBase())
        QApplication::setStyle(QString::fromLatin1(style));
    Listora fenetre;
    QuitterApresPeinture filtre(&fenetre);
    application.installEventFilter(&filtre);
    fenetre.Form_Load();
    fenetre.Me.Show();
    return QApplication::exec();
}

int fenetreNue(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget fenetre;
    QuitterApresPeinture filtre(&fenetre);
    application.installEventFilter(&filtre);
    fenetre.setWindowTitle(QStringLiteral("Qt"));
    // The main window's size: a larger window costs more to paint and show.
    fenetre.resize(ui::twipsEnPixels(6225), ui::twipsEnPixels(3960));
    fenetre.show();
    return QApplication::exec();
}

// Starts this program again as the child `role` and waits for its end: true
// when it ended with status 0. Straight through the system rather than
// QProcess, whose end notification comes through a thread of its own.
#ifdef _WIN32
bool lancer(const char* role)
{
    std::wstring ligne = L"\"" + QCoreApplication::applicationFilePath().toStdWString() + L"\" " +
                         QString::fromLatin1(role).toStdWString();
    STARTUPINFOW demarrage{};
    demarrage.cb = sizeof demarrage;
    PROCESS_INFORMATION processus{};
    if (!CreateProcessW(nullptr, ligne.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &demarrage, &processus))
        return false;
    WaitForSingleObject(processus.hProcess, INFINITE);
    DWORD statut = 1;
    GetExitCodeProcess(processus.hProcess, &statut);
    CloseHandle(processus.hThread);
    CloseHandle(processus.hProcess);
    return statut == 0;
}
#else
bool lancer(const char* role)
{
    const std::string programme = QCoreApplication::applicationFilePath().toStdString();
    char* arguments[] = {const_cast<char*>(programme.c_str()), const_cast<char*>(role), nullptr};
    pid_t enfant = 0;
    if (::posix_spawn(&enfant, arguments[0], nullptr, nullptr, arguments, environ) != 0)
        return false;
    int statut = 0;
    return ::waitpid(enfant, &statut, 0) == enfant && WIFEXITED(statut) && WEXITSTATUS(statut) == 0;
}
#endif

// One start of this program as the child `role`, in milliseconds.
double demarrer(const char* role)
{
    const bench::Horloge::time_point debut = bench::Horloge::now();
    if (!lancer(role)) {
        std::fprintf(stderr, "timing_startup: the child %s did not start and quit\n", role);
        std::exit(1);
    }
    return bench::millisecondesDepuis(debut);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--listora") == 0)
        return listora(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--nue") == 0)
        return fenetreNue(argc, argv);
    QCoreApplication application(argc, argv);
    const int essais = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
    // One start of each, not counted: the first start of a session loads the
    // libraries from the disk, which a user's later starts do not.
    demarrer("--nue");
    demarrer("--listora");
    bench::Mesures programme, nue;
    for (int i = 0; i < essais; ++i) {
        programme.ms.push_back(demarrer("--listora"));
        nue.ms.push_back(demarrer("--nue"));
    }
    bench::afficher("bare window", nue);
    bench::afficher("listora", programme);
    bench::afficherRapport("listora / bare window", programme, nue);
    return 0;
}
