// The INI reading rules, the 199-character cut and the three encodings, on
// bytes in memory.
#include "catalogue/ini_decode.h"
#include "catalogue/ini_document.h"

#include <QTest>
#include <random>

namespace
{

std::u16string u16(const QString& s)
{
    return s.toStdU16String();
}

QString lire(const ini::Document& doc, const QString& section, const QString& cle, int capacite,
             int* resultat = nullptr)
{
    std::vector<char16_t> tampon(static_cast<size_t>(std::max(capacite, 1)), u'#');
    const int n = doc.lireValeur(u16(section), u16(cle), u"", tampon.data(), capacite);
    if (resultat)
        *resultat = n;
    if (capacite > 0 && tampon[static_cast<size_t>(n)] != u'\0')
        qFatal("the value read is not followed by a NUL");
    return QString::fromUtf16(tampon.data(), n);
}

std::unique_ptr<ini::Document> doc(const QByteArray& octets)
{
    return ini::Document::depuisOctets(std::string_view(octets.constData(), octets.size()));
}

QByteArray utf16le(const QString& texte)
{
    QByteArray octets("\xFF\xFE", 2);
    for (QChar c : texte) {
        octets.append(char(c.unicode() & 0xFF));
        octets.append(char(c.unicode() >> 8));
    }
    return octets;
}

} // namespace

class TstIniDocument : public QObject
{
    Q_OBJECT
private slots:
    void readsAValueAsTheProfileServiceDoes_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("cle");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("attendu");

