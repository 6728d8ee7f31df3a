// Start-up as a user waits for it: from starting the program to its main
// window shown and painted, each run a new process on the offscreen
// platform, as the program's own main() starts it.
//
//     bench_startup --benchmark_counters_tabular=true
//
// "pic_Mo" is the peak resident memory of one start (the child's maxrss).
// The data file is not read at start-up, so none is needed.
#include "app/listora.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstring>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace
{

// The child: what main() does, then quits once the window is painted.
int demarrer(int argc, char** argv)
{
    QApplication application(argc, argv);
    Listora fenetre;
    fenetre.Form_Load();
    fenetre.Me.Show();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return 0;
}

void BM_Demarrage(benchmark::State& etat)
{
    char* arguments[] = {const_cast<char*>("/proc/self/exe"), const_cast<char*>("--demarrer"),
                         nullptr};
    long picKo = 0;
    for (auto _ : etat) {
        pid_t enfant = 0;
        if (::posix_spawn(&enfant, arguments[0], nullptr, nullptr, arguments, environ) != 0) {
            etat.SkipWithError("the program could not be started");
            return;
        }
        int statut = 0;
        rusage usage{};
        ::wait4(enfant, &statut, 0, &usage);
        if (!WIFEXITED(statut) || WEXITSTATUS(statut) != 0) {
            etat.SkipWithError("the program did not start");
            return;
        }
        picKo = std::max(picKo, usage.ru_maxrss);
    }
    etat.counters["pic_Mo"] = static_cast<double>(picKo) / 1024.0;
}

} // namespace

BENCHMARK(BM_Demarrage)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && std::strcmp(argv[1], "--demarrer") == 0)
        return demarrer(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
