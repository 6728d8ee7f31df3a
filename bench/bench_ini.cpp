// Cost of reading the data file on generated catalogues of 1,000 and 32,767
// values of about 60 characters, the file unchanged between reads.
//
//     bench_ini --benchmark_counters_tabular=true
//
// The walk reads keys 1 to n as loading, display and search do, its reads
// after the first checking the file through change notifications; the
// document walk does it on the parsed file alone; "Lire_Cle" reads the same
// keys through the QString entry point, each one checking the path with a
// stat() as every read outside a walk does; the last key and the section read
// are single reads; the yardstick reads and decodes the whole
// file once, which is what a read would cost without the parsed file kept.
#include "bench/dossier_bench.h"
#include "catalogue/constant.h"
#include "catalogue/data_file.h"
#include "catalogue/ini_decode.h"
#include "catalogue/ini_document.h"
#include "catalogue/key_walk.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

namespace fs = std::filesystem;

std::string valeur(int numero)
{
    // About 60 characters, with a French accent or two as real data has.
    std::string v = "TERME" + std::to_string(numero) + ",Signification num\xE9ro " +
                    std::to_string(numero) + " du catalogue g\xE9n\xE9r\xE9";
    v.resize(60, '.');
    return v;
}

// Makes the folder holding a catalogue of n acronyms the current directory,
// writing it the first time. The file is dated an hour back: a file saved
// this instant is compared byte for byte at each read until its date is
// safely past, which is not the steady state this measures.
void allerVers(int n)
{
    const fs::path dossier = bench::dossierDeTravail() / std::to_string(n);
    if (!fs::exists(dossier / "LISTORA.DAT")) {
        fs::create_directories(dossier);
        std::ofstream f(dossier / "LISTORA.DAT", std::ios::binary);
        f << "[ACRONYMES]\r\n";
        for (int i = 1; i <= n; ++i)
            f << "ACRO" << i << '=' << valeur(i) << "\r\n";
        f.close();
        timespec heure{};
        clock_gettime(CLOCK_REALTIME, &heure);
        heure.tv_sec -= 3600;
        const timespec dates[2] = {heure, heure};
        ::utimensat(AT_FDCWD, (dossier / "LISTORA.DAT").c_str(), dates, 0);
    }
    fs::current_path(dossier);
}

void BM_Parcours(benchmark::State& etat)
{
    const int n = static_cast<int>(etat.range(0));
    allerVers(n);
    for (auto _ : etat) {
        Debut_Passe();
        int lus = 0;
        while (Cle_Suivante(catalogue::Acronymes))
            ++lus;
        if (lus != n)
            etat.SkipWithError("the walk did not read every key");
    }
    etat.counters["par_cle"] =
        benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}

// The same walk on the parsed document alone, without the path built and
// the file checked at each key: what the reads cost beyond those two
// system calls.
void BM_ParcoursDocument(benchmark::State& etat)
{
    const int n = static_cast<int>(etat.range(0));
    allerVers(n);
    std::ifstream f("LISTORA.DAT", std::ios::binary);
    std::ostringstream o;
    o << f.rdbuf();
    const auto document = ini::Document::depuisOctets(o.str());
    char16_t tampon[200];
    for (auto _ : etat) {
        for (int i = 1; i <= n; ++i) {
            std::u16string cle = u"ACRO";
            for (char c : std::to_string(i))
                cle.push_back(static_cast<char16_t>(c));
            if (document->lireValeur(u"ACRONYMES", cle, u"", tampon, 200) == 0)
                etat.SkipWithError("a key was missing");
        }
    }
}

void BM_LireCle(benchmark::State& etat)
{
    const int n = static_cast<int>(etat.range(0));
    allerVers(n);
    QString Tampon;
    for (auto _ : etat) {
        for (int i = 1; i <= n; ++i) {
            const QString cle = QStringLiteral("ACRO") + QString::number(i);
            if (Lire_Cle("ACRONYMES", cle, QString(), Tampon, 200, Chemin_Fichier()) == 0)
                etat.SkipWithError("a key was missing");
        }
    }
}

void BM_DerniereCle(benchmark::State& etat)
{
    const int n = static_cast<int>(etat.range(0));
    allerVers(n);
    const QString cle = QStringLiteral("ACRO") + QString::number(n);
    QString Tampon;
    for (auto _ : etat)
        benchmark::DoNotOptimize(
            Lire_Cle("ACRONYMES", cle, QString(), Tampon, 200, Chemin_Fichier()));
}

void BM_Section(benchmark::State& etat)
{
    allerVers(static_cast<int>(etat.range(0)));
    QString Tampon;
    for (auto _ : etat)
        benchmark::DoNotOptimize(Lire_Section("ACRONYMES", Tampon, 200, Chemin_Fichier()));
}

std::string octetsDu(const fs::path& chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    std::ostringstream o;
    o << f.rdbuf();
    return o.str();
}

void BM_LectureDecodage(benchmark::State& etat)
{
    allerVers(static_cast<int>(etat.range(0)));
    for (auto _ : etat)
        benchmark::DoNotOptimize(ini::decoder(octetsDu("LISTORA.DAT")));
}

void BM_LectureAnalyse(benchmark::State& etat)
{
    allerVers(static_cast<int>(etat.range(0)));
    for (auto _ : etat)
        benchmark::DoNotOptimize(ini::Document::depuisOctets(octetsDu("LISTORA.DAT")));
}

} // namespace

BENCHMARK(BM_Parcours)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParcoursDocument)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LireCle)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DerniereCle)->Arg(1000)->Arg(32767)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Section)->Arg(1000)->Arg(32767)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LectureDecodage)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LectureAnalyse)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const fs::path depart = fs::current_path();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::current_path(depart);
    fs::remove_all(bench::dossierDeTravail());
    return 0;
}
