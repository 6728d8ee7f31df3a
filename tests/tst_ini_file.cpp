// Reading the file from disk: absent and odd paths, and edits made between
// two reads, which the second read must see.
#include "catalogue/ini_file.h"

#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

void ecrire(const std::string& chemin, const std::string& octets)
{
    // Rewrites in place: same inode, as an editor saving over the file does.
    FILE* f = std::fopen(chemin.c_str(), "wb");
    QVERIFY(f != nullptr);
    QCOMPARE(std::fwrite(octets.data(), 1, octets.size(), f), octets.size());
    QCOMPARE(std::fclose(f), 0);
}

void dater(const std::string& chemin, timespec quand)
{
    const timespec dates[2] = {quand, quand};
    QCOMPARE(::utimensat(AT_FDCWD, chemin.c_str(), dates, 0), 0);
}

timespec dateDe(const std::string& chemin)
{
    struct stat etat {
    };
    ::stat(chemin.c_str(), &etat);
    return etat.st_mtim;
}

timespec ilYA(int secondes)
{
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    t.tv_sec -= secondes;
    return t;
}

QString lire(ini::CacheFichier& cache, const std::string& chemin, std::u16string_view cle = u"K")
{
    char16_t tampon[200];
    const int n = ini::lireValeur(cache, chemin, u"S", cle, u"", tampon, 200);
    return QString::fromUtf16(tampon, n);
}

} // namespace

class TstIniFile : public QObject
{
    Q_OBJECT
    QTemporaryDir dossier;
    std::string chemin(const char* nom) { return dossier.filePath(nom).toStdString(); }

private slots:
    void initTestCase() { QVERIFY(dossier.isValid()); }

    void pathsThatAreNoReadableFileReadAsAbsent_data()
    {
        QTest::addColumn<QString>("quoi");
        QTest::newRow("missing") << "missing";
        QTest::newRow("directory") << "directory";
        QTest::newRow("FIFO, which must not block") << "fifo";
        QTest::newRow("dangling symbolic link") << "link";
        QTest::newRow("larger than the limit") << "huge";
    }
    void pathsThatAreNoReadableFileReadAsAbsent()
    {
        QFETCH(QString, quoi);
        const std::string p = chemin(qPrintable("absent-" + quoi));
        if (quoi == "directory")
            QCOMPARE(::mkdir(p.c_str(), 0700), 0);
        else if (quoi == "fifo")
            QCOMPARE(::mkfifo(p.c_str(), 0600), 0);
        else if (quoi == "link")
            QCOMPARE(::symlink((p + "-nowhere").c_str(), p.c_str()), 0);
        else if (quoi == "huge") {
            ecrire(p, "[S]\nK=v\n");
            QCOMPARE(::truncate(p.c_str(), ini::TailleMaximale + 1), 0); // sparse
        }

        ini::CacheFichier cache;
        QVERIFY(cache.document(p) == nullptr);
        char16_t tampon[200];
        QCOMPARE(ini::lireValeur(cache, p, u"S", u"K", u"dflt", tampon, 200), 4);
        QCOMPARE(ini::lireValeur(cache, p, u"S", u"K", u"", tampon, 200), 0);
        QCOMPARE(ini::lireSection(cache, p, u"S", tampon, 200), 0);
    }

    void unreadableFileReadsAsAbsent()
    {
        if (::geteuid() == 0)
            QSKIP("permissions do not stop root");
        const std::string p = chemin("unreadable");
        ecrire(p, "[S]\nK=v\n");
        QCOMPARE(::chmod(p.c_str(), 0), 0);
        ini::CacheFichier cache;
        QVERIFY(cache.document(p) == nullptr);
    }

    void editBetweenTwoReadsIsSeen_data()
    {
        QTest::addColumn<QString>("edition");
        QTest::newRow("same size, rewritten in place, later date") << "later";
        QTest::newRow("same size and date, replaced by another file") << "rename";
        QTest::newRow("same size, rewritten within the same timestamp") << "same-tick";
        QTest::newRow("grown") << "grown";
        QTest::newRow("removed") << "removed";
    }
    void editBetweenTwoReadsIsSeen()
    {
        QFETCH(QString, edition);
        const std::string p = chemin(qPrintable("edit-" + edition));
        ecrire(p, "[S]\nK=before\n");
        if (edition != "same-tick")
            dater(p, ilYA(3600));
        const timespec premiereDate = dateDe(p);

        ini::CacheFichier cache;
        QCOMPARE(lire(cache, p), "before");

        if (edition == "later") {
            ecrire(p, "[S]\nK=after!\n");
            dater(p, ilYA(1800));
        } else if (edition == "rename") {
            ecrire(p + ".new", "[S]\nK=after!\n");
            dater(p + ".new", premiereDate);
            QCOMPARE(std::rename((p + ".new").c_str(), p.c_str()), 0);
        } else if (edition == "same-tick") {
            // What a quick second save can leave: nothing that stat() shows
            // differs but the content (the change time moves with the
            // clock's ticks too, so the test pins the modification time).
            ecrire(p, "[S]\nK=after!\n");
            dater(p, premiereDate);
        } else if (edition == "grown") {
            ecrire(p, "[S]\nK=after!\nL=more\n");
            dater(p, premiereDate);
        } else if (edition == "removed") {
            QCOMPARE(std::remove(p.c_str()), 0);
        }
        QCOMPARE(lire(cache, p), edition == "removed" ? "" : "after!");
    }

    void unchangedFileIsParsedOnce()
    {
        const std::string p = chemin("unchanged");
        ecrire(p, "[S]\nK=v\n");
        dater(p, ilYA(3600));
        ini::CacheFichier cache;
        for (int i = 0; i < 5; ++i)
            QCOMPARE(lire(cache, p), "v");
        QCOMPARE(cache.nombreAnalyses(), 1u);

        // A new date on the same bytes is checked, not parsed again.
        dater(p, ilYA(60));
        QCOMPARE(lire(cache, p), "v");
        QCOMPARE(cache.nombreAnalyses(), 1u);
    }

    void fileThatComesBackIsReadAgain()
    {
        const std::string p = chemin("comes-back");
        ini::CacheFichier cache;
        QCOMPARE(lire(cache, p), "");
        ecrire(p, "[S]\nK=here\n");
        QCOMPARE(lire(cache, p), "here");
    }

    void eachPathIsReadFromItsOwnFile()
    {
        const std::string a = chemin("first"), b = chemin("second");
        ecrire(a, "[S]\nK=a\n");
        ecrire(b, "[S]\nK=b\n");
        ini::CacheFichier cache;
        QCOMPARE(lire(cache, a), "a");
        QCOMPARE(lire(cache, b), "b");
        QCOMPARE(lire(cache, a), "a");
    }
};

QTEST_GUILESS_MAIN(TstIniFile)
#include "tst_ini_file.moc"
