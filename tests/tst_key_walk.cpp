// The data-file reads the handlers make on LISTORA.DAT in the current
// directory: the section read and the walk over a catalogue's keys, on
// ordinary files and on files shaped to make a walk slow.
#include "catalogue/data_file.h"
#include "catalogue/key_walk.h"
#include "window_fixture.h"

#include <QRegularExpression>

#include <algorithm>
#include <random>

using fixture::ecrireDat;

namespace
{

// The values of a pass over the acronyms of the data file; `fin` receives
// the number of the key that ended it.
QStringList passe(int* fin = nullptr)
{
    QStringList vus;
    catalogue::Passe p(catalogue::Acronymes, versionFichier(Chemin_Fichier()));
    while (p.suivante())
        vus << p.valeur().toString();
    if (fin)
        *fin = p.numero();
    return vus;
}

// "ACRO<n>=T<n>" for each n of `ordre`, each line followed by `entre`.
QByteArray cles(const QList<int>& ordre, const QByteArray& entre = {})
{
    QByteArray octets;
    for (int n : ordre)
        octets += "ACRO" + QByteArray::number(n) + "=T" + QByteArray::number(n) + '\n' + entre;
    return octets;
}

QList<int> de1A(int n, bool aLEnvers = false)
{
    QList<int> l;
    for (int i = 1; i <= n; ++i)
        l << (aLEnvers ? n + 1 - i : i);
    return l;
}

QStringList valeurs(int n)
{
    QStringList v;
    for (int i = 1; i <= n; ++i)
        v << "T" + QString::number(i);
    return v;
}

} // namespace

class TstKeyWalk : public QObject
{
    Q_OBJECT
    fixture::DossierParTest dossier;

private slots:
    void init() { dossier.entrer(); }

    // Both reads the program makes, the section and the pass, cut values to
    // 199 characters and find the file in the current directory at the time.
    void readsFollowTheCurrentDirectory()
    {
        ecrireDat("[MIME-TYPES]\n; nothing yet\n[ACRONYMES]\r\nACRO1=\xE9" + QByteArray(198, 'x') +
                  ",lost\r\n");
        QVERIFY(!Lire_Section(versionFichier(Chemin_Fichier()).get(), "MIME-TYPES"));
        QCOMPARE(passe(), QStringList{QString::fromUtf8("é") + QString(198, 'x')});
        QVERIFY(QDir().mkdir("autre") && QDir::setCurrent("autre"));
        QVERIFY(!Lire_Section(versionFichier(Chemin_Fichier()).get(), "ACRONYMES"));
        QCOMPARE(passe(), QStringList());
        ecrireDat("[ACRONYMES]\nACRO1=autre,2\n");
        QVERIFY(Lire_Section(versionFichier(Chemin_Fichier()).get(), "ACRONYMES"));
        QCOMPARE(passe(), QStringList{"autre,2"});
    }

    // A pass from key 1 to the first missing or empty key, never past key
    // 32767; its counter stays on the key that ended it. The last rows are
    // files shaped so that a walk which scans the same lines again for each
    // key would take minutes: each must read its keys in one go.
    void passReadsUpToTheFirstMissingOrEmptyKey_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<QStringList>("lus");
        QTest::addColumn<int>("fin");
        QTest::newRow("gap at 3: key 4 never read")
            << QByteArray("[ACRONYMES]\nACRO1=a,1\nACRO2=b,2\nACRO4=d,4\n")
            << QStringList{"a,1", "b,2"} << 3;
        QTest::newRow("empty value ends the pass")
            << QByteArray("[ACRONYMES]\nACRO1=a,1\nACRO2=\nACRO3=c,3\n") << QStringList{"a,1"} << 2;
        QTest::newRow("ten keys, in number order not line order, ACRO10 not ACRO1")
            << QByteArray("[ACRONYMES]\nACRO10=10\nACRO2=2\nACRO1=1\nACRO3=3\nACRO4=4\n"
                          "ACRO5=5\nACRO6=6\nACRO7=7\nACRO8=8\nACRO9=9\n")
            << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"} << 11;
        // A walk tries the line after the last key it read before the table:
        // the rows where that line is not the answer.
        QTest::newRow("a repeated key: the first one wins, not the next line")
            << QByteArray("[ACRONYMES]\nACRO2=early\nACRO1=a\nACRO2=late\nACRO3=c\n")
            << QStringList{"a", "early", "c"} << 4;
        QTest::newRow("a key written twice, read out of order: the first one wins")
            << QByteArray("[ACRONYMES]\nACRO3=x\nACRO2=early\nACRO1=a\nACRO2=late\n")
            << QStringList{"a", "early", "x"} << 4;
        QTest::newRow("notes, blanks, quotes and case between keys")
            << QByteArray("[ACRONYMES]\r\n ACRO1 = \"a\"  \r\n; ACRO2=no\r\n\r\nstray\r\n"
                          "acro2=b\r\n[MIME-TYPES]\r\nACRO3=other section\r\n")
            << QStringList{"a", "b"} << 3;
        QTest::newRow("out of order, last line without its end")
            << QByteArray("[ACRONYMES]\nACRO2=b\nACRO1=a") << QStringList{"a", "b"} << 3;
        QTest::newRow("no data file") << QByteArray() << QStringList{} << 1;
        QTest::newRow("key 32768 never read")
            << "[ACRONYMES]\n" + cles(de1A(32768, true)) << valeurs(32767) << 32767;

