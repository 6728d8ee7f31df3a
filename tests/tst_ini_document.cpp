// The INI reading rules, the 199-character cut and the encodings, on bytes
// in memory.
#include "catalogue/data_file.h"
#include "catalogue/ini_document.h"
#include "catalogue/key_walk.h"

#include <QTest>

namespace
{

ini::Document document(const QByteArray& f)
{
    return ini::Document(f.toStdString());
}

QByteArray utf16le(const QString& texte) // with its mark
{
    return QByteArray("\xFF\xFE", 2) +
           QByteArray(reinterpret_cast<const char*>(texte.utf16()), texte.size() * 2);
}

} // namespace

class TstIniDocument : public QObject
{
    Q_OBJECT
private slots:
    void readsAValueAsTheProfileServiceDoes_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<QString>("cle");
        QTest::addColumn<QString>("attendu"); // "?" for an absent key
        const auto row = [](const char* nom, const QByteArray& f, const QString& k,
                            const QString& v) { QTest::newRow(nom) << f << k << v; };
        row("CRLF", "[S]\r\nA=1\r\nK=v\r\n", "K", "v");
        row("CR only, no final line end", "[S]\rA=1\rK=v", "K", "v");
        row("blanks and tabs trimmed, inner kept", " \t[ \tS\t ] \t\n \t K \t = \t a  b \t\n", "K",
            "a  b");
        row("split at the first =", "[S]\nK = a=b", "K", "a=b");
        row("line without = holds no key", "[S]\nK\n", "K", "?");
        row("empty value", "[S]\nK=\nK=late", "K", "");
        row("double quotes dropped, blanks inside kept", "[S]\nK=\" a \"", "K", " a ");
        row("only the outer single quotes go", "[S]\nK=''x''", "K", "'x'");
        row("unmatched quotes stay", "[S]\nK=\"x'", "K", "\"x'");
        row("indented ; line is a comment, ; inside a value kept", "[S]\n \t;K=c\nK=a ; b", "K",
            "a ; b");
        row("# starts no comment", "[S]\n#K=c", "#K", "c");
        row("names without regard to ASCII case", "[s]\nacro1=v", "Acro1", "v");
        row("other letters match exactly", "[S]\n\xC3\xA9=v", "É", "?");
        row("ACRO1 never matches ACRO10", "[S]\nACRO10=x\nACRO11=y", "ACRO1", "?");
        row("first key wins", "[S]\nK=1\nk=2", "K", "1");
        row("only the first section counts", "[S]\nK=1\n[T]\n[s]\nK=2\nL=3", "L", "?");
        row("lines before the first section", "K=0\n[S]\nA=1", "K", "?");
        row("name ends at the first ], the rest ignored", "[S]T] ; [U]\nK=v", "K", "v");
        row("[ without ] still opens a section", "[ S \nK=v", "K", "v");
        row("NUL ends a value", QByteArray("[S]\nK=ab\0cd", 11), "K", "ab");
        row("NUL ends a section name and a key name", QByteArray("[S\0X]\nK\0X=v", 11), "K", "v");

        // Names match as the text they decode to, values are cut after decoding.
        row("Windows-1252 name", "[S]\n\xE9t\xE9=v", "été", "v");
        row("UTF-8 name, ASCII case folded", "[S]\n\xC3\xA9T\xC3\xA9=v", "été", "v");
        row("199 characters kept, the comma at 200 lost",
            "[S]\nK=" + QByteArray(199, 'a') + ",rest", "K", QString(199, 'a'));
        row("UTF-8 cut by characters, not bytes", "[S]\nK=" + QByteArray("\xC5\x93").repeated(250),
            "K", QString(199, QChar(0x153)));
        row("a surrogate pair is never split",
            "[S]\nK=" + QByteArray(198, 'a') + "\xF0\x9F\x98\x80", "K", QString(198, 'a'));

