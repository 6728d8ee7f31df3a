// A press of "&Acronymes" on the shipped catalogue against a yardstick, in
// one process:
//
//     timing_press [RUNS [FILE]]     (15 runs; data/LISTORA.DAT by default)
//
// The press: a fresh main window shown, then the time from the mouse click
// on the button until the event loop is idle again, the list filled, laid
// out and painted. The yardstick: the same file read, decoded, every
// acronym's term cut and the terms sorted with the French collation, written
// the straightforward Qt way (bench_load's BM_Etalon). The two run in turn,
// so that a slow phase of the machine weighs on both; then presses on the
// file just saved, which the press reads again. No Google Benchmark:
// this builds for Windows too, where it runs under Wine.
#include "app/listora.h"
#include "platform/session.h"
#include "timing.h"
#include "ui/listbox.h"
#include "yardstick.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStringTokenizer>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace
{

void jusquAuRepos()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

[[noreturn]] void echouer(const char* pourquoi)
{
    std::fprintf(stderr, "timing_press: %s\n", pourquoi);
    std::exit(1);
}

// The acronyms' terms of LISTORA.DAT in the current folder, sorted.
qsizetype etalon(const QCollator& collation)
{
    const std::optional<QStringList> termes = termesEtalon(collation);
    if (!termes)
        echouer("no LISTORA.DAT");
    return termes->size();
}

// The file's modification time set to now, as an editor's save leaves it:
// its dates then prove nothing, and the press reads it again.
void enregistrer()
{
    QFile f(QStringLiteral("LISTORA.DAT"));
    if (!f.open(QIODevice::ReadWrite) ||
        !f.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime))
        echouer("the catalogue's date could not be set");
}

// One press on a fresh window, in milliseconds, on the file as it is or
// just saved; the caption then gives the count of acronyms loaded, which
// must be the yardstick's.
double appuyer(qsizetype attendus, bool justeEnregistre)
{
    Listora fenetre;
    fenetre.Form_Load();
    fenetre.Timer1.setEnabled(false);
    fenetre.Me.Show();
    jusquAuRepos();
    if (justeEnregistre)
        enregistrer();
    const bench::Horloge::time_point debut = bench::Horloge::now();
    QTest::mouseClick(fenetre.CMD_Acronyme.bouton(), Qt::LeftButton);
    jusquAuRepos();
    const double ms = bench::millisecondesDepuis(debut);
    if (fenetre.FRM_Type.Caption() != QStringLiteral("Acronymes (%1)").arg(attendus))
        echouer("the press did not load every acronym");
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (const char* style = plateforme::styleDeBase())
        QApplication::setStyle(QString::fromLatin1(style));
    const int essais = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const QString source = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                    : QStringLiteral(LISTORA_SOURCE_DIR "/data/LISTORA.DAT");
    QTemporaryDir dossier;
    if (!dossier.isValid() || !QFile::copy(source, dossier.filePath(QStringLiteral("LISTORA.DAT"))))
        echouer("the catalogue could not be copied to a scratch folder");
    QDir::setCurrent(dossier.path());
    // Past the moment in which a just-written file's dates prove nothing and
    // each pass would read it again: the steady state of a file not being
    // edited.
    std::this_thread::sleep_for(std::chrono::seconds(3));

    const QCollator collation = ui::ListBox::collationFrancaise();
    bench::Horloge::time_point debut = bench::Horloge::now();
    const qsizetype termes = etalon(collation);
    const double premierEtalon = bench::millisecondesDepuis(debut);
    // The first press of the process reads the file through the system; the
    // later ones find it in the program's cache when it has not changed.
    const double premier = appuyer(termes, false);
    bench::Mesures mesuresEtalon, appuis, appuisApresEnregistrement;
    for (int i = 0; i < essais; ++i) {
        debut = bench::Horloge::now();
        etalon(collation);
        mesuresEtalon.ms.push_back(bench::millisecondesDepuis(debut));
        appuis.ms.push_back(appuyer(termes, false));
    }
    // Apart, after the others: a save leaves the file's dates unproven for a
    // moment, in which a press on the file "unchanged" would read it again.
    for (int i = 0; i < essais; ++i)
        appuisApresEnregistrement.ms.push_back(appuyer(termes, true));
    std::printf("%lld acronyms\n", static_cast<long long>(termes));
    bench::afficher("yardstick", mesuresEtalon);
    bench::afficher("press, file unchanged", appuis);
    bench::afficher("press, file just saved", appuisApresEnregistrement);
    std::printf("%-28s %9.2f ms\n", "first yardstick of the run", premierEtalon);
    std::printf("%-28s %9.2f ms\n", "first press of the run", premier);
    bench::afficherRapport("press unchanged / yardstick", appuis, mesuresEtalon);
    bench::afficherRapport("press saved / yardstick", appuisApresEnregistrement, mesuresEtalon);
    QDir::setCurrent(QDir::tempPath());
    return 0;
}
