// Cost of a search over a catalogue of 32,767 acronyms, from the click on
// the search window's "&Recherche" to the filled list and caption, beside the
// press of "&Acronymes" that loads the same catalogue in full. Offscreen:
//
//     bench_search --benchmark_counters_tabular=true
//
// "tout" finds a lowercase letter that every meaning holds, so every term is
// listed, as in a load; "rare" finds a string held by one entry in a
// thousand. Each with regard to case (exacte) and without (ignoree).
#include "app/listora.h"
#include "catalogue/constant.h"
#include "search/recherche.h"
#include "ui/msgbox.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace
{

constexpr int Entrees = 32767;

// Terms of mixed letters, so that the sorted list does real work, and
// meanings of about 60 characters with an accent, in Windows-1252 as real
// catalogues are; every thousandth meaning holds "Rarissime".
QByteArray catalogue()
{
    QByteArray dat("[ACRONYMES]\r\n");
    quint32 graine = 12345;
    for (int n = 1; n <= Entrees; ++n) {
        QByteArray terme;
        for (int i = 0; i < 3 + n % 5; ++i) {
            graine = graine * 1103515245u + 12345u;
            terme += char('A' + (graine >> 16) % 26);
        }
        QByteArray sens = "Signification num\xE9ro " + QByteArray::number(n) +
                          (n % 1000 == 0 ? " Rarissime" : " ordinaire") + " du catalogue";
        dat += "ACRO" + QByteArray::number(n) + '=' + terme + ',' + sens + "\r\n";
    }
    return dat;
}

// Writes the catalogue into `dossier` and makes it the current directory.
// The file is dated an hour back: a file saved this instant is compared byte
// for byte at each read until its date is safely past, which is not the
// steady state this measures.
bool preparer(const QTemporaryDir& dossier)
{
    const QString chemin = dossier.filePath(QStringLiteral("LISTORA.DAT"));
    QFile f(chemin);
    const QByteArray octets = catalogue();
    if (!f.open(QIODevice::WriteOnly) || f.write(octets) != octets.size())
        return false;
    f.close();
    const QDateTime ilYaUneHeure = QDateTime::currentDateTime().addSecs(-3600);
    return f.open(QIODevice::ReadWrite) &&
           f.setFileTime(ilYaUneHeure, QFileDevice::FileModificationTime) &&
           f.setFileTime(ilYaUneHeure, QFileDevice::FileAccessTime) &&
           QDir::setCurrent(dossier.path());
}

// The main window with the acronyms loaded and the search window open.
struct Fenetres {
    Listora principale;
    Recherche* recherche = nullptr;
    Fenetres()
    {
        principale.Form_Load();
        principale.CMD_Acronyme_Click();
        principale.CMD_Recherche_Click();
        recherche = Recherche::ouverte();
    }
};

void BM_Recherche(benchmark::State& etat, const char* chaine, int casse, int attendus)
{
    Fenetres f;
    f.recherche->TXT_recherche.setText(QString::fromLatin1(chaine));
    f.recherche->CHK_Recherche.setValue(casse);
    for (auto _ : etat)
        f.recherche->CMD_Recherche_Click();
    if (f.principale.LST_Liste1.ListCount() != attendus)
        etat.SkipWithError("the search did not list what it should");
}

void BM_Chargement(benchmark::State& etat)
{
    Fenetres f;
    for (auto _ : etat) {
        CONSTANT::Liste_A_Recharger = 3; // read in full again, as after a search
        f.principale.CMD_Acronyme_Click();
    }
    if (f.principale.LST_Liste1.ListCount() != Entrees)
        etat.SkipWithError("the load did not list every entry");
}

} // namespace

BENCHMARK_CAPTURE(BM_Recherche, tout_ignoree, "o", 1, Entrees)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Recherche, tout_exacte, "o", 0, Entrees)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Recherche, rare_ignoree, "rarissime", 1, Entrees / 1000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Recherche, rare_exacte, "Rarissime", 0, Entrees / 1000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Chargement)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir dossier;
    const QString depart = QDir::currentPath();
    if (!dossier.isValid() || !preparer(dossier))
        return 1;
    // Any message box would be a failure of the set-up; none may wait for a user.
    ui::EnregistreurMsgBox aucunMessage;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QDir::setCurrent(depart);
    return aucunMessage.messages().isEmpty() ? 0 : 1;
}
