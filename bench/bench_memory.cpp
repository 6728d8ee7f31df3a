// Peak resident memory of the whole program with the three catalogues loaded
// at 32,767 entries each, through the real buttons of the main window, on
// the offscreen platform, from a UTF-8 file as the shipped one. The budget is
// 50 MB, and a growth over the window alone of at most twice the file's size.
//
//     bench_memory [--benchmark_counters_tabular=true] [ENCODING] [60]
//
// ENCODING is utf-8 (the default), windows-1252 or utf-16le (with its mark);
// with 60, each acronym's meaning is lengthened so that the file holds about
// 60 MiB, just under the largest the program reads: then only the growth's
// budget applies.
// "avant_Mo" is the peak once the window is shown, "pic_Mo" the peak after
// the three loads (the kernel's VmHWM, so nothing in between escapes it),
// "par_entree_o" what each loaded entry cost on top of the window,
// "croissance_x" the growth as a multiple of the file's size. One run
// only: a second load of a loaded list does not read the file again, and
// the peak of a process never goes down.
#include "app/listora.h"

#include <QApplication>
#include <QListView>
#include <QPushButton>
#include <QStringEncoder>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{

namespace fs = std::filesystem;

constexpr int Entrees = 32767;
constexpr double BudgetMo = 50.0;

// The kernel's high-water mark of resident memory, in kB; 0 when unknown.
long picResidentKo()
{
    std::ifstream status("/proc/self/status");
    std::string ligne;
    while (std::getline(status, ligne))
        if (ligne.rfind("VmHWM:", 0) == 0)
            return std::strtol(ligne.c_str() + 6, nullptr, 10);
    return 0;
}

std::string encodage = "utf-8";
bool grand = false;

// Values of the lengths real entries have, each term distinct; with `grand`,
// long meanings.
void ecrireCatalogues(const fs::path& fichier)
{
    std::ostringstream f;
    f << "[IP-PORTS]\n";
    for (int i = 1; i <= Entrees; ++i)
        f << "PROTO" << i << "=service-" << i << ",TCP," << i << ",TCP,1024-65535,Service réseau "
          << i << " de l'annuaire\n";
    f << "[ACRONYMES]\n";
    for (int i = 1; i <= Entrees; ++i)
        f << "ACRO" << i << "=ACR" << i << ",Signification de l'acronyme numéro " << i << "\n";
    f << "[MIME-TYPES]\n";
    for (int i = 1; i <= Entrees; ++i)
        f << "MIME" << i << "=application/x-type-" << i << ",Document de type " << i << " (ext" << i
          << ")\n";
    std::string texte = f.str();
    const int octetsParCaractere = encodage == "utf-16le" ? 2 : 1;
    if (grand) {
        const size_t ajout = ((60u << 20) / octetsParCaractere - texte.size()) / Entrees;
        const std::string suite = " " + std::string(ajout - 1, 'x');
        for (size_t p = texte.find("numéro "); p != std::string::npos; p = texte.find("numéro ", p))
            p = texte.insert(texte.find('\n', p), suite).find('\n', p) + 1;
    }
    const QString unicode = QString::fromStdString(texte);
    QByteArray octets = unicode.toUtf8();
    if (encodage == "windows-1252")
        octets = unicode.toLatin1(); // the same bytes for these characters
    if (encodage == "utf-16le")
        octets =
            QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom)(unicode);
    std::ofstream(fichier, std::ios::binary).write(octets.constData(), octets.size());
}

// A file saved an hour ago, as a user's file is when the program starts.
// Its change time cannot be set back: the run waits until it is old enough
// for the reading layer to trust the file's dates (it reads a file changed a
// moment ago again at every key, which is not the steady state measured).
void vieillir(const fs::path& fichier)
{
    timespec heure{};
    clock_gettime(CLOCK_REALTIME, &heure);
    heure.tv_sec -= 3600;
    const timespec dates[2] = {heure, heure};
    ::utimensat(AT_FDCWD, fichier.c_str(), dates, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
}

void cliquer(Listora& fenetre, const char* bouton)
{
    fenetre.findChild<QPushButton*>(QString::fromLatin1(bouton))->click();
}

int entreesDans(Listora& fenetre, const char* liste)
{
    return fenetre.findChild<QListView*>(QString::fromLatin1(liste))->model()->rowCount();
}

void BM_TroisCataloguesCharges(benchmark::State& etat)
{
    for (auto _ : etat) {
        Listora fenetre;
        fenetre.Form_Load();
        fenetre.Me.Show();
        fenetre.Timer1.setEnabled(false);
        QApplication::processEvents();
        const long avant = picResidentKo();
        cliquer(fenetre, "CMD_IpPort");
        cliquer(fenetre, "CMD_Acronyme");
        cliquer(fenetre, "CMD_MIMEType");
        QApplication::processEvents();
        const long apres = picResidentKo();

        const int chargees = entreesDans(fenetre, "LST_Liste") +
                             entreesDans(fenetre, "LST_Liste1") +
                             entreesDans(fenetre, "LSt_Liste2");
        etat.counters["avant_Mo"] = avant / 1024.0;
        etat.counters["pic_Mo"] = apres / 1024.0;
        etat.counters["par_entree_o"] = chargees > 0 ? (apres - avant) * 1024.0 / chargees : 0.0;
        etat.counters["entrees"] = chargees;
        const double fichierMo = static_cast<double>(fs::file_size("LISTORA.DAT")) / (1 << 20);
        const double croissance = (apres - avant) / 1024.0 / fichierMo;
        etat.counters["croissance_x"] = croissance;
        // Counters are dropped with an error: the figures go to stderr too.
        std::fprintf(stderr, "entries %d, peak before %.1f MB, after %.1f MB, file %.2f MB\n",
                     chargees, avant / 1024.0, apres / 1024.0, fichierMo);
        if (chargees != 3 * Entrees)
            etat.SkipWithError("the three lists do not hold every entry");
        else if (!grand && apres / 1024.0 > BudgetMo)
            etat.SkipWithError("peak resident memory over the 50 MB budget");
        else if (croissance > 2.0)
            etat.SkipWithError("memory grew by more than twice the file's size");
    }
}

} // namespace

BENCHMARK(BM_TroisCataloguesCharges)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && argv[argc - 1] == std::string("60"))
        grand = true, --argc;
    if (argc > 1 && argv[argc - 1][0] != '-')
        encodage = argv[--argc];

    std::string modele = (fs::temp_directory_path() / "listora-memoire-XXXXXX").string();
    if (::mkdtemp(modele.data()) == nullptr)
        return 1;
    const fs::path dossier(modele);
    // Written by a child, so that the copies made to write it do not count in
    // this process's peak.
    const pid_t enfant = ::fork();
    if (enfant == 0) {
        ecrireCatalogues(dossier / "LISTORA.DAT");
        std::_Exit(0);
    }
    int etat = 0;
    if (enfant < 0 || ::waitpid(enfant, &etat, 0) != enfant || etat != 0)
        return 1;
    vieillir(dossier / "LISTORA.DAT");

    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    const fs::path depart = fs::current_path();
    // The program reads LISTORA.DAT from its current directory.
    fs::current_path(dossier);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::current_path(depart);
    fs::remove_all(dossier);
    return 0;
}
