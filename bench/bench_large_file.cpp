// Time from a press of "&Acronymes" to its outcome on 50 MB data files, the
// whole program on the offscreen platform. The budget is 2 s a press.
//
//     bench_large_file --benchmark_counters_tabular=true
//
// Every press reads and parses the file afresh: the iterations alternate
// between two folders holding files of the same shape, so the reading layer
// never finds the previous file unchanged. Shapes:
//   - catalogues_et_archives: three small catalogues, then 50 MB of a section
//     nobody asks for (a huge export); the outcome is the list of 3 entries;
//   - acronymes_longs: 32,767 acronyms of 1,500 characters each; the outcome
//     is the full list;
//   - the same, saved a moment before the press;
//   - the same with CR-only line ends (the classic Mac format);
//   - entete_long_repete: a first header line made 40 MiB long by its
//     comment, 32,767 short acronyms, then the header written again
//     1,500,000 times (62 MB); the outcome is the full list;
//   - octets_aleatoires: 50 MB of random bytes; the outcome is the message.
#include "app/listora.h"
#include "scratch_folder.h"
#include "ui/msgbox.h"

#include <QApplication>
#include <QPushButton>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

namespace fs = std::filesystem;

constexpr size_t Taille = 50u << 20;

std::string cataloguesEtArchives(char variante)
{
    std::string o = "[IP-PORTS]\r\nPROTO1=http,TCP,80,TCP,1024-65535,Web\r\n"
                    "[ACRONYMES]\r\nACRO1=DNS,Domain Name System\r\nACRO2=IP,Internet Protocol\r\n"
                    "ACRO3=TCP,Transmission Control Protocol\r\n"
                    "[MIME-TYPES]\r\nMIME1=text/plain,Texte brut\r\n[ARCHIVES]\r\n";
    o.reserve(Taille + 2048);
    const std::string ligne = "=" + std::string(990, variante) + "\r\n";
    for (int i = 1; o.size() < Taille; ++i)
        o += "NOTE" + std::to_string(i) + ligne;
    return o;
}

std::string acronymesLongs(char variante)
{
    std::string o = "[ACRONYMES]\r\n";
    o.reserve(Taille + 2048);
    const std::string sens(1500, variante);
    for (int i = 1; i <= 32767; ++i)
        o += "ACRO" + std::to_string(i) + "=A" + std::to_string(i) + ",Sens " + sens + "\r\n";
    return o;
}

std::string acronymesLongsCr(char variante)
{
    std::string o = acronymesLongs(variante);
    size_t fin = 0;
    for (size_t i = 0; i < o.size(); ++i)
        if (!(o[i] == '\r' && i + 1 < o.size() && o[i + 1] == '\n'))
            o[fin++] = o[i];
    o.resize(fin);
    std::replace(o.begin(), o.end(), '\n', '\r');
    return o;
}

std::string enteteLongRepete(char variante)
{
    std::string o = "[ACRONYMES] ;" + std::string(40u << 20, variante) + "\n";
    for (int i = 1; i <= 32767; ++i)
        o += "ACRO" + std::to_string(i) + "=A" + std::to_string(i) + ",Sens " + variante + "\n";
    for (int i = 0; i < 1500000; ++i)
        o += "[ACRONYMES]\n";
    return o;
}

std::string octetsAleatoires(char variante)
{
    std::mt19937_64 hasard(static_cast<uint64_t>(variante));
    std::string o(Taille, '\0');
    for (size_t i = 0; i + 8 <= o.size(); i += 8) {
        const uint64_t x = hasard();
        std::memcpy(o.data() + i, &x, 8);
    }
    return o;
}

