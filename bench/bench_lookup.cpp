// listora-cherche as a user waits for it: from starting the command to its
// exit, a new process each run, on the shipped catalogue, against
// `grep -i TEXTE LISTORA.DAT` on the same file, the yardstick a practitioner
// would reach for. Their output goes to /dev/null, as a pipe's would.
//
//     bench_lookup --benchmark_counters_tabular=true
//
// "pic_Mo" is the peak resident memory of one run (the child's maxrss).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <string>
#include <vector>

extern char** environ;

namespace
{

const char* const Fichier = LISTORA_SOURCE_DIR "/data/LISTORA.DAT";

// The texts people type: a port name, a port number, an extension, an
// acronym, and a word that thousands of lines hold.
const char* const Textes[] = {"rdp", "443", ".docx", "JWT", "protocol"};

void lancer(benchmark::State& etat, std::vector<std::string> arguments, int statutAttendu)
{
    std::vector<char*> argv;
    for (std::string& a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    long picKo = 0;
    for (auto _ : etat) {
        pid_t enfant = 0;
        if (::posix_spawn(&enfant, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            etat.SkipWithError("the command could not be started");
            break;
        }
        int statut = 0;
        rusage usage{};
        ::wait4(enfant, &statut, 0, &usage);
        if (!WIFEXITED(statut) || WEXITSTATUS(statut) != statutAttendu) {
            etat.SkipWithError("the command did not find the text");
            break;
        }
        picKo = std::max(picKo, usage.ru_maxrss);
    }
    ::posix_spawn_file_actions_destroy(&actions);
    etat.counters["pic_Mo"] = static_cast<double>(picKo) / 1024.0;
}

void BM_Cherche(benchmark::State& etat)
{
    lancer(etat, {LISTORA_CHERCHE, "--fichier", Fichier, Textes[etat.range(0)]}, 0);
    etat.SetLabel(Textes[etat.range(0)]);
}

void BM_GrepI(benchmark::State& etat)
{
    lancer(etat, {"/usr/bin/grep", "-i", Textes[etat.range(0)], Fichier}, 0);
    etat.SetLabel(Textes[etat.range(0)]);
}

} // namespace

BENCHMARK(BM_GrepI)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Cherche)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
