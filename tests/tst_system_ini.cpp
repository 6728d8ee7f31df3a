// The program's INI reading against the system's own profile services
// (GetPrivateProfileStringA, GetPrivateProfileSectionA), file by file: every
// result the program depends on, a value as the 200-byte buffer holds it and
// whether a section holds an entry, must be the same. A row where the two
// differ names the case, which of the two the program follows, and why.
// Windows only (Wine here): the services are the system's.
// Labels: windows
#include "catalogue/data_file.h"
#include "catalogue/ini_decode.h"
#include "catalogue/ini_document.h"
#include "catalogue/key_walk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <windows.h>

namespace
{

// A value as the system gives it to a buffer of catalogue::TailleTampon
// bytes, in the ANSI code page, read back the way the program reads a line.
QString valeurDuSysteme(const QByteArray& chemin, const QByteArray& section, const QByteArray& cle)
{
    char tampon[catalogue::TailleTampon];
    const DWORD n = ::GetPrivateProfileStringA(section.constData(), cle.constData(), "", tampon,
                                               sizeof tampon, chemin.constData());
    return QString::fromStdString(ini::decoder(std::string(tampon, n)).utf8);
}

bool sectionDuSysteme(const QByteArray& chemin, const QByteArray& section)
{
    static char tampon[32767];
    return ::GetPrivateProfileSectionA(section.constData(), tampon, sizeof tampon,
                                       chemin.constData()) > 0;
}

QString valeurDuProgramme(const ini::Document& document, const QByteArray& section,
                          const QByteArray& cle)
{
    const ini::Section* s = document.section(section.toStdString());
    QString tampon;
    catalogue::lireValeur(s ? s->valeur(cle.toStdString()) : std::nullopt, tampon);
    return tampon;
}

} // namespace

class TstSystemIni : public QObject
{
    Q_OBJECT
    QTemporaryDir dossier;
    int fichiers = 0;

    // Each row its own file: the system keeps the files it read in a cache
    // that a rewrite within its clock's tick would not refresh.
    QByteArray ecrire(const QByteArray& octets)
    {
        const QString chemin = dossier.filePath(QString::number(++fichiers) + ".ini");
        QFile f(chemin);
        if (!f.open(QIODevice::WriteOnly) || f.write(octets) != octets.size())
            return {};
        return QDir::toNativeSeparators(chemin).toLocal8Bit();
    }

private slots:
    void initTestCase()
    {
        if (::GetACP() != 1252)
            QSKIP("the rows expect Windows-1252 as the ANSI code page, as a French system has");
    }

