// Cost of a catalogue button press and of an entry display on a catalogue of
// 32,767 acronyms (the most a catalogue holds), in the real main window shown
// offscreen.
//
//     bench_load
//
// "Appui" is the whole press, from the button's click to the filled list and
// the frame's caption, with the list read again each time; "AppuiDoublons" the
// same with the duplicate check on. "DerniereEntree" is the selection of the
// entry with the highest key, which reads every key of the catalogue.
#include "app/listora.h"
#include "bench/dossier_bench.h"
#include "catalogue/constant.h"

#include <QApplication>
#include <QPushButton>

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace
{

namespace fs = std::filesystem;

constexpr int Entrees = 32767;

// Four-letter acronyms, all different (7919 is prime to 26^4), in no order.
std::string terme(int numero)
{
    std::string t;
    for (int n = numero * 7919 % 456976, lettre = 0; lettre < 4; ++lettre, n /= 26)
        t += static_cast<char>('A' + n % 26);
    return t;
}

// The catalogue in the current directory, dated an hour back so that reads
// see the steady state of a file that is not being edited.
void ecrireCatalogue()
{
    fs::current_path(bench::dossierDeTravail());
    std::ofstream f("LISTORA.DAT", std::ios::binary);
    f << "[ACRONYMES]\r\n";
    for (int i = 1; i <= Entrees; ++i)
        f << "ACRO" << i << '=' << terme(i)
          << ",Signification de l'entr\xE9"
             "e "
          << i << " du catalogue\r\n";
    f.close();
    timespec heure{};
    clock_gettime(CLOCK_REALTIME, &heure);
    heure.tv_sec -= 3600;
    const timespec dates[2] = {heure, heure};
    ::utimensat(AT_FDCWD, "LISTORA.DAT", dates, 0);
}

Listora& fenetre()
{
    static Listora* f = [] {
        auto* nouvelle = new Listora;
        nouvelle->Form_Load();
        nouvelle->Timer1.setEnabled(false);
        nouvelle->Me.Show();
        QCoreApplication::processEvents();
        return nouvelle;
    }();
    return *f;
}

void appuyer(benchmark::State& etat, int16_t doublons)
{
    Listora& f = fenetre();
    CONSTANT::Verif_Doublon = doublons;
    const QString attendue = QStringLiteral("Acronymes (%1)").arg(Entrees);
    for (auto _ : etat) {
        CONSTANT::Liste_A_Recharger = 3; // read again, as after a reset
        f.CMD_Acronyme.bouton()->click();
        if (f.FRM_Type.Caption() != attendue)
            etat.SkipWithError("the press did not load the whole catalogue");
    }
    CONSTANT::Verif_Doublon = 0;
}

void BM_Appui(benchmark::State& etat)
{
    appuyer(etat, 0);
}

void BM_AppuiDoublons(benchmark::State& etat)
{
    appuyer(etat, 1);
}

void BM_DerniereEntree(benchmark::State& etat)
{
    Listora& f = fenetre();
    f.CMD_Acronyme_Click();
    const QString derniere = QString::fromStdString(terme(Entrees));
    int index = 0;
    while (index < f.LST_Liste1.ListCount() && f.LST_Liste1.List(index) != derniere)
        ++index;
    f.LST_Liste1.setListIndex(index);
    const QString sens = QString::number(Entrees) + QStringLiteral(" du catalogue");
    for (auto _ : etat) {
        f.LST_Liste1_Click();
        if (!f.TXT_Acronyme.Text().endsWith(sens) || CONSTANT::Num_Cle != Entrees)
            etat.SkipWithError("the last entry was not shown");
    }
}

} // namespace

BENCHMARK(BM_Appui)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_AppuiDoublons)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DerniereEntree)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    const fs::path depart = fs::current_path();
    ecrireCatalogue();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::current_path(depart);
    fs::remove_all(bench::dossierDeTravail());
    return 0;
}
