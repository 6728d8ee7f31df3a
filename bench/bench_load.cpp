// What a user waits for on a catalogue of 32,767 acronyms (the most a
// catalogue holds), in the real main window shown offscreen, each measured
// from the mouse click on the button until the event loop is idle again, the
// list laid out and painted:
//
//     bench_load --benchmark_counters_tabular=true
//
// "Etalon" is the yardstick: the same catalogue read once, decoded, every
// term cut and the terms sorted with the French collation, written the
// straightforward Qt way. "Appui" is a press of "&Acronymes" that reads the
// catalogue again, "AppuiDoublons" the same with the duplicate check on,
// "DerniereEntree" the selection of the entry with the highest key, and
// "RechercheTout" a search that every entry matches. Each runs on an
// unchanged file (/0) and on a file saved a moment before the click (/1),
// whose dates cannot be trusted, so that the pass reads it again.
//
// A second argument gives the file's shape: 0 the keys in order; then three
// shapes a hand-edited or crafted file can take, which must cost no more
// than the yardstick on the same file does (2x at most): 1 a block of 20,000
// comment lines, then the keys backwards; 2 the keys shuffled, with junk
// lines between them; 3 the section's header written again before every
// key, where only the first block counts and one entry loads. The yardstick
// and the presses also run on the shipped catalogue (shape 4). Two more,
// each set against shape 0 (the yardstick splits lines at LF only): 5 the
// keys in order with CR-only line ends (the classic Mac format); 6 the keys
// in order under a first header line made 8 MiB long by its comment, then
// the header written again 100,000 times.
#include "app/listora.h"
#include "catalogue/constant.h"
#include "scratch_folder.h"
#include "search/recherche.h"
#include "ui/listbox.h"
#include "yardstick.h"

#include <QApplication>
#include <QCollator>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <vector>

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

void dater(long secondesEnArriere)
{
    timespec heure{};
    clock_gettime(CLOCK_REALTIME, &heure);
    heure.tv_sec -= secondesEnArriere;
    const timespec dates[2] = {heure, heure};
    ::utimensat(AT_FDCWD, "LISTORA.DAT", dates, 0);
}

enum Forme {
    EnOrdre,
    NotesPuisALEnvers,
    MeleesAvecDesLignesEnTrop,
    EnteteRepete,
    FichierLivre,
    FinsCr,
    EnteteLongRepete
};

// The acronyms of the shipped catalogue, counted the plain way.
int acronymesLivres()
{
    std::ifstream f(LISTORA_SOURCE_DIR "/data/LISTORA.DAT");
    int n = 0;
    for (std::string ligne; std::getline(f, ligne);)
        n += ligne.rfind("ACRO", 0) == 0;
    return n;
}
int formeEcrite = -1;

// The entries a press loads from a file of this shape.
int chargees(int forme)
{
    static const int livres = acronymesLivres();
    return forme == EnteteRepete ? 1 : forme == FichierLivre ? livres : Entrees;
}

// The catalogue in the current directory, in UTF-8 as the shipped one, in
// the shape `forme`, dated an hour back: the steady state of a file that is
// not being edited. Written again only when the shape changes.
void ecrireCatalogue(int forme = EnOrdre)
{
    if (forme == formeEcrite)
        return;
    formeEcrite = forme;
    fs::current_path(bench::dossierDeTravail());
    if (forme == FichierLivre) {
        fs::copy_file(LISTORA_SOURCE_DIR "/data/LISTORA.DAT", "LISTORA.DAT",
                      fs::copy_options::overwrite_existing);
        dater(3600);
        return;
    }
    std::vector<int> cles(Entrees);
    for (int i = 0; i < Entrees; ++i)
        cles[size_t(i)] = forme == NotesPuisALEnvers ? Entrees - i : i + 1;
    if (forme == MeleesAvecDesLignesEnTrop)
        std::shuffle(cles.begin(), cles.end(), std::mt19937(7));
    std::ostringstream f;
    f << "[ACRONYMES]";
    if (forme == EnteteLongRepete)
        f << " ;" << std::string(8 << 20, 'x');
    f << "\n";
    if (forme == NotesPuisALEnvers)
        for (int i = 0; i < 20000; ++i)
            f << ";\n";
    for (int i : cles) {
        if (forme == EnteteRepete && i > 1)
            f << "[ACRONYMES]\n";
        f << "ACRO" << i << '=' << terme(i) << ",Signification de l'entrée " << i
          << " du catalogue\n";
        if (forme == MeleesAvecDesLignesEnTrop)
            f << "a line without its equals sign\n; a note\n\n";
    }
    if (forme == EnteteLongRepete)
        for (int i = 0; i < 100000; ++i)
            f << "[ACRONYMES]\n";
    std::string octets = f.str();
    if (forme == FinsCr)
        std::replace(octets.begin(), octets.end(), '\n', '\r');
    std::ofstream("LISTORA.DAT", std::ios::binary) << octets;
    dater(3600);
}

