// Reading the file from disk: an edit made between two reads is seen by the
// second, and an unchanged file is not parsed again.
#include "catalogue/ini_file.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>
#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace
{

QDateTime ilYA(int secondes)
{
    return QDateTime::currentDateTimeUtc().addSecs(-secondes);
}

// Rewrites in place (same file), as an editor saving over the file does,
// then dates the file, unless `quand` is empty.
void ecrire(const std::string& chemin, const QByteArray& octets,
            std::optional<QDateTime> quand = ilYA(3600))
{
    QFile f(QString::fromStdString(chemin));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(octets), octets.size());
    f.close();
    if (!quand)
        return;
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(*quand, QFileDevice::FileModificationTime));
}

QString lire(ini::CacheFichier& cache, const std::string& chemin)
{
    const auto document = cache.document(chemin);
    const ini::Section* s = document ? document->section("S") : nullptr;
    const auto valeur = s ? s->valeur("K") : std::nullopt;
    return valeur ? QString::fromUtf8(valeur->data(), qsizetype(valeur->size())) : QString();
}

// A data file of 20,000 keys whose values are all `lettre`.
std::string version(char lettre)
{
    std::string octets = "[S]\n";
    for (int i = 1; i <= 20000; ++i) {
        // Piece by piece: GCC 12 at -O3 sees a false overlap in a chain of +.
        octets += 'K';
        octets += std::to_string(i);
        octets += '=';
        octets.append(20, lettre);
        octets += '\n';
    }
    return octets;
}

// What a document holds: the one letter of all its values, or a
// description of the mixture.
std::string contenu(const ini::Document& document)
{
    const ini::Section* s = document.section("S");
    std::string lettres;
    int valeurs = 0;
    if (s)
        ini::pourChaqueLigne(s->corps(), [&](const ini::Ligne& ligne) {
            if (ligne.genre != ini::Ligne::Genre::Cle)
                return;
            ++valeurs;
            for (char c : ligne.valeur)
                if (lettres.find(c) == std::string::npos)
                    lettres += c;
        });
    return valeurs == 20000 && lettres.size() == 1
               ? lettres
               : std::to_string(valeurs) + " values of " + lettres;
}

enum class Reecriture { SurPlace, Tronquee, EnMorceaux, Renommee };

void toutEcrire(QFile& f, std::string_view octets, size_t morceau)
{
    while (!octets.empty()) {
        const qint64 n = f.write(octets.data(), qint64(std::min(morceau, octets.size())));
        if (n <= 0)
            return;
        octets.remove_prefix(size_t(n));
    }
}

// Saves `octets` at `chemin` as an editor would, in one of four ways.
void reecrire(const std::string& chemin, const std::string& octets, Reecriture facon)
{
    if (facon == Reecriture::Renommee) {
        const std::string nouveau = chemin + ".new";
        QFile f(QString::fromStdString(nouveau));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            toutEcrire(f, octets, octets.size());
        f.close();
        // Replaces the file, as rename() does on POSIX and MoveFileEx with
        // MOVEFILE_REPLACE_EXISTING on Windows.
        std::error_code erreur;
        std::filesystem::rename(nouveau, chemin, erreur);
        return;
    }
    QFile f(QString::fromStdString(chemin));
    // Unbuffered: each piece reaches the file as a write of its own.
    const auto mode = facon == Reecriture::SurPlace ? QIODevice::ReadWrite
                                                    : QIODevice::WriteOnly | QIODevice::Truncate;
    if (f.open(mode | QIODevice::Unbuffered))
        toutEcrire(f, octets, facon == Reecriture::EnMorceaux ? 4096 : octets.size());
}

} // namespace