        const QString accents = "é œ € ’";
        const QByteArray texte = "[S]\r\nK=" + accents.toUtf8() + "\r\n";
        row("Windows-1252", "[S]\r\nK=\xE9 \x9C \x80 \x92\r\n", "K", accents);
        row("UTF-8 without mark", texte, "K", accents);
        row("UTF-8 with mark", "\xEF\xBB\xBF" + texte, "K", accents);
        row("UTF-16LE with mark", utf16le(texte), "K", accents);
        row("UTF-16LE surrogate pair", utf16le(QString("[S]\nK=a\U0001F600b")), "K",
            "a\U0001F600b");
        row("UTF-16LE surrogates alone",
            utf16le(QString("[S]\nK=a") + QChar(0xDC00) + "b" + QChar(0xD800)), "K",
            "a\uFFFDb\uFFFD");
        row("UTF-16LE odd last byte", utf16le("[S]\nK=ab") + "c", "K", "ab\uFFFD");
        row("Windows-1252 lines ended by CR only", "[S]\rX=\xE9\rK=\x80\rY=\xE9", "K", "€");
        row("a header repeated after a long first header line",
            "[S] ;" + QByteArray(100000, 'x') + "\nK=1\n[T]\n[S]\nK=2\n[s]\nK=3", "K", "1");
        row("undefined Windows-1252 bytes keep their code point", "[S]\nK=\x81\x8D\x8F\x90\x9D",
            "K", "\u0081\u008D\u008F\u0090\u009D");
        // Lines appended by another editor keep their own encoding.
        row("UTF-8 line in a Windows-1252 file", "[S]\r\nX=\xE9\r\nK=\xC3\xA9\xE2\x82\xAC\n", "K",
            "é€");
        row("Windows-1252 line after a UTF-8 mark", "\xEF\xBB\xBF[S]\nK=a\xE9z\nX=\xC3\xA9", "K",
            "aéz");
        row("overlong UTF-8 is no UTF-8", "[S]\nK=\xC0\xAF", "K", "À¯");
        row("a surrogate encoded in UTF-8 is no UTF-8", "[S]\nK=\xED\xA0\x80", "K", "í\u00A0€");
    }
    void readsAValueAsTheProfileServiceDoes()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(QString, cle);
        QFETCH(QString, attendu);
        const ini::Document doc = document(fichier);
        const ini::Section* s = doc.section("S");
        const auto valeur = s ? s->valeur(cle.toStdString()) : std::nullopt;
        QCOMPARE(valeur.has_value(), attendu != "?");
        QString Tampon(255, ' ');
        catalogue::lireValeur(valeur, Tampon);
        QCOMPARE(Tampon, attendu == "?" ? "" : attendu);
    }

    // The whole text a file decodes to, and its lines read as Windows-1252
    // (runs of numbers, "2-3,5"), where the text is longer or shorter than
    // the file, from bytes given as a string and from bytes read into a
    // block of their own (byte_buffer.h), which decode where they stand.
    void decodesTheWholeText_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("windows1252");
        const auto row = [](const char* nom, const QByteArray& f, const QString& t,
                            const char* lignes) { QTest::newRow(nom) << f << t << lignes; };
        QByteArray hauts;
        QString lesHauts = "€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ";
        for (int o = 0x80; o <= 0xFF; ++o)
            hauts += char(o);
        for (int o = 0xA0; o <= 0xFF; ++o)
            lesHauts += QChar(o);
        row("empty", "", "", "");
        row("ASCII only", "[S]\r\nK=v\rL=w\n", "[S]\r\nK=v\rL=w\n", "");
        row("every byte from 80 to FF", "K=" + hauts + "\n", "K=" + lesHauts + "\n", "1");
        row("the five undefined bytes", "\x81\x8D\x8F\x90\x9D", "\u0081\u008D\u008F\u0090\u009D",
            "1");
        row("€ at the very end", "[S]\nK=a\x80", "[S]\nK=a€", "2");
        row("only high bytes", QByteArray(3000, '\x80'), QString(3000, QChar(0x20AC)), "1");
        row("high bytes and line ends only", "\xE9\r\xE9\n\x80\r\n\xFF", "é\ré\n€\r\nÿ", "1-4");
        row("UTF-8 and Windows-1252 lines", "a\n\xE9\n\xE9t\xE9\n\xC3\xA9\n\x80", "a\né\nété\né\n€",
            "2-3,5");
        QByteArray longues;
        QString longuesLues;
        for (int n = 1; n <= 130; ++n) {
            const bool w = (n >= 60 && n <= 70) || n == 128;
            longues += (w ? "\xE9" : "e") + QByteArray::number(n) + "\n";
            longuesLues += (w ? "é" : "e") + QString::number(n) + "\n";
        }
        row("runs across 64 lines", longues, longuesLues, "60-70,128");
        row("UTF-8 mark, then UTF-8", "\xEF\xBB\xBFK=\xC3\xA9", "K=é", "");
        row("UTF-8 mark, then one high byte",
            "\xEF\xBB\xBF"
            "a\xE9",
            "aé", "1");
        row("UTF-8 mark, then only € signs", "\xEF\xBB\xBF\x80\x80", "€€", "1");
        row("UTF-16LE, shorter as UTF-8", utf16le("K=abc\r\n"), "K=abc\r\n", "");
        row("UTF-16LE, longer as UTF-8", utf16le("€\u4E2D"), "€\u4E2D", "");
        const QString chinois(300, QChar(0x4E2D)), latin(300, 'a');
        row("UTF-16LE, Chinese then Latin", utf16le(chinois + latin), chinois + latin, "");
        row("UTF-16LE, Latin then Chinese", utf16le(latin + chinois), latin + chinois, "");
        row("UTF-16LE, pairs, surrogates alone and an odd byte",
            utf16le("a\U0001F600" + QString(QChar(0xD800)) + "\u4E2D" + QChar(0xDC00)) + "c",
            "a\U0001F600\uFFFD\u4E2D\uFFFD\uFFFD", "");
    }
    void decodesTheWholeText()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(QString, texte);
        QFETCH(QString, windows1252);
        for (const bool bloc : {false, true}) {
            ini::Octets octets(fichier.toStdString());
            if (bloc) {
                octets = ini::Octets();
                octets.redimensionner(size_t(fichier.size()));
                std::copy(fichier.begin(), fichier.end(), octets.data());
            }
            const ini::Texte lu = ini::decoder(std::move(octets));
            QCOMPARE(QByteArray(lu.utf8.data(), qsizetype(lu.utf8.size())), texte.toUtf8());
            QStringList suites;
            lu.lignesWindows1252.pourChaqueSuite([&](int premiere, int nombre) {
                suites << (nombre == 1 ? QString::number(premiere)
                                       : QString("%1-%2").arg(premiere).arg(premiere + nombre - 1));
            });
            QCOMPARE(suites.join(','), windows1252);
            QCOMPARE(lu.lignesWindows1252.empty(), windows1252.isEmpty());
        }
    }

    // The section read finds an entry in any encoding, and none where the
    // file holds only blanks and comments, or nothing the program reads.
    void sectionReadFindsAnEntry_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<bool>("entree");
        QTest::newRow("Windows-1252") << QByteArray("[S]\n \t\n;c\nK=\xE9\x80\n[T]\nL=x") << true;
        QTest::newRow("UTF-16LE") << utf16le("[S]\r\nK=\u00E9\r\n[T]\r\nL=x") << true;
        QTest::newRow("free text") << QByteArray("[S]\nfree text\n") << true;
        QTest::newRow("a NUL line") << QByteArray("[S]\n\0\n", 6) << true;
        QTest::newRow("last section to the end of the file")
            << QByteArray("[T]\nL=x\n[S]\nK=v\r") << true;
        QTest::newRow("only blanks and comments")
            << QByteArray("[S]\n \n\t\n;c\n[T]\nK=v") << false;
        QTest::newRow("section absent") << QByteArray("[T]\nK=v") << false;
        QTest::newRow("entries only before the header") << QByteArray("K=v\n[S]") << false;
        QTest::newRow("entries only under a repeat") << QByteArray("[S]\n[T]\n[S]\nK=v") << false;
    }
    void sectionReadFindsAnEntry()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(bool, entree);
        const ini::Document doc = document(fichier);
        QCOMPARE(Lire_Section(&doc, "S"), entree);
        QCOMPARE(Lire_Section(&doc, "s"), entree);
    }
};

QTEST_GUILESS_MAIN(TstIniDocument)
#include "tst_ini_document.moc"