        const auto row = [](const char* nom, const QByteArray& f, const char* s, const char* k,
                            bool present, const QString& v) {
            QTest::newRow(nom) << f << QString::fromUtf8(s) << QString::fromUtf8(k) << present << v;
        };
        row("LF", "[S]\nA=1\nK=v\n", "S", "K", true, "v");
        row("CRLF", "[S]\r\nA=1\r\nK=v\r\n", "S", "K", true, "v");
        row("CR only", "[S]\rA=1\rK=v\r", "S", "K", true, "v");
        row("no final line end", "[S]\nK=v", "S", "K", true, "v");
        row("blanks and tabs trimmed, inner kept", " \t[ \tS\t ] \t\n \t K \t = \t a  b \t\n", "S",
            "K", true, "a  b");
        row("split at the first =", "[S]\nK = a=b\n", "S", "K", true, "a=b");
        row("line without = holds no key", "[S]\nK\n", "S", "K", false, "");
        row("empty value", "[S]\nK=\nK=late\n", "S", "K", true, "");
        row("double quotes dropped, blanks inside kept", "[S]\nK=\" a \"", "S", "K", true, " a ");
        row("single quotes dropped", "[S]\nK='x'", "S", "K", true, "x");
        row("only the outer pair goes", "[S]\nK=\"\"x\"\"", "S", "K", true, "\"x\"");
        row("empty quoted value", "[S]\nK=\"\"", "S", "K", true, "");
        row("unmatched quote stays", "[S]\nK=\"x", "S", "K", true, "\"x");
        row("mixed quotes stay", "[S]\nK=\"x'", "S", "K", true, "\"x'");
        row("a lone quote stays", "[S]\nK=\"", "S", "K", true, "\"");
        row("; line is a comment", "[S]\n;K=c\nK=v", "S", "K", true, "v");
        row("indented ; line is a comment", "[S]\n \t;K=c\nK=v", "S", "K", true, "v");
        row("; inside a value is kept", "[S]\nK=a ; b", "S", "K", true, "a ; b");
        row("# starts no comment", "[S]\n#K=c\n", "S", "#K", true, "c");
        row("names without regard to ASCII case", "[acronymes]\nacro1=v", "ACRONYMES", "Acro1",
            true, "v");
        row("other letters match exactly", "[S]\n\xC3\xA9=v", "S", "\xC3\x89", false, "");
        row("ACRO1 never matches ACRO10", "[S]\nACRO10=x\nACRO11=y", "S", "ACRO1", false, "");
        row("ACRO10 is its own key", "[S]\nACRO1=a\nACRO10=b", "S", "ACRO10", true, "b");
        row("first key wins", "[S]\nK=1\nk=2", "S", "K", true, "1");
        row("repeated section ignored", "[S]\nK=1\n[T]\nX=0\n[s]\nK=2\nL=3", "S", "K", true, "1");
        row("repeated section adds no key", "[S]\nK=1\n[T]\n[S]\nL=3", "S", "L", false, "");
        row("lines before the first section", "K=0\n[S]\nA=1", "S", "K", false, "");
        row("text after ] ignored", "[S] ; [T]\nK=v", "S", "K", true, "v");
        row("name ends at the first ]", "[S]T]\nK=v", "S", "K", true, "v");
        row("[ without ] still opens a section", "[ S \nK=v", "S", "K", true, "v");
        row("missing section", "[S]\nK=v", "T", "K", false, "");
        row("NUL ends a value", QByteArray("[S]\nK=ab\0cd", 11), "S", "K", true, "ab");
        row("NUL ends a key name", QByteArray("[S]\nK\0X=v", 9), "S", "K", true, "v");
        row("NUL ends a section name", QByteArray("[S\0X]\nK=v", 9), "S", "K", true, "v");
        row("empty file", "", "S", "K", false, "");
    }
    void readsAValueAsTheProfileServiceDoes()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(QString, section);
        QFETCH(QString, cle);
        QFETCH(bool, present);
        QFETCH(QString, attendu);

        const auto d = doc(fichier);
        QCOMPARE(d->valeur(u16(section), u16(cle)).has_value(), present);
        int n = -1;
        QCOMPARE(lire(*d, section, cle, 200, &n), attendu);
        QCOMPARE(n, attendu.size());
    }

    void sectionReadIsZeroExactlyWithoutEntries_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<bool>("desEntrees");

        QTest::newRow("key and value") << QByteArray("[S]\nK=v") << true;
        QTest::newRow("line without =") << QByteArray("[S]\njust text") << true;
        QTest::newRow("empty key name") << QByteArray("[S]\n=v") << true;
        QTest::newRow("only blanks and comments")
            << QByteArray("[S]\n \n\t\n;c\n[T]\nK=v") << false;
        QTest::newRow("section absent") << QByteArray("[T]\nK=v") << false;
        QTest::newRow("entries only before the header") << QByteArray("K=v\n[S]") << false;
        QTest::newRow("entries only under the repeat") << QByteArray("[S]\n[T]\n[S]\nK=v") << false;
        QTest::newRow("empty file") << QByteArray() << false;
    }
    void sectionReadIsZeroExactlyWithoutEntries()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(bool, desEntrees);
        char16_t tampon[200];
        QCOMPARE(doc(fichier)->lireSection(u"S", tampon, 200) > 0, desEntrees);
    }

    void sectionReadFillsTheBufferLikeTheService()
    {
        const auto court = doc("[S]\nA=1\n  B = 2 \nC\n");
        char16_t tampon[200];
        const int n = court->lireSection(u"s", tampon, 200);
        QCOMPARE(std::u16string(tampon, static_cast<size_t>(n) + 1),
                 std::u16string(u"A=1\0B = 2\0C\0\0", 13));

        QByteArray longue("[S]\n");
        for (int i = 1; i <= 100; ++i)
            longue += "KEY" + QByteArray::number(i) + "=value\n";
        QCOMPARE(doc(longue)->lireSection(u"S", tampon, 200), 198);
    }

    void valuesAreCutAt199CharactersAfterDecoding_data()
    {
        QTest::addColumn<QByteArray>("valeur");
        QTest::addColumn<int>("capacite");
        QTest::addColumn<QString>("attendu");

        const QString a199(199, QLatin1Char('a'));
        QTest::newRow("199 characters whole") << QByteArray(199, 'a') << 200 << a199;
        QTest::newRow("comma at 200 is lost") << QByteArray(199, 'a') + ",rest" << 200 << a199;
        QTest::newRow("250 characters, comma at 220")
            << QByteArray(219, 'a') + "," + QByteArray(30, 'b') << 200 << a199;
        QTest::newRow("Windows-1252 counts characters")
            << QByteArray(250, '\xE9') << 200 << QString(199, QChar(0xE9));
        QTest::newRow("UTF-8 counts characters, not bytes")
            << QByteArray("\xC5\x93").repeated(250) << 200 << QString(199, QChar(0x153));
        QTest::newRow("a surrogate pair is never split")
            << QByteArray(198, 'a') + "\xF0\x9F\x98\x80" << 200 << QString(198, QLatin1Char('a'));
        QTest::newRow("capacity 1 holds only the NUL") << QByteArray("abc") << 1 << QString();
        QTest::newRow("capacity 0 copies nothing") << QByteArray("abc") << 0 << QString();
    }
    void valuesAreCutAt199CharactersAfterDecoding()
    {
        QFETCH(QByteArray, valeur);
        QFETCH(int, capacite);
        QFETCH(QString, attendu);
        int n = -1;
        QCOMPARE(lire(*doc("[S]\nK=" + valeur), "S", "K", capacite, &n), attendu);
        QCOMPARE(n, attendu.size());
    }

    void absentKeyGivesTheDefault()
    {
        const auto d = doc("[S]\nK=v");
        char16_t tampon[8];
        QCOMPARE(d->lireValeur(u"S", u"X", u"default value", tampon, 8), 7);
        QCOMPARE(std::u16string(tampon), u"default");
        QCOMPARE(d->lireValeur(u"T", u"K", u"", tampon, 8), 0);
    }

    void decodesTheThreeEncodings_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<QString>("attendu");

        const QString accents = QString::fromUtf8("é œ € ’");
        const QByteArray texte = "[S]\r\nK=" + accents.toUtf8() + "\r\n";
        QTest::newRow("Windows-1252") << QByteArray("[S]\r\nK=\xE9 \x9C \x80 \x92\r\n") << accents;
        QTest::newRow("UTF-8 without mark") << texte << accents;
        QTest::newRow("UTF-8 with mark") << "\xEF\xBB\xBF" + texte << accents;
        QTest::newRow("UTF-16LE with mark") << utf16le(QString::fromUtf8(texte)) << accents;
        QTest::newRow("undefined Windows-1252 byte kept as its code point")
            << QByteArray("[S]\nK=\x81\x8D\x8F\x90\x9D")
            << QStringLiteral("\u0081\u008D\u008F\u0090\u009D");
        QTest::newRow("one bad byte makes the whole file Windows-1252")
            << QByteArray("[S]\nK=\xC3\xA9\n[T]\nX=\xE9") << QString::fromUtf8("Ã©");
        QTest::newRow("overlong UTF-8 is no UTF-8")
            << QByteArray("[S]\nK=\xC0\xAF") << QString::fromUtf8("À¯");
        QTest::newRow("malformed bytes after a UTF-8 mark")
            << QByteArray("\xEF\xBB\xBF[S]\nK=a\xE9z\xF0\x9F") << QStringLiteral("a\uFFFDz\uFFFD");
        QTest::newRow("character outside the BMP")
            << QByteArray("[S]\nK=\xF0\x9F\x98\x80") << QString::fromUtf8("\xF0\x9F\x98\x80");
    }
    void decodesTheThreeEncodings()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(QString, attendu);
        QCOMPARE(lire(*doc(fichier), "S", "K", 200), attendu);
    }

    void encodingIsToldFromTheBytes()
    {
        using ini::Codage;
        const auto codage = [](std::string_view s) { return ini::detecterCodage(s); };
        QCOMPARE(codage("plain ASCII"), Codage::Utf8);
        QCOMPARE(codage("caf\xC3\xA9"), Codage::Utf8);
        QCOMPARE(codage("caf\xE9"), Codage::Windows1252);
        QCOMPARE(codage("\xED\xA0\x80"), Codage::Windows1252);     // an encoded surrogate
        QCOMPARE(codage("\xF4\x90\x80\x80"), Codage::Windows1252); // above U+10FFFF
        QCOMPARE(codage(std::string_view("\xFF\xFE[\0S\0]\0", 8)), Codage::Utf16LE);
    }

    // Random bytes drawn from the characters the parser cares about: every
    // read must stay in its buffer and keep its promises.
    void anyBytesParseAndReadSafely()
    {
        const char alphabet[] = "[]=;\"' \t\r\n\0SKAk1,\xE9\xC3\xA9\xFF\xFE\x80\xF0";
        std::mt19937 hasard(20240601);
        std::uniform_int_distribution<size_t> lettre(0, sizeof alphabet - 2);
        std::uniform_int_distribution<size_t> longueur(0, 400);
        for (int essai = 0; essai < 3000; ++essai) {
            std::string octets(longueur(hasard), '\0');
            for (char& o : octets)
                o = alphabet[lettre(hasard)];
            const auto d = ini::Document::depuisOctets(octets);
            char16_t tampon[16];
            for (std::u16string_view cle : {u"K", u"k1", u"A", u""}) {
                const int n = d->lireValeur(u"S", cle, u"", tampon, 16);
                QVERIFY(n >= 0 && n <= 15 && tampon[n] == u'\0');
                const auto v = d->valeur(u"S", cle);
                QVERIFY(!v || v->find(u'\0') == std::u16string_view::npos);
            }
            const int s = d->lireSection(u"S", tampon, 16);
            QVERIFY(s >= 0 && s <= 14 && tampon[s] == u'\0' && tampon[s + 1] == u'\0');
        }
    }
};

QTEST_GUILESS_MAIN(TstIniDocument)
#include "tst_ini_document.moc"
