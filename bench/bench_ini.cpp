// Cost of reading the data file on generated catalogues of 1,000 and 32,767
// values of about 60 characters, the file unchanged between reads.
//
//     bench_ini --benchmark_counters_tabular=true
//
// The walk reads keys 1 to n as loading, display and search do, checking the
// file at its first key only; the section read is a single read, checking the
// path with a stat() as every read outside a walk does;
// "Analyse" reads and parses the whole file, which is what the first key of a
// pass costs when the file changed.
#include "catalogue/constant.h"
#include "catalogue/data_file.h"
#include "catalogue/ini_document.h"
#include "catalogue/key_walk.h"
#include "scratch_folder.h"

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
// this instant is read again at each check until its date is safely past,
// which is not the steady state this measures.
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
        catalogue::Passe passe(catalogue::Acronymes, versionFichier(Chemin_Fichier()));
        int lus = 0;
        while (passe.suivante())
            ++lus;
        if (lus != n)
            etat.SkipWithError("the walk did not read every key");
    }
    etat.counters["par_cle"] =
        benchmark::Counter(static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}

void BM_Section(benchmark::State& etat)
{
    allerVers(static_cast<int>(etat.range(0)));
    for (auto _ : etat)
        benchmark::DoNotOptimize(Lire_Section(versionFichier(Chemin_Fichier()).get(), "ACRONYMES"));
}

std::string octetsDu(const fs::path& chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    std::ostringstream o;
    o << f.rdbuf();
    return o.str();
}

void BM_Analyse(benchmark::State& etat)
{
    allerVers(static_cast<int>(etat.range(0)));
    for (auto _ : etat)
        benchmark::DoNotOptimize(ini::Document(octetsDu("LISTORA.DAT")).texte().utf8.size());
}

} // namespace

BENCHMARK(BM_Parcours)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Section)->Arg(1000)->Arg(32767)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Analyse)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);

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
