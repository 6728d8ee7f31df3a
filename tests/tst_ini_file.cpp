// Reading the file from disk: paths that are no readable file, and edits
// made between two reads, which the second read must see.
#include "catalogue/ini_file.h"

#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <unistd.h>

namespace
{

// Rewrites in place (same inode), as an editor saving over the file does.
void ecrire(const std::string& chemin, const std::string& octets)
{
    FILE* f = std::fopen(chemin.c_str(), "wb");
    QVERIFY(f && std::fwrite(octets.data(), 1, octets.size(), f) == octets.size());
    QCOMPARE(std::fclose(f), 0);
}

void dater(const std::string& chemin, timespec quand)
{
    const timespec dates[2] = {quand, quand};
    QCOMPARE(::utimensat(AT_FDCWD, chemin.c_str(), dates, 0), 0);
}

timespec ilYA(int secondes)
{
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    t.tv_sec -= secondes;
    return t;
}

QString lire(ini::CacheFichier& cache, const std::string& chemin)
{
    char16_t tampon[200];
    return QString::fromUtf16(tampon, ini::lireValeur(cache, chemin, u"S", u"K", u"", tampon, 200));
}

} // namespace

class TstIniFile : public QObject
{
    Q_OBJECT
    QTemporaryDir dossier;
    std::string chemin(const QString& nom) { return dossier.filePath(nom).toStdString(); }

private slots:
    void pathsThatAreNoReadableFileReadAsAbsent_data()
    {
        QTest::addColumn<QString>("quoi");
        for (const char* quoi : {"missing", "directory", "fifo", "dangling link", "too large"})
            QTest::newRow(quoi) << quoi;
    }
    void pathsThatAreNoReadableFileReadAsAbsent()
    {
        QFETCH(QString, quoi);
        const std::string p = chemin(quoi);
        if (quoi == "directory")
            QCOMPARE(::mkdir(p.c_str(), 0700), 0);
        else if (quoi == "fifo") // opening it for reading would block
            QCOMPARE(::mkfifo(p.c_str(), 0600), 0);
        else if (quoi == "dangling link")
            QCOMPARE(::symlink((p + "-nowhere").c_str(), p.c_str()), 0);
        else if (quoi == "too large") {
            ecrire(p, "[S]\nK=v\n");
            QCOMPARE(::truncate(p.c_str(), ini::TailleMaximale + 1), 0); // sparse
        }
        ini::CacheFichier cache;
        QVERIFY(cache.document(p) == nullptr);
        char16_t tampon[200];
        QCOMPARE(ini::lireValeur(cache, p, u"S", u"K", u"dflt", tampon, 200), 4);
        QCOMPARE(ini::lireSection(cache, p, u"S", tampon, 200), 0);
    }

    void editBetweenTwoReadsIsSeen_data()
    {
        QTest::addColumn<QString>("edition");
        for (const char* e : {"same size, later date", "same size and date, new file",
                              "same size and date, just written", "grown", "removed", "created"})
            QTest::newRow(e) << e;
    }
    void editBetweenTwoReadsIsSeen()
    {
        QFETCH(QString, edition);
        const std::string p = chemin(edition), nouveau = p + ".new";
        const bool recent = edition.endsWith("just written");
        const timespec date = recent ? ilYA(0) : ilYA(3600);
        if (edition != "created") {
            ecrire(p, "[S]\nK=before\n");
            dater(p, date);
        }
        ini::CacheFichier cache;
        QCOMPARE(lire(cache, p), edition == "created" ? "" : "before");

        if (edition == "removed") {
            QCOMPARE(std::remove(p.c_str()), 0);
        } else if (edition == "same size and date, new file") {
            ecrire(nouveau, "[S]\nK=after!\n");
            dater(nouveau, date);
            QCOMPARE(std::rename(nouveau.c_str(), p.c_str()), 0);
        } else {
            ecrire(p, edition == "grown" ? "[S]\nK=after!\nL=more\n" : "[S]\nK=after!\n");
            // A quick second save can leave size and dates as they were:
            // the content must still be checked.
            dater(p, edition.startsWith("same size, later") ? ilYA(1800) : date);
        }
        QCOMPARE(lire(cache, p), edition == "removed" ? "" : "after!");
    }

    // A file touched again is parsed again only when one of its bytes
    // changed, in each encoding, a UTF-16LE file with an odd last byte too.
    void onlyChangedBytesAreParsedAgain_data()
    {
        QTest::addColumn<QByteArray>("avant");
        QTest::addColumn<QByteArray>("apres");
        QTest::addColumn<QString>("valeur");
        QTest::addColumn<int>("analyses");
        const QByteArray utf16("\xFF\xFE[\0S\0]\0\n\0K\0=\0\xE9\0\x41", 17);
        QByteArray autreImpair = utf16;
        autreImpair.back() = 'B';
        QByteArray autreUnite = utf16;
        autreUnite[14] = '\xE8';
        QTest::newRow("Windows-1252, same bytes")
            << QByteArray("[S]\nK=\xE9") << QByteArray("[S]\nK=\xE9") << "é" << 1;
        QTest::newRow("Windows-1252 to UTF-8, same text")
            << QByteArray("[S]\nK=\xE9") << QByteArray("[S]\nK=\xC3\xA9") << "é" << 2;
        QTest::newRow("UTF-16LE, same bytes") << utf16 << utf16 << QStringLiteral("é\uFFFD") << 1;
        QTest::newRow("UTF-16LE, other odd byte")
            << utf16 << autreImpair << QStringLiteral("é\uFFFD") << 2;
        QTest::newRow("UTF-16LE, other unit")
            << utf16 << autreUnite << QStringLiteral("è\uFFFD") << 2;
    }
    void onlyChangedBytesAreParsedAgain()
    {
        QFETCH(QByteArray, avant);
        QFETCH(QByteArray, apres);
        QFETCH(QString, valeur);
        QFETCH(int, analyses);
        const std::string p = chemin(QString("bytes-%1").arg(QTest::currentDataTag()));
        ecrire(p, avant.toStdString());
        dater(p, ilYA(3600));
        ini::CacheFichier cache;
        lire(cache, p);
        ecrire(p, apres.toStdString());
        dater(p, ilYA(60));
        QCOMPARE(lire(cache, p), valeur);
        QCOMPARE(cache.nombreAnalyses(), uint64_t(analyses));
    }

    void unchangedFileIsParsedOnce()
    {
        const std::string p = chemin("unchanged");
        ecrire(p, "[S]\nK=v\n");
        dater(p, ilYA(3600));
        ini::CacheFichier cache;
        for (int i = 0; i < 3; ++i)
            QCOMPARE(lire(cache, p), "v");
        dater(p, ilYA(60)); // a new date on the same bytes: checked, not parsed
        QCOMPARE(lire(cache, p), "v");
        QCOMPARE(cache.nombreAnalyses(), 1u);
        // Another path is another file, even in the same cache.
        ecrire(chemin("other"), "[S]\nK=w\n");
        QCOMPARE(lire(cache, chemin("other")), "w");
        QCOMPARE(lire(cache, p), "v");
    }
};

QTEST_GUILESS_MAIN(TstIniFile)
#include "tst_ini_file.moc"
