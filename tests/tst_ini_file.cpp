// Reading the file from disk: paths that are no readable file, and edits
// made between two reads, which the second read must see.
#include "catalogue/ini_file.h"

#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
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
// then dates the file.
void ecrire(const std::string& chemin, const QByteArray& octets, timespec quand = ilYA(3600))
{
    FILE* f = std::fopen(chemin.c_str(), "wb");
    QVERIFY(f && std::fwrite(octets.data(), 1, size_t(octets.size()), f) == size_t(octets.size()));
    QCOMPARE(std::fclose(f), 0);
    const timespec dates[2] = {quand, quand};
    QCOMPARE(::utimensat(AT_FDCWD, chemin.c_str(), dates, 0), 0);
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
    std::string chemin() { return dossier.filePath(QTest::currentDataTag()).toStdString(); }

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
        const std::string p = chemin();
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

    // An edit between two reads is seen by the second; a file touched again
    // is parsed again only when one of its bytes changed, in each encoding.
    // Row names tell how: "same date" keeps the file's dates, "just written"
    // dates both saves now, "new file" replaces the file by a rename.
    void editBetweenTwoReadsIsSeen_data()
    {
        QTest::addColumn<QByteArray>("avant"); // empty: no file
        QTest::addColumn<QByteArray>("apres"); // empty: removed
        QTest::addColumn<QString>("valeur");
        QTest::addColumn<int>("analyses");
        const auto row = [](const char* nom, const QByteArray& a, const QByteArray& b,
                            const QString& v, int n) { QTest::newRow(nom) << a << b << v << n; };
        const QByteArray avant = "[S]\nK=before\n", apres = "[S]\nK=after!\n";
        row("same size, later date", avant, apres, "after!", 2);
        // A quick second save can leave size and dates as they were: the
        // content must still be checked.
        row("same size, same date, new file", avant, apres, "after!", 2);
        row("same size, same date, just written", avant, apres, "after!", 2);
        row("grown, same date", avant, "[S]\nK=after!\nL=more\n", "after!", 2);
        row("removed", avant, {}, "", 1);
        row("created", {}, apres, "after!", 1);
        const QByteArray utf16("\xFF\xFE[\0S\0]\0\n\0K\0=\0\xE9\0\x41", 17);
        QByteArray autreImpair = utf16, autreUnite = utf16;
        autreImpair.back() = 'B';
        autreUnite[14] = '\xE8';
        row("Windows-1252, same bytes", "[S]\nK=\xE9", "[S]\nK=\xE9", "é", 1);
        row("Windows-1252 to UTF-8, same text", "[S]\nK=\xE9", "[S]\nK=\xC3\xA9", "é", 2);
        row("UTF-16LE, same bytes", utf16, utf16, "é\uFFFD", 1);
        row("UTF-16LE, other odd last byte", utf16, autreImpair, "é\uFFFD", 2);
        row("UTF-16LE, other unit", utf16, autreUnite, "è\uFFFD", 2);
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
};

QTEST_GUILESS_MAIN(TstIniFile)
#include "tst_ini_file.moc"
