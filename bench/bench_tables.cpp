// What the two hand-written open-addressing tables buy over the library's:
// the duplicate check of a press (TermesVus, catalogue/loading.cpp) and the
// document's table of first headers (catalogue/ini_document.cpp), each
// against the same work done with QSet and std::unordered_set on the same
// bytes: the shipped file and hostile layouts.
//
//     bench_tables --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// "Appui" is a press of "&Acronymes" on a parsed document, with and without
// the check: their difference is what the hand-written table costs. The
// library rows add a set of the terms' capitals to the press without the
// check, which is what the table would become. "Entetes" parses a text
// (the document's whole construction, its table included) against the bare
// parse loop with each header name put in a library set.
#include "catalogue/catalogues.h"
#include "catalogue/ini_document.h"
#include "catalogue/loading.h"

#include <QSet>

#include <benchmark/benchmark.h>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unordered_set>

namespace
{

std::string shipped()
{
    std::ifstream f(LISTORA_SOURCE_DIR "/data/LISTORA.DAT", std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// 32,767 acronyms whose terms differ only at their end, LF or CR-only.
std::string acronymes(const char* fin)
{
    std::string o = std::string("[ACRONYMES]") + fin;
    for (int i = 1; i <= 32767; ++i)
        o += "ACRO" + std::to_string(i) + "=TERMECOMMUN" + std::to_string(i) + ",sens" + fin;
    return o;
}

// A header before every key, the same name each time, or each a new name.
std::string entetes(bool memeNom)
{
    std::string o;
    for (int i = 1; i <= 100000; ++i)
        o += "[" + (memeNom ? std::string("ACRONYMES") : "S" + std::to_string(i)) + "]\nK=v\n";
    return o;
}

std::string fichier(int64_t genre)
{
    switch (genre) {
    case 0:
        return shipped();
    case 1:
        return acronymes("\n");
    case 2:
        return acronymes("\r");
    case 3:
        return entetes(true);
    default:
        return entetes(false);
    }
}

const char* const Noms[] = {"livre", "32767 LF", "32767 CR", "en-tete repete",
                            "en-tetes distincts"};

void BM_Appui(benchmark::State& etat, int avecQuoi)
{
    auto doc = std::make_shared<const ini::Document>(fichier(etat.range(0)));
    for (auto _ : etat) {
        catalogue::Chargement c =
            catalogue::lireCatalogue(catalogue::Acronymes, avecQuoi == 1, doc);
        if (avecQuoi == 2) {
            QSet<QString> vus;
            for (qsizetype i = 0; i < c.termes.nombre(); ++i)
                vus.insert(catalogue::enCapitales(c.termes.terme(i).toString()));
            benchmark::DoNotOptimize(vus.size());
        } else if (avecQuoi == 3) {
            std::unordered_set<QString> vus;
            for (qsizetype i = 0; i < c.termes.nombre(); ++i)
                vus.insert(catalogue::enCapitales(c.termes.terme(i).toString()));
            benchmark::DoNotOptimize(vus.size());
        }
        benchmark::DoNotOptimize(c.termes.nombre());
    }
    etat.SetLabel(Noms[etat.range(0)]);
}

struct HachageNom {
    size_t operator()(ini::Nom n) const noexcept { return qHash(n, 7); }
};

void BM_Entetes(benchmark::State& etat, int avecQuoi)
{
    const std::string octets = fichier(etat.range(0));
    const ini::Document decode(octets);
    const std::string texte = decode.texte().utf8;
    for (auto _ : etat) {
        if (avecQuoi == 0) {
            ini::Document doc(texte);
            benchmark::DoNotOptimize(doc.texte().utf8.size());
            continue;
        }
        std::unordered_set<ini::Nom, HachageNom> vus;
        ini::pourChaqueLigne(texte, [&](const ini::Ligne& l) {
            if (l.genre == ini::Ligne::Genre::Entete)
                vus.insert(ini::Nom{l.nom});
        });
        benchmark::DoNotOptimize(vus.size());
    }
    etat.SetLabel(Noms[etat.range(0)]);
}

} // namespace

BENCHMARK_CAPTURE(BM_Appui, sans_verification, 0)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Appui, TermesVus, 1)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Appui, QSet, 2)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Appui, unordered_set, 3)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Entetes, Document, 0)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Entetes, unordered_set, 1)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
