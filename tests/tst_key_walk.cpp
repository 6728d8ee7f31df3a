// The data-file reads the handlers make on LISTORA.DAT in the current
// directory: the section read and the walk over a catalogue's keys.
#include "catalogue/constant.h"
#include "catalogue/data_file.h"
#include "catalogue/key_walk.h"
#include "window_fixture.h"

using fixture::ecrireDat;

namespace
{

// The values of a pass over the acronyms from the key after `depart`.
QStringList passe(int depart = 0)
{
    QStringList vus;
    debutPasse();
    CONSTANT::Num_Cle = int16_t(depart);
    while (cleSuivante(catalogue::Acronymes)) {
        [&] { QVERIFY(CONSTANT::Tampon.size() == CONSTANT::Longueur); }();
        vus << CONSTANT::Tampon;
    }
    return vus;
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
        QString Tampon;
        QCOMPARE(Lire_Section("MIME-TYPES", Tampon, 200, Chemin_Fichier()), 0);
        QCOMPARE(passe(), QStringList{QString::fromUtf8("é") + QString(198, 'x')});
        QVERIFY(QDir().mkdir("autre") && QDir::setCurrent("autre"));
        QCOMPARE(Lire_Section("ACRONYMES", Tampon, 200, Chemin_Fichier()), 0);
        QCOMPARE(passe(), QStringList());
        ecrireDat("[ACRONYMES]\nACRO1=autre,2\n");
        QVERIFY(Lire_Section("ACRONYMES", Tampon, 200, Chemin_Fichier()) > 0);
        QCOMPARE(passe(), QStringList{"autre,2"});
    }

    // A pass from the key after `depart` to the first missing or empty key,
    // never past key 32767; Num_Cle stays on the key that ended it.
    void passReadsUpToTheFirstMissingOrEmptyKey_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<int>("depart");
        QTest::addColumn<QStringList>("lus");
        QTest::addColumn<int>("fin");
        QTest::newRow("gap at 3: key 4 never read")
            << QByteArray("[ACRONYMES]\nACRO1=a,1\nACRO2=b,2\nACRO4=d,4\n") << 0
            << QStringList{"a,1", "b,2"} << 3;
        QTest::newRow("empty value ends the pass")
            << QByteArray("[ACRONYMES]\nACRO1=a,1\nACRO2=\nACRO3=c,3\n") << 0 << QStringList{"a,1"}
            << 2;
        QTest::newRow("ten keys, in number order not line order, ACRO10 not ACRO1")
            << QByteArray("[ACRONYMES]\nACRO10=10\nACRO2=2\nACRO1=1\nACRO3=3\nACRO4=4\n"
                          "ACRO5=5\nACRO6=6\nACRO7=7\nACRO8=8\nACRO9=9\n")
            << 0 << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"} << 11;
        // A walk tries the line after the last key it read before the table:
        // the rows where that line is not the answer.
        QTest::newRow("a repeated key: the first one wins, not the next line")
            << QByteArray("[ACRONYMES]\nACRO2=early\nACRO1=a\nACRO2=late\nACRO3=c\n") << 0
            << QStringList{"a", "early", "c"} << 4;
        QTest::newRow("notes, blanks, quotes and case between keys")
            << QByteArray("[ACRONYMES]\r\n ACRO1 = \"a\"  \r\n; ACRO2=no\r\n\r\nstray\r\n"
                          "acro2=b\r\n[MIME-TYPES]\r\nACRO3=other section\r\n")
            << 0 << QStringList{"a", "b"} << 3;
        QTest::newRow("out of order, last line without its end")
            << QByteArray("[ACRONYMES]\nACRO2=b\nACRO1=a") << 0 << QStringList{"a", "b"} << 3;
        QTest::newRow("no data file") << QByteArray() << 0 << QStringList{} << 1;
        QTest::newRow("key 32768 never read")
            << QByteArray("[ACRONYMES]\nACRO32767=last\nACRO32768=never\n") << 32766
            << QStringList{"last"} << 32767;
    }
    void passReadsUpToTheFirstMissingOrEmptyKey()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(int, depart);
        QFETCH(QStringList, lus);
        QFETCH(int, fin);
        ecrireDat(fichier);
        QCOMPARE(passe(depart), lus);
        QVERIFY(CONSTANT::Num_Cle == fin && CONSTANT::Longueur == 0);
    }
};

QTEST_GUILESS_MAIN(TstKeyWalk)
#include "tst_key_walk.moc"