// Folders `<forme>/a` and `<forme>/b`, each holding a file of that shape,
// dated an hour back as a user's file is.
fs::path preparer(const std::string& forme, std::string (*fabrique)(char), char variante)
{
    const fs::path dossier = bench::dossierDeTravail() / forme / std::string(1, variante);
    const fs::path fichier = dossier / "LISTORA.DAT";
    if (!fs::exists(fichier)) {
        fs::create_directories(dossier);
        std::ofstream(fichier, std::ios::binary) << fabrique(variante);
        timespec heure{};
        clock_gettime(CLOCK_REALTIME, &heure);
        heure.tv_sec -= 3600;
        const timespec dates[2] = {heure, heure};
        ::utimensat(AT_FDCWD, fichier.c_str(), dates, 0);
    }
    return dossier;
}

// With `frais`, each file is dated now just before the press, as if the
// user had saved it a moment ago: the reading layer then cannot trust the
// file's dates and checks its content at every read for two seconds.
void presserAcronymes(benchmark::State& etat, const std::string& forme,
                      std::string (*fabrique)(char), int entrees, bool message, bool frais = false)
{
    const fs::path dossiers[2] = {preparer(forme, fabrique, 'a'), preparer(forme, fabrique, 'b')};
    const fs::path depart = fs::current_path();
    int tour = 0;
    double pire = 0;
    int boites = 0; // the boxes a press shows, answered at once
    const ui::InterceptionMsgBox avant =
        ui::intercepterMsgBox([&](const ui::MessageAffiche&) { ++boites; });
    for (auto _ : etat) {
        etat.PauseTiming();
        fs::current_path(dossiers[tour++ % 2]);
        if (frais)
            ::utimensat(AT_FDCWD, "LISTORA.DAT", nullptr, 0);
        auto fenetre = std::make_unique<Listora>();
        fenetre->Form_Load();
        fenetre->Timer1.setEnabled(false);
        boites = 0;
        auto* bouton = fenetre->findChild<QPushButton*>(QStringLiteral("CMD_Acronyme"));
        etat.ResumeTiming();

        const auto debut = std::chrono::steady_clock::now();
        bouton->click();
        const std::chrono::duration<double> duree = std::chrono::steady_clock::now() - debut;

        etat.PauseTiming();
        pire = std::max(pire, duree.count());
        if (fenetre->LST_Liste1.ListCount() != entrees || (boites > 0) != message)
            etat.SkipWithError("the press did not give the expected outcome");
        fenetre.reset();
        etat.ResumeTiming();
    }
    ui::intercepterMsgBox(avant);
    fs::current_path(depart);
    etat.counters["pire_s"] = pire;
    if (pire > 2.0)
        etat.SkipWithError("a press took more than 2 s");
}

void BM_CataloguesEtArchives(benchmark::State& etat)
{
    presserAcronymes(etat, "catalogues_et_archives", cataloguesEtArchives, 3, false);
}

void BM_AcronymesLongs(benchmark::State& etat)
{
    presserAcronymes(etat, "acronymes_longs", acronymesLongs, 32767, false);
}

void BM_AcronymesLongsEnregistresALInstant(benchmark::State& etat)
{
    presserAcronymes(etat, "acronymes_longs", acronymesLongs, 32767, false, true);
}

void BM_AcronymesLongsFinsCr(benchmark::State& etat)
{
    presserAcronymes(etat, "acronymes_longs_cr", acronymesLongsCr, 32767, false);
}

void BM_EnteteLongRepete(benchmark::State& etat)
{
    presserAcronymes(etat, "entete_long_repete", enteteLongRepete, 32767, false);
}

void BM_OctetsAleatoires(benchmark::State& etat)
{
    presserAcronymes(etat, "octets_aleatoires", octetsAleatoires, 0, true);
}

} // namespace

BENCHMARK(BM_CataloguesEtArchives)->Iterations(6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AcronymesLongs)->Iterations(6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AcronymesLongsEnregistresALInstant)->Iterations(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AcronymesLongsFinsCr)->Iterations(6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnteteLongRepete)->Iterations(6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OctetsAleatoires)->Iterations(6)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(bench::dossierDeTravail());
    return 0;
}