class TstIniFile : public QObject
{
    Q_OBJECT
    QTemporaryDir dossier;
    std::string chemin() { return dossier.filePath(QTest::currentDataTag()).toStdString(); }

private slots:
    // An edit between two reads is seen by the second; a file whose bytes
    // did not change is parsed once. Row names tell how: "same date" keeps the file's dates,
    // "just written" dates both saves now, "new file" replaces the file by a
    // rename.
    void editBetweenTwoReadsIsSeen_data()
    {
        QTest::addColumn<QByteArray>("avant"); // empty: no file
        QTest::addColumn<QByteArray>("apres"); // empty: removed
        QTest::addColumn<QString>("valeur");
        QTest::addColumn<int>("analyses");
        const auto row = [](const char* nom, const QByteArray& a, const QByteArray& b,
                            const QString& v, int n) { QTest::newRow(nom) << a << b << v << n; };
        const QByteArray avant = "[S]\nK=before\n", apres = "[S]\nK=after!\n";
        // Saved again without a change: read again, not parsed again.
        row("same bytes, later date", avant, avant, "before", 1);
        row("same size, later date", avant, apres, "after!", 2);
        // A quick second save can leave size and dates as they were: the
        // content must still be checked.
        row("same size, same date, new file", avant, apres, "after!", 2);
        row("same size, same date, just written", avant, apres, "after!", 2);
        row("removed", avant, {}, "", 1);
        row("created", {}, apres, "after!", 1);
    }
    void editBetweenTwoReadsIsSeen()
    {
        QFETCH(QByteArray, avant);
        QFETCH(QByteArray, apres);
        QFETCH(QString, valeur);
        QFETCH(int, analyses);
        const QString nom = QTest::currentDataTag();
        const std::string p = chemin(), nouveau = p + ".new", autre = p + ".other";
        const QDateTime date = ilYA(nom.endsWith("just written") ? 0 : 3600);
        if (!avant.isEmpty())
            ecrire(p, avant, date);
        ini::CacheFichier cache;
        lire(cache, p); // parsed and kept
        if (apres.isEmpty()) {
            QCOMPARE(std::remove(p.c_str()), 0);
        } else if (nom.endsWith("new file")) {
            ecrire(nouveau, apres, date);
            std::error_code erreur; // replaces the file, on Windows too
            std::filesystem::rename(nouveau, p, erreur);
            QVERIFY2(!erreur, erreur.message().c_str());
        } else {
            ecrire(p, apres, nom.contains("same date") ? date : ilYA(60));
        }
        QCOMPARE(lire(cache, p), valeur);
        QCOMPARE(cache.nombreAnalyses(), uint64_t(analyses));
        // Another path is another file, even in the same cache.
        ecrire(autre, "[S]\nK=w\n");
        QCOMPARE(lire(cache, autre), "w");
        QCOMPARE(lire(cache, p), valeur);
    }

    // A file rewritten while it is read, in each way editors save: every
    // version the cache gives is one of the two versions written whole,
    // never part of each, never cut short, never empty.
    void fileRewrittenWhileReadIsTakenWhole_data()
    {
        QTest::addColumn<int>("facon");
        QTest::newRow("overwritten in place") << int(Reecriture::SurPlace);
        QTest::newRow("truncated, then written") << int(Reecriture::Tronquee);
        QTest::newRow("truncated, then written in pieces") << int(Reecriture::EnMorceaux);
        QTest::newRow("renamed into place") << int(Reecriture::Renommee);
    }
    void fileRewrittenWhileReadIsTakenWhole()
    {
        QFETCH(int, facon);
        const std::string p = chemin();
        const std::string versions[2] = {version('A'), version('B')};
        reecrire(p, versions[0], Reecriture::Renommee);
        ini::CacheFichier cache;
        QVERIFY(cache.document(p));
        std::atomic<bool> fini = false;
        std::thread ecrivain([&] {
            for (int i = 1; !fini; ++i) {
                reecrire(p, versions[i % 2], Reecriture(facon));
                std::this_thread::sleep_for(std::chrono::milliseconds(i % 7 * 10));
            }
        });
        QStringList vues;
        for (int i = 0; i < 40; ++i) {
            const auto document = cache.document(p);
            vues << (document ? QString::fromStdString(contenu(*document)) : "nothing");
        }
        fini = true;
        ecrivain.join();
        vues.removeDuplicates();
        for (const QString& vue : vues)
            QVERIFY2(vue == "A" || vue == "B", qPrintable(vue));
    }

    // An edit can leave size and dates exactly as they were: two saves in
    // one tick of a file system's clock, or, as here, a second write through
    // a shared mapping of the file, whose page is already marked changed. A
    // file read in the moment of its change must be read again until that
    // moment has passed, or such an edit is never seen.
    void editThatKeepsTheDatesIsSeen()
    {
#ifdef Q_OS_WIN
        QSKIP("a shared mapping of a file is a POSIX call here");
#else
        const std::string p = dossier.filePath("mapping").toStdString();
        ecrire(p, "[S]\nK=before\n", std::nullopt);
        const int fd = ::open(p.c_str(), O_RDWR);
        QVERIFY(fd >= 0);
        auto* octets =
            static_cast<char*>(::mmap(nullptr, 13, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
        ::close(fd);
        QVERIFY(octets != MAP_FAILED);
        octets[6] = 'B'; // dates the file now
        ini::CacheFichier cache;
        struct stat avant, apres;
        QCOMPARE(::stat(p.c_str(), &avant), 0);
        QCOMPARE(lire(cache, p), "Before");
        octets[11] = 'E'; // the page is already changed: no new date
        QCOMPARE(::stat(p.c_str(), &apres), 0);
        ::munmap(octets, 13);
        if (apres.st_ctim.tv_nsec != avant.st_ctim.tv_nsec || apres.st_size != avant.st_size ||
            apres.st_mtim.tv_nsec != avant.st_mtim.tv_nsec)
            QSKIP("this system dated the second write");
        QCOMPARE(lire(cache, p), "BeforE");
#endif
    }
};

QTEST_GUILESS_MAIN(TstIniFile)
#include "tst_ini_file.moc"
