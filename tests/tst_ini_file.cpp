// Reading the file from disk: edits made between two reads, and during a walk
// over keys, which the next read must see.
#include "catalogue/ini_file.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <functional>
#include <sys/statfs.h>
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

QString lire(ini::CacheFichier& cache, const std::string& chemin,
             ini::Controle controle = ini::Controle::Complet)
{
    char16_t tampon[200];
    return QString::fromUtf16(
        tampon, ini::lireValeur(cache, chemin, u"S", u"K", u"", tampon, 200, controle));
}

// Overwrites the start of the file without truncating it, through `chemin`.
void surecrire(const std::string& chemin, const QByteArray& octets)
{
    FILE* f = std::fopen(chemin.c_str(), "r+b");
    QVERIFY(f && std::fwrite(octets.data(), 1, size_t(octets.size()), f) == size_t(octets.size()));
    QCOMPARE(std::fclose(f), 0);
}

// Whether the current directory's file system notifies changes, so that the
// reads of a walk can spare their stat().
bool notifiable()
{
    struct statfs fs;
    if (::statfs(".", &fs) != 0)
        return false;
    for (unsigned long type :
         {0xEF53UL /* ext2-4 */, 0x58465342UL /* XFS */, 0x9123683EUL /* Btrfs */,
          0xF2F52010UL /* F2FS */, 0x01021994UL /* tmpfs */})
        if (static_cast<unsigned long>(fs.f_type) == type)
            return true;
    return false;
}

// The reads of a walk in the current directory: the first checks the path,
// the next ones may rely on notifications.
struct Marche {
    ini::CacheFichier cache;
    const std::string chemin = "./D.INI";
    QString premiere() { return lire(cache, chemin); }
    QString suivante() { return lire(cache, chemin, ini::Controle::Suite); }
    // A quiet file: after the second read sets the watch, reads stat() nothing.
    void verifierCalme()
    {
        suivante();
        const uint64_t avant = cache.nombreControlesComplets();
        suivante();
        suivante();
        QCOMPARE(cache.nombreControlesComplets(), avant);
    }
};

} // namespace

class TstIniFile : public QObject
{
    Q_OBJECT
    QTemporaryDir dossier;
    std::string chemin() { return dossier.filePath(QTest::currentDataTag()).toStdString(); }

private slots:
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

    // Within a walk, every way of changing the file is seen by the very next
    // read, though the reads after the first stat() nothing on a quiet file.
    void changeDuringAWalkIsSeenByTheNextRead()
    {
        const QString depart = QDir::currentPath();
        const auto entrer = [&](const QString& ici) {
            QVERIFY(QDir().mkpath(dossier.filePath(ici)));
            QVERIFY(QDir::setCurrent(dossier.filePath(ici)));
        };
        const QByteArray apres = "[S]\nK=after!\n";
        const std::pair<const char*, std::function<void()>> facons[] = {
            {"rewritten in place", [&] { surecrire("D.INI", apres); }},
            {"written through a hard link elsewhere", [&] { surecrire("../lien", apres); }},
            {"replaced by a rename",
             [&] { ecrire("D.new", apres), std::rename("D.new", "D.INI"); }},
            {"removed", [] { std::remove("D.INI"); }},
            // The target's folder is not watched: the reads must stat().
            {"written through the target of a symbolic link", [&] { surecrire("../c", apres); }},
        };
        Marche marche; // one cache from folder to folder, as the program's
        for (const auto& [nom, changer] : facons) {
            entrer(QString("walk/%1/in").arg(nom));
            const bool lien = QString(nom).contains("symbolic");
            ecrire(lien ? "../c" : "D.INI", "[S]\nK=before\n");
            QVERIFY(lien ? ::symlink("../c", "D.INI") == 0 : ::link("D.INI", "../lien") == 0);
            QCOMPARE(marche.premiere(), "before");
            if (!lien && notifiable())
                marche.verifierCalme();
            marche.suivante();
            changer();
            QVERIFY2(marche.suivante() == (QString(nom) == "removed" ? "" : "after!"), nom);
        }

        // A walk begun in another folder reads that folder's file, and its
        // own changes are seen.
        entrer("walk/other");
        ecrire("D.INI", "[S]\nK=other\n");
        QCOMPARE(marche.premiere(), "other");
        if (notifiable())
            marche.verifierCalme();
        surecrire("D.INI", "[S]\nK=OTHER\n");
        QCOMPARE(marche.suivante(), "OTHER");
        QDir::setCurrent(depart);
    }
};

QTEST_GUILESS_MAIN(TstIniFile)
#include "tst_ini_file.moc"
