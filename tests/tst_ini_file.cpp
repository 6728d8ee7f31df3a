// Reading the file from disk: an edit made between two reads is seen by the
// second, and an unchanged file is not parsed again.
#include "catalogue/ini_file.h"

#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <optional>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

timespec ilYA(int secondes)
{
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    t.tv_sec -= secondes;
    return t;
}

// Rewrites in place (same inode), as an editor saving over the file does,
// then dates the file, unless `quand` is empty.
void ecrire(const std::string& chemin, const QByteArray& octets,
            std::optional<timespec> quand = ilYA(3600))
{
    FILE* f = std::fopen(chemin.c_str(), "wb");
    QVERIFY(f && std::fwrite(octets.data(), 1, size_t(octets.size()), f) == size_t(octets.size()));
    QCOMPARE(std::fclose(f), 0);
    if (!quand)
        return;
    const timespec dates[2] = {*quand, *quand};
    QCOMPARE(::utimensat(AT_FDCWD, chemin.c_str(), dates, 0), 0);
}

QString lire(ini::CacheFichier& cache, const std::string& chemin)
{
    const auto document = cache.document(chemin);
    const ini::Section* s = document ? document->section("S") : nullptr;
    const auto valeur = s ? s->valeur("K") : std::nullopt;
    return valeur ? QString::fromUtf8(valeur->data(), qsizetype(valeur->size())) : QString();
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
        const timespec date = ilYA(nom.endsWith("just written") ? 0 : 3600);
        if (!avant.isEmpty())
            ecrire(p, avant, date);
        ini::CacheFichier cache;
        lire(cache, p); // parsed and kept
        if (apres.isEmpty()) {
            QCOMPARE(std::remove(p.c_str()), 0);
        } else if (nom.endsWith("new file")) {
            ecrire(nouveau, apres, date);
            QCOMPARE(std::rename(nouveau.c_str(), p.c_str()), 0);
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

    // An edit can leave size and dates exactly as they were: two saves in
    // one tick of a file system's clock, or, as here, a second write through
    // a shared mapping of the file, whose page is already marked changed. A
    // file read in the moment of its change must be read again until that
    // moment has passed, or such an edit is never seen.
    void editThatKeepsTheDatesIsSeen()
    {
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
    }
};

QTEST_GUILESS_MAIN(TstIniFile)
#include "tst_ini_file.moc"