    // Rows: the file, the section and key the program asks for (no key: the
    // section's presence, as the program asks before a load), and, where the
    // two differ, why.
    void readsAsTheSystemReads_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("cle");
        QTest::addColumn<QString>("ecart");
        const auto row = [](const char* cas, const QByteArray& f, const char* s, const char* c,
                            const char* e = "") {
            QTest::newRow(cas) << f << QByteArray(s) << QByteArray(c) << QString(e);
        };
        const QByteArray a250(250, 'a'), e250(250, '\xE9');
        QByteArray utf8e250;
        for (int i = 0; i < 250; ++i)
            utf8e250 += "\xC3\xA9";
        row("a value", "[S]\nK=v\n", "S", "K");
        row("a missing key", "[S]\nK=v\n", "S", "X");
        row("an empty value", "[S]\nK=\n", "S", "K");
        row("a missing section", "[S]\nK=v\n", "T", "K");
        row("section name in another case", "[s]\nK=v\n", "S", "K");
        row("key name in another case", "[S]\nk=v\n", "S", "K");
        row("blanks around name and value", "[S]\n  K \t=  v w \t\n", "S", "K");
        row("blanks inside the brackets", "[ S ]\nK=v\n", "S", "K");
        row("text after the closing bracket", "[S] x\nK=v\n", "S", "K");
        row("a header without its bracket", "[S\nK=v\n", "S", "K",
            "Wine takes the line for no header; the program keeps the rule it documents, the name "
            "ending with the line, so that a header cut short still names its section");
        row("double quotes", "[S]\nK=\"v\"\n", "S", "K");
        row("single quotes", "[S]\nK='v'\n", "S", "K");
        row("quotes that do not match", "[S]\nK=\"v'\n", "S", "K");
        row("a lone quote", "[S]\nK=\"\n", "S", "K");
        row("quotes inside the value", "[S]\nK=a\"b\"c\n", "S", "K");
        row("blanks inside quotes", "[S]\nK=\" v \"\n", "S", "K");
        row("a line without =, then the key", "[S]\nK\nK=v\n", "S", "K",
            "Wine takes the line for the key K without a value, which hides the key after it; in "
            "the program a line without = holds no key, so that a stray word does not empty an "
            "entry");
        row("= inside the value", "[S]\nK=a=b\n", "S", "K");
        row("an empty key name before the key", "[S]\n=v\nK=w\n", "S", "K");
        row("a comment", "[S]\n;K=x\nK=v\n", "S", "K");
        row("a comment after blanks", "[S]\n  ;K=x\nK=v\n", "S", "K");
        row("# is no comment", "[S]\n#K=x\nK=v\n", "S", "#K");
        row("; inside a value", "[S]\nK=v ; w\n", "S", "K");
        row("a repeated key", "[S]\nK=a\nK=b\n", "S", "K");
        row("a repeated section, key in the first", "[S]\nK=a\n[S]\nK=b\n", "S", "K");
        row("a repeated section, key in the second", "[S]\nJ=a\n[S]\nK=b\n", "S", "K");
        row("a key before any header", "K=a\n[S]\nJ=b\n", "S", "K");
        row("CR line ends", "[S]\rJ=a\rK=v\r", "S", "K");
        row("LF line ends, none at the end", "[S]\nJ=a\nK=v", "S", "K");
        row("CR LF line ends", "[S]\r\nK=v\r\n", "S", "K");
        row("a CR inside a line", "[S]\nK=a\rb\n", "S", "K");
        row("a byte-order mark", "\xEF\xBB\xBF[S]\nK=\xC3\xA9t\xC3\xA9\n", "S", "K");
        row("UTF-8 without a mark", "[S]\nK=\xC3\xA9t\xC3\xA9\n", "S", "K");
        row("Windows-1252 bytes", "[S]\nK=\xE9t\xE9 \x80 \x9C\n", "S", "K");
        row("a NUL inside a value", QByteArray("[S]\nK=a\0b\n", 10), "S", "K");
        row("a NUL inside a key name", QByteArray("[S]\nK\0x=v\n", 10), "S", "K");
        row("a NUL inside a header", QByteArray("[S\0x]\nK=v\n", 10), "S", "K");
        row("a NUL line before the header", QByteArray("\0\n[S]\nK=v\n", 10), "S", "K");
        row("an end-of-file character", "[S]\nK=a\x1A\n", "S", "K",
            "Wine trims the old end-of-file character 0x1A as a blank; the program trims only "
            "spaces and tabs and shows the character, so that the file's fault stays visible");
        row("199 characters are kept", "[S]\nK=" + a250.left(199) + "\n", "S", "K");
        row("the 200th is cut", "[S]\nK=" + a250.left(200) + "\n", "S", "K");
        row("250 are cut to 199", "[S]\nK=" + a250 + "\n", "S", "K");
        row("the cut in Windows-1252", "[S]\nK=" + e250 + "\n", "S", "K");
        row("the cut in UTF-8", "[S]\nK=" + utf8e250 + "\n", "S", "K",
            "the system cuts 199 bytes of its code page, which splits a UTF-8 character; the "
            "program cuts 199 characters of the file's own encoding, so that a catalogue saved "
            "in UTF-8 shows as its author wrote it");
        // A section holds an entry: the program asks before it loads.
        row("a section with an entry", "[S]\nK=v\n", "S", "");
        row("a section of comments only", "[S]\n;c\n", "S", "");
        row("a section of blank lines only", "[S]\n\n  \n", "S", "");
        row("a section with a line without =", "[S]\nligne\n", "S", "");
        row("an empty section", "[S]\n[T]\nK=v\n", "S", "");
        row("no such section", "[T]\nK=v\n", "S", "");
        row("a repeated header, entries in the second", "[S]\n[T]\n[S]\nK=v\n", "S", "");
    }
    void readsAsTheSystemReads()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, cle);
        QFETCH(QString, ecart);
        const QByteArray chemin = ecrire(fichier);
        QVERIFY(!chemin.isEmpty());
        const ini::Document document{std::string(fichier.constData(), size_t(fichier.size()))};
        QString programme, systeme;
        if (cle.isEmpty()) {
            programme = Lire_Section(&document, section.toStdString()) ? "entries" : "none";
            systeme = sectionDuSysteme(chemin, section) ? "entries" : "none";
        } else {
            programme = valeurDuProgramme(document, section, cle);
            systeme = valeurDuSysteme(chemin, section, cle);
        }
        if (ecart.isEmpty()) {
            QCOMPARE(programme, systeme);
            QCOMPARE(programme.size(), systeme.size());
        } else {
            // Still a difference: otherwise the row's reason is out of date.
            QVERIFY2(programme != systeme, qPrintable("both read " + programme));
            qInfo("%s: the program reads %d characters, the system %d: %s", QTest::currentDataTag(),
                  int(programme.size()), int(systeme.size()), qPrintable(ecart));
        }
    }
};

QTEST_GUILESS_MAIN(TstSystemIni)
#include "tst_system_ini.moc"
