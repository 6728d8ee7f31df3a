// A writer that rewrites LISTORA.DAT without pause, alternating two versions
// of 20,000 acronyms (every term of one starts with A, of the other with B),
// in each of the four ways editors save: in place at once, in place in
// 64 KiB pieces, truncated then written, written new then renamed over.
// Meanwhile 100 presses of "&Acronymes" on a fresh window and 100 reads of
// the checker's reader count the versions they got: whole, none (the file
// read as absent or never holding still) or mixed, the target being 0 mixed.
// A soak, not a test: its counts depend on the machine's timing.
//
//     bench_writer_soak [PRESSES]
#include "app/listora.h"
#include "catalogue/ini_file.h"
#include "scratch_folder.h"
#include "ui/msgbox.h"

#include <QApplication>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

constexpr int Entrees = 20000;
const char* const Manieres[] = {"in place", "in place, in pieces", "truncated then written",
                                "new file renamed over"};

std::string version(char lettre)
{
    std::string o = "[ACRONYMES]\n";
    char ligne[64];
    for (int i = 1; i <= Entrees; ++i)
        o.append(ligne, size_t(std::snprintf(ligne, sizeof ligne, "ACRO%d=%c%05d,sens %c\n", i,
                                             lettre, i, lettre)));
    return o;
}

void ecrireTout(int fd, const std::string& o, size_t morceau)
{
    for (size_t fait = 0; fait < o.size();) {
        const ssize_t n = ::write(fd, o.data() + fait, std::min(morceau, o.size() - fait));
        if (n <= 0)
            return;
        fait += size_t(n);
    }
}

// The writer, until it is killed.
[[noreturn]] void ecrire(int maniere)
{
    const std::string versions[2] = {version('A'), version('B')};
    for (unsigned tour = 0;; ++tour) {
        const std::string& o = versions[tour % 2];
        if (maniere == 3) {
            const int fd = ::open("LISTORA.DAT.tmp", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ecrireTout(fd, o, o.size());
            ::close(fd);
            ::rename("LISTORA.DAT.tmp", "LISTORA.DAT");
            continue;
        }
        const int fd = ::open("LISTORA.DAT", O_WRONLY | (maniere == 2 ? O_TRUNC : 0));
        ecrireTout(fd, o, maniere == 1 ? 64 * 1024 : o.size());
        ::close(fd);
    }
}

// 'A' or 'B' for a whole version, 0 for none, 'M' for a mixed or cut one.
char quelleVersion(const QStringList& termes)
{
    if (termes.isEmpty())
        return 0;
    const QChar premiere = termes.first().front();
    for (const QString& t : termes)
        if (t.front() != premiere)
            return 'M';
    return termes.size() == Entrees ? char(premiere.unicode()) : 'M';
}

char presser()
{
    Listora fenetre;
    fenetre.Form_Load();
    fenetre.Timer1.setEnabled(false);
    fenetre.CMD_Acronyme_Click();
    QStringList termes;
    for (int i = 0; i < fenetre.LST_Liste1.ListCount(); ++i)
        termes << fenetre.LST_Liste1.List(i);
    return quelleVersion(termes);
}

char lire()
{
    const ini::Lecture lu = ini::lireFichier("LISTORA.DAT");
    if (lu.echec != ini::Lecture::Echec::Aucun)
        return 0;
    if (lu.octets == version('A'))
        return 'A';
    return lu.octets == version('B') ? 'B' : 'M';
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int essais = argc > 1 ? std::atoi(argv[1]) : 100;
    const auto depart = std::filesystem::current_path();
    std::filesystem::current_path(bench::dossierDeTravail());
    ui::intercepterMsgBox([](const ui::MessageAffiche&) {});
    int mixtes = 0;
    for (int maniere = 0; maniere < 4; ++maniere) {
        const std::string premiere = version('A');
        const int fd = ::open("LISTORA.DAT", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ecrireTout(fd, premiere, premiere.size());
        ::close(fd);
        const pid_t ecrivain = ::fork();
        if (ecrivain == 0)
            ecrire(maniere);
        int appuis[3] = {}, lectures[3] = {}; // whole, none, mixed
        const auto compter = [](int* c, char v) { ++c[v == 0 ? 1 : v == 'M' ? 2 : 0]; };
        for (int i = 0; i < essais; ++i) {
            compter(appuis, presser());
            compter(lectures, lire());
        }
        ::kill(ecrivain, SIGKILL);
        ::waitpid(ecrivain, nullptr, 0);
        mixtes += appuis[2] + lectures[2];
        std::printf("%-24s presses: %d whole, %d none, %d mixed; reads: %d whole, %d none, %d "
                    "mixed\n",
                    Manieres[maniere], appuis[0], appuis[1], appuis[2], lectures[0], lectures[1],
                    lectures[2]);
    }
    std::filesystem::current_path(depart);
    std::filesystem::remove_all(bench::dossierDeTravail());
    return mixtes == 0 ? 0 : 1;
}
