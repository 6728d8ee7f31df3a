// Reading the file from disk: an edit made between two reads is seen by the
// second, and an unchanged file is not parsed again.
#include "catalogue/ini_file.h"

#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>

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
    const auto document = cache.document(chemin);
    const auto valeur = document ? document->valeur("S", "K") : std::nullopt;
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
};

QTEST_GUILESS_MAIN(TstIniFile)
#include "tst_ini_file.moc"
