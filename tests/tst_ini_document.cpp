// The INI reading rules, the 199-character cut and the three encodings, on
// bytes in memory.
#include "catalogue/ini_document.h"

#include <QTest>
#include <random>

namespace
{

// Reads `cle` of section S; fails the test unless the value ends with a NUL.
QString lire(const QByteArray& fichier, const QString& cle = "K", int capacite = 200)
{
    const auto doc = ini::Document::depuisOctets({fichier.constData(), size_t(fichier.size())});
    std::vector<char16_t> tampon(size_t(std::max(capacite, 1)), u'#');
    const int n = doc->lireValeur(u"S", cle.toStdU16String(), u"", tampon.data(), capacite);
    if (capacite > 0 && tampon[size_t(n)] != u'\0')
        qFatal("the value read is not followed by a NUL");
    return QString::fromUtf16(tampon.data(), n);
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

        const auto row = [](const char* nom, const QByteArray& f, const char* k, const char* v) {
            QTest::newRow(nom) << f << QString::fromUtf8(k) << QString::fromUtf8(v);
        };
        row("CRLF", "[S]\r\nA=1\r\nK=v\r\n", "K", "v");
        row("CR only", "[S]\rA=1\rK=v\r", "K", "v");
        row("no final line end", "[S]\nK=v", "K", "v");
        row("blanks and tabs trimmed, inner kept", " \t[ \tS\t ] \t\n \t K \t = \t a  b \t\n", "K",
            "a  b");
        row("split at the first =", "[S]\nK = a=b", "K", "a=b");
        row("line without = holds no key", "[S]\nK\n", "K", "?");
        row("empty value", "[S]\nK=\nK=late", "K", "");
        row("double quotes dropped, blanks inside kept", "[S]\nK=\" a \"", "K", " a ");
        row("only the outer single quotes go", "[S]\nK=''x''", "K", "'x'");
        row("unmatched quotes stay", "[S]\nK=\"x'", "K", "\"x'");
        row("indented ; line is a comment", "[S]\n \t;K=c\nK=v", "K", "v");
        row("; inside a value is kept", "[S]\nK=a ; b", "K", "a ; b");
        row("# starts no comment", "[S]\n#K=c", "#K", "c");
        row("names without regard to ASCII case", "[s]\nacro1=v", "Acro1", "v");
        row("other letters match exactly", "[S]\n\xC3\xA9=v", "\xC3\x89", "?");
        row("ACRO1 never matches ACRO10", "[S]\nACRO10=x\nACRO11=y", "ACRO1", "?");
        row("first key wins", "[S]\nK=1\nk=2", "K", "1");
        row("only the first section counts", "[S]\nK=1\n[T]\n[s]\nK=2\nL=3", "L", "?");
        row("lines before the first section", "K=0\n[S]\nA=1", "K", "?");
        row("name ends at the first ], the rest ignored", "[S]T] ; [U]\nK=v", "K", "v");
        row("[ without ] still opens a section", "[ S \nK=v", "K", "v");
        row("NUL ends a value", QByteArray("[S]\nK=ab\0cd", 11), "K", "ab");
        row("NUL ends a key name", QByteArray("[S]\nK\0X=v", 9), "K", "v");
        row("NUL ends a section name", QByteArray("[S\0X]\nK=v", 9), "K", "v");
    }
    void readsAValueAsTheProfileServiceDoes()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(QString, cle);
        QFETCH(QString, attendu);
        const auto doc = ini::Document::depuisOctets({fichier.constData(), size_t(fichier.size())});
        QCOMPARE(doc->valeur(u"S", cle.toStdU16String()).has_value(), attendu != "?");
        QCOMPARE(lire(fichier, cle), attendu == "?" ? QString() : attendu);
    }

    void sectionReadIsZeroExactlyWithoutEntries_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<bool>("desEntrees");
        QTest::newRow("key and value") << QByteArray("[S]\nK=v") << true;
        QTest::newRow("line without =") << QByteArray("[S]\njust text") << true;
        QTest::newRow("only blanks and comments")
            << QByteArray("[S]\n \n\t\n;c\n[T]\nK=v") << false;
        QTest::newRow("section absent") << QByteArray("[T]\nK=v") << false;
        QTest::newRow("entries only before the header") << QByteArray("K=v\n[S]") << false;
        QTest::newRow("entries only under a repeat") << QByteArray("[S]\n[T]\n[S]\nK=v") << false;
    }
    void sectionReadIsZeroExactlyWithoutEntries()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(bool, desEntrees);
        char16_t tampon[200];
        const auto doc = ini::Document::depuisOctets({fichier.constData(), size_t(fichier.size())});
        QCOMPARE(doc->lireSection(u"S", tampon, 200) > 0, desEntrees);
    }

    // Entries come back decoded, whatever the file's encoding, and are cut
    // to the buffer by characters.
    void sectionReadDecodesItsEntries_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<int>("capacite");
        QTest::addColumn<QString>("attendu"); // entries joined by "|"
        QByteArray utf16le("\xFF\xFE", 2);
        for (QChar c : QString::fromUtf8("[S]\r\nK=\xC3\xA9\r\n[T]\r\nL=x"))
            utf16le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        QTest::newRow("Windows-1252") << QByteArray("[S]\nK=\xE9\x80\n \t\n;c\nfree text\n[T]\nL=x")
                                      << 200 << QString::fromUtf8("K=é€|free text");
        QTest::newRow("UTF-8") << QByteArray("[S]\r\nK=\xC5\x93\r\n[T]\r\nL=x") << 200
                               << QString::fromUtf8("K=œ");
        QTest::newRow("UTF-16LE") << utf16le << 200 << QString::fromUtf8("K=é");
        QTest::newRow("last section to the end of the file")
            << QByteArray("[T]\nL=x\n[S]\nK=v\r") << 200 << QString("K=v");
        QTest::newRow("cut by characters, not bytes")
            << QByteArray("[S]\nK=\xC3\xA9\xC3\xA9\xC3\xA9") << 6 << QString::fromUtf8("K=éé");
        QTest::newRow("entry cut at its NUL")
            << QByteArray("[S]\nK=a\0b\nL", 12) << 200 << QString("K=a|L");
    }
    void sectionReadDecodesItsEntries()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(int, capacite);
        QFETCH(QString, attendu);
        const auto doc = ini::Document::depuisOctets({fichier.constData(), size_t(fichier.size())});
        char16_t tampon[200];
        const int n = doc->lireSection(u"S", tampon, capacite);
        QString lu = QString::fromUtf16(tampon, n);
        if (lu.endsWith(QChar(0)))
            lu.chop(1);
        QCOMPARE(lu.replace(QChar(0), '|'), attendu);
    }

    // Names match as the text they decode to, in every encoding.
    void namesMatchAsDecodedText_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<QString>("cle");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("Windows-1252 name")
            << QByteArray("[S]\n\xE9t\xE9=v") << QString::fromUtf8("été") << "v";
        QTest::newRow("UTF-8 name")
            << QByteArray("[S]\n\xC3\xA9t\xC3\xA9=v") << QString::fromUtf8("été") << "v";
        QTest::newRow("ASCII case folded in a UTF-8 name")
            << QByteArray("[S]\n\xC3\xA9T\xC3\xA9=v") << QString::fromUtf8("été") << "v";
        QTest::newRow("two bad sequences are one name after a UTF-8 mark")
            << QByteArray("\xEF\xBB\xBF[S]\n\xFF=1\n\xE9=2") << QStringLiteral("\uFFFD") << "1";
    }
    void namesMatchAsDecodedText()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(QString, cle);
        QFETCH(QString, attendu);
        QCOMPARE(lire(fichier, cle), attendu);
    }

    void valuesAreCutAt199CharactersAfterDecoding_data()
    {
        QTest::addColumn<QByteArray>("valeur");
        QTest::addColumn<int>("capacite");
        QTest::addColumn<QString>("attendu");
        const QString a199(199, 'a');
        QTest::newRow("199 characters whole") << QByteArray(199, 'a') << 200 << a199;
        QTest::newRow("comma at 200 is lost") << QByteArray(199, 'a') + ",rest" << 200 << a199;
        QTest::newRow("Windows-1252 counts characters")
            << QByteArray(250, '\xE9') << 200 << QString(199, QChar(0xE9));
        QTest::newRow("UTF-8 counts characters, not bytes")
            << QByteArray("\xC5\x93").repeated(250) << 200 << QString(199, QChar(0x153));
        QTest::newRow("a surrogate pair is never split")
            << QByteArray(198, 'a') + "\xF0\x9F\x98\x80" << 200 << QString(198, 'a');
        QTest::newRow("capacity 1 holds only the NUL") << QByteArray("abc") << 1 << QString();
    }
    void valuesAreCutAt199CharactersAfterDecoding()
    {
        QFETCH(QByteArray, valeur);
        QFETCH(int, capacite);
        QFETCH(QString, attendu);
        QCOMPARE(lire("[S]\nK=" + valeur, "K", capacite), attendu);
    }

    void decodesTheThreeEncodings_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<QString>("attendu");
        const QString accents = QString::fromUtf8("é œ € ’");
        const QByteArray texte = "[S]\r\nK=" + accents.toUtf8() + "\r\n";
        QByteArray utf16le("\xFF\xFE", 2);
        for (QChar c : QString::fromUtf8(texte))
            utf16le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));

        QTest::newRow("Windows-1252") << QByteArray("[S]\r\nK=\xE9 \x9C \x80 \x92\r\n") << accents;
        QTest::newRow("UTF-8 without mark") << texte << accents;
        QTest::newRow("UTF-8 with mark") << "\xEF\xBB\xBF" + texte << accents;
        QTest::newRow("UTF-16LE with mark") << utf16le << accents;
        QTest::newRow("undefined Windows-1252 bytes keep their code point")
            << QByteArray("[S]\nK=\x81\x8D\x8F\x90\x9D")
            << QStringLiteral("\u0081\u008D\u008F\u0090\u009D");
        QTest::newRow("one bad byte makes the whole file Windows-1252")
            << QByteArray("[S]\nK=\xC3\xA9\n[T]\nX=\xE9") << QString::fromUtf8("Ã©");
        QTest::newRow("overlong UTF-8 is no UTF-8")
            << QByteArray("[S]\nK=\xC0\xAF") << QString::fromUtf8("À¯");
        QTest::newRow("malformed bytes after a UTF-8 mark")
            << QByteArray("\xEF\xBB\xBF[S]\nK=a\xE9z\xF0\x9F") << QStringLiteral("a\uFFFDz\uFFFD");
    }
    void decodesTheThreeEncodings()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(QString, attendu);
        QCOMPARE(lire(fichier), attendu);
    }

    // Random bytes drawn from the characters the parser cares about: every
    // read must stay in its buffer and keep its promises.
    void anyBytesParseAndReadSafely()
    {
        const char alphabet[] = "[]=;\"' \t\r\n\0SKk1,\xE9\xC3\xA9\xFF\xFE\x80\xF0";
        std::mt19937 hasard(20240601);
        std::uniform_int_distribution<size_t> lettre(0, sizeof alphabet - 2), longueur(0, 400);
        for (int essai = 0; essai < 3000; ++essai) {
            std::string octets(longueur(hasard), '\0');
            for (char& o : octets)
                o = alphabet[lettre(hasard)];
            const auto doc = ini::Document::depuisOctets(octets);
            char16_t tampon[16];
            for (std::u16string_view cle : {u"K", u"k1", u""}) {
                const int n = doc->lireValeur(u"S", cle, u"", tampon, 16);
                QVERIFY(n >= 0 && n <= 15 && tampon[n] == u'\0');
            }
            const int s = doc->lireSection(u"S", tampon, 16);
            QVERIFY(s >= 0 && s <= 14 && tampon[s] == u'\0' && tampon[s + 1] == u'\0');
        }
    }
};

QTEST_GUILESS_MAIN(TstIniDocument)
#include "tst_ini_document.moc"