        const QByteArray notes = QByteArray(";\n").repeated(20000);
        QTest::newRow("20,000 notes, then the keys backwards")
            << "[ACRONYMES]\n" + notes + cles(de1A(3000, true)) << valeurs(3000) << 3001;
        QList<int> melees = de1A(3000);
        std::mt19937 hasard(7);
        std::shuffle(melees.begin(), melees.end(), hasard);
        QTest::newRow("junk lines between shuffled keys")
            << "[ACRONYMES]\n" + cles(melees, "junk\n; note\n\n=\nACRO=x\n") << valeurs(3000)
            << 3001;
        QTest::newRow("the header repeated before every key: only the first block counts")
            << cles(de1A(3000), "[acronymes]\n").prepend("[ACRONYMES]\n") << valeurs(1) << 2;
        QTest::newRow("a long line where a walk stops, keys backwards")
            << "[ACRONYMES]\nACRO3002=" + QByteArray(1 << 20, 'x') + "\n" + cles(de1A(3000, true))
            << valeurs(3000) << 3001;
        QTest::newRow("one name written 20,000 times before the keys")
            << "[ACRONYMES]\n" + QByteArray("ACRO2=first\n").repeated(20000) +
                   cles(de1A(3000, true))
            << valeurs(3000).replaceInStrings(QRegularExpression("^T2$"), "first") << 3001;
        // Line ends and headers shaped so that finding a line's end or a
        // header's name costs the rest of the file.
        QTest::newRow("only CR line ends, keys backwards")
            << QByteArray("[ACRONYMES]\n" + cles(de1A(3000, true))).replace('\n', '\r')
            << valeurs(3000) << 3001;
        QTest::newRow("only CR line ends, in Windows-1252")
            << QByteArray("[ACRONYMES]\rACRO2=th\xE9\rACRO1=caf\xE9\r")
            << QStringList{QString::fromUtf8("café"), QString::fromUtf8("thé")} << 3;
        QTest::newRow("a header repeated after a long first header line")
            << "[ACRONYMES] ;" + QByteArray(1 << 20, 'x') + "\nACRO1=A,b\n" +
                   QByteArray("[ACRONYMES]\n").repeated(20000) + "ACRO2=C,c\n"
            << QStringList{"A,b"} << 2;
        QTest::newRow("NUL pairs at the start, read as text")
            << QByteArray("\0;", 2).repeated(3000) + "\n[ACRONYMES]\nACRO1=a\nACRO2=b\n"
            << QStringList{"a", "b"} << 3;
    }
    void passReadsUpToTheFirstMissingOrEmptyKey()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(QStringList, lus);
        QFETCH(int, fin);
        ecrireDat(fichier);
        int arret = 0;
        QCOMPARE(passe(&arret), lus);
        QCOMPARE(arret, fin);
    }
};

QTEST_GUILESS_MAIN(TstKeyWalk)
#include "tst_key_walk.moc"