// Before a timed click: on a file "saved a moment ago" (range 1), the file's
// change time is set to now, as an editor's save would.
void preparerFichier(benchmark::State& etat)
{
    if (etat.range(0) == 1) {
        etat.PauseTiming();
        dater(0);
        etat.ResumeTiming();
    }
}

// Until nothing is left to do: posted events, the list's delayed layout and
// the paint it asks for.
void jusquAuRepos()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void cliquer(QPushButton* bouton)
{
    QTest::mouseClick(bouton, Qt::LeftButton);
    jusquAuRepos();
}

Listora& fenetre()
{
    static Listora* f = [] {
        auto* nouvelle = new Listora;
        nouvelle->Form_Load();
        nouvelle->Timer1.setEnabled(false);
        nouvelle->Me.Show();
        jusquAuRepos();
        return nouvelle;
    }();
    return *f;
}

void BM_Etalon(benchmark::State& etat)
{
    ecrireCatalogue(int(etat.range(1)));
    const QCollator collation = ui::ListBox::collationFrancaise();
    for (auto _ : etat) {
        preparerFichier(etat);
        const std::optional<QStringList> lus = termesEtalon(collation);
        if (!lus) {
            etat.SkipWithError("no catalogue");
            break;
        }
        const QStringList& termes = *lus;
        if (termes.size() != chargees(int(etat.range(1))) && int(etat.range(1)) != EnteteRepete &&
            int(etat.range(1)) != FinsCr)
            etat.SkipWithError("the yardstick missed terms");
    }
}

void appuyer(benchmark::State& etat, int16_t doublons)
{
    ecrireCatalogue(int(etat.range(1)));
    Listora& f = fenetre();
    CONSTANT::Verif_Doublon = doublons;
    const QString attendue = QStringLiteral("Acronymes (%1)").arg(chargees(int(etat.range(1))));
    for (auto _ : etat) {
        etat.PauseTiming();
        CONSTANT::Liste_A_Recharger = 3; // read again, as after a reset
        etat.ResumeTiming();
        preparerFichier(etat);
        cliquer(f.CMD_Acronyme.bouton());
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
    ecrireCatalogue(int(etat.range(1)));
    Listora& f = fenetre();
    CONSTANT::Liste_A_Recharger = 3;
    cliquer(f.CMD_Acronyme.bouton());
    const int derniereCle = chargees(int(etat.range(1)));
    const QString derniere = QString::fromStdString(terme(derniereCle));
    int index = 0;
    while (index < f.LST_Liste1.ListCount() && f.LST_Liste1.List(index) != derniere)
        ++index;
    const QString sens = QString::number(derniereCle) + QStringLiteral(" du catalogue");
    for (auto _ : etat) {
        etat.PauseTiming();
        f.LST_Liste1.setListIndex(-1);
        etat.ResumeTiming();
        preparerFichier(etat);
        f.LST_Liste1.setListIndex(index);
        jusquAuRepos();
        if (!f.TXT_Acronyme.Text().endsWith(sens))
            etat.SkipWithError("the last entry was not shown");
    }
}

void BM_RechercheTout(benchmark::State& etat)
{
    ecrireCatalogue(int(etat.range(1)));
    Listora& f = fenetre();
    CONSTANT::Liste_A_Recharger = 3;
    cliquer(f.CMD_Acronyme.bouton());
    f.CMD_Recherche_Click();
    Recherche* recherche = f.recherche();
    recherche->TXT_recherche.setText(QStringLiteral("catalogue"));
    jusquAuRepos();
    const QString attendue =
        QStringLiteral("Acronymes (%1) --- Recherche Activée").arg(chargees(int(etat.range(1))));
    for (auto _ : etat) {
        preparerFichier(etat);
        cliquer(recherche->CMD_Recherche.bouton());
        if (f.FRM_Type.Caption() != attendue)
            etat.SkipWithError("the search missed entries");
    }
    recherche->CMD_Abandon_Click();
    jusquAuRepos();
}

} // namespace

// {saved a moment ago, shape}: every benchmark on both states of the
// ordinary file, then on the three other shapes.
void formes(benchmark::internal::Benchmark* b)
{
    b->Args({0, EnOrdre})->Args({1, EnOrdre});
    for (int forme :
         {NotesPuisALEnvers, MeleesAvecDesLignesEnTrop, EnteteRepete, FinsCr, EnteteLongRepete})
        b->Args({0, forme});
    b->Unit(benchmark::kMillisecond)->MinTime(2.0);
}

// The same, and a press on the shipped catalogue, whose terms are not the
// generated ones a selection or a search looks for.
void formesEtFichierLivre(benchmark::internal::Benchmark* b)
{
    formes(b);
    b->Args({0, FichierLivre});
}

BENCHMARK(BM_Etalon)->Apply(formesEtFichierLivre);
BENCHMARK(BM_Appui)->Apply(formesEtFichierLivre);
BENCHMARK(BM_AppuiDoublons)->Apply(formesEtFichierLivre);
BENCHMARK(BM_DerniereEntree)->Apply(formes);
BENCHMARK(BM_RechercheTout)->Apply(formes);

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
