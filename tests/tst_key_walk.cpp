// The data-file reads as the handlers use them: the path, the section and
// value reads on LISTORA.DAT in the current directory, and the key walk.
#include "catalogue/constant.h"
#include "catalogue/data_file.h"
#include "catalogue/key_walk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace
{

void ecrireDat(const QByteArray& octets)
{
    QFile f(QDir::current().filePath("LISTORA.DAT"));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(octets), octets.size());
}

// Every value a pass over `c` reads, in order.
QStringList passe(const catalogue::Catalogue& c)
{
    QStringList lus;
    Debut_Passe();
    while (Cle_Suivante(c)) {
        if (CONSTANT::Tampon.size() != CONSTANT::Longueur)
            qFatal("Tampon is not cut to Longueur");
        lus << CONSTANT::Tampon;
    }
    return lus;
}

} // namespace

class TstKeyWalk : public QObject
{
    Q_OBJECT
    QTemporaryDir dossier;
    QString ancien;

private slots:
    void initTestCase()
    {
        QVERIFY(dossier.isValid());
        ancien = QDir::currentPath();
    }
    void init()
    {
        // Each test starts in an empty folder of its own.
        const QString sous = dossier.filePath(QTest::currentTestFunction() +
                                              QString::fromUtf8(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(sous));
        QVERIFY(QDir::setCurrent(sous));
    }
    void cleanupTestCase() { QDir::setCurrent(ancien); }

    void pathIsTheCurrentDirectoryAndTheName()
    {
        const std::string ici = QFile::encodeName(QDir::currentPath()).toStdString();
        QCOMPARE(Chemin_Fichier(), ici + "/LISTORA.DAT");
        QVERIFY(QDir::setCurrent(".."));
        QCOMPARE(Chemin_Fichier(), ici.substr(0, ici.rfind('/')) + "/LISTORA.DAT");
    }

    void passReadsFromKeyOneToTheFirstMissingOrEmptyKey_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<QStringList>("lus");
        QTest::newRow("gap at 3: key 4 never read")
            << QByteArray("[ACRONYMES]\nACRO1=a,1\nACRO2=b,2\nACRO4=d,4\n")
            << QStringList{"a,1", "b,2"};
        QTest::newRow("empty value ends the pass")
            << QByteArray("[ACRONYMES]\nACRO1=a,1\nACRO2=\nACRO3=c,3\n") << QStringList{"a,1"};
        QTest::newRow("ACRO10 is not ACRO1")
            << QByteArray("[ACRONYMES]\nACRO10=j,10\nACRO11=k,11\n") << QStringList{};
        QTest::newRow("ten keys, in number order not line order")
            << QByteArray("[ACRONYMES]\nACRO10=10\nACRO2=2\nACRO1=1\nACRO3=3\nACRO4=4\n"
                          "ACRO5=5\nACRO6=6\nACRO7=7\nACRO8=8\nACRO9=9\n")
            << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
        QTest::newRow("keys of another catalogue")
            << QByteArray("[ACRONYMES]\nMIME1=x,y\n[MIME-TYPES]\nACRO1=x,y\n") << QStringList{};
        QTest::newRow("no data file") << QByteArray() << QStringList{};
    }
    void passReadsFromKeyOneToTheFirstMissingOrEmptyKey()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(QStringList, lus);
        if (!fichier.isEmpty())
            ecrireDat(fichier);
        QCOMPARE(passe(catalogue::Acronymes), lus);
        QCOMPARE(CONSTANT::Num_Cle, int16_t(lus.size() + 1));
        QCOMPARE(CONSTANT::Longueur, int16_t(0));
        QVERIFY(CONSTANT::Tampon.isEmpty());
    }

    void passNeverGoesPastKey32767()
    {
        ecrireDat("[IP-PORTS]\nPROTO32767=last,a,b,c,d,e\nPROTO32768=never,a,b,c,d,e\n");
        Debut_Passe();
        CONSTANT::Num_Cle = 32766;
        QVERIFY(Cle_Suivante(catalogue::IpPorts));
        QCOMPARE(CONSTANT::Tampon, "last,a,b,c,d,e");
        QVERIFY(!Cle_Suivante(catalogue::IpPorts));
        QVERIFY(!Cle_Suivante(catalogue::IpPorts));
        QCOMPARE(CONSTANT::Num_Cle, int16_t(32767));
        QCOMPARE(CONSTANT::Longueur, int16_t(0));
    }

    void keyNamesArePlainDecimal()
    {
        QVERIFY(Nom_Cle(catalogue::Acronymes, 10) == u"ACRO10");
        QVERIFY(Nom_Cle(catalogue::IpPorts, 32767) == u"PROTO32767");
    }

    void valueReadCutsAt199AndDecodes_data()
    {
        QTest::addColumn<QByteArray>("valeur");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("comma at 200 is lost")
            << QByteArray(199, 'x') + ",meaning" << QString(199, QLatin1Char('x'));
        QTest::newRow("Windows-1252")
            << QByteArray("\xE9t\xE9 \x9C \x80,a") << QString::fromUtf8("été œ €,a");
        QTest::newRow("UTF-8") << QByteArray("été œ €,a") << QString::fromUtf8("été œ €,a");
        QTest::newRow("empty") << QByteArray() << QString();
    }
    void valueReadCutsAt199AndDecodes()
    {
        QFETCH(QByteArray, valeur);
        QFETCH(QString, attendu);
        ecrireDat("[MIME-TYPES]\r\nMIME1=" + valeur + "\r\n");
        QString Tampon(255, QLatin1Char(' '));
        const int16_t n = Lire_Cle("MIME-TYPES", QStringLiteral("MIME1"), QString(), Tampon, 200,
                                   Chemin_Fichier());
        QCOMPARE(n, int16_t(attendu.size()));
        QCOMPARE(Tampon, attendu);
    }

    void valueReadGivesTheDefaultWhenAbsent()
    {
        QString Tampon;
        QCOMPARE(Lire_Cle("ACRONYMES", QStringLiteral("ACRO1"), QStringLiteral("none"), Tampon, 200,
                          Chemin_Fichier()),
                 int16_t(4));
        QCOMPARE(Tampon, "none");
        // The default may even be the buffer itself.
        QCOMPARE(
            Lire_Cle("ACRONYMES", QStringLiteral("ACRO1"), Tampon, Tampon, 200, Chemin_Fichier()),
            int16_t(4));
        QCOMPARE(Tampon, "none");
    }

    void sectionReadTellsWhetherTheSectionHoldsEntries()
    {
        QString Tampon;
        QCOMPARE(Lire_Section("ACRONYMES", Tampon, 200, Chemin_Fichier()), int16_t(0));
        ecrireDat("[ACRONYMES]\n; nothing yet\n[MIME-TYPES]\nsomething\n");
        QCOMPARE(Lire_Section("ACRONYMES", Tampon, 200, Chemin_Fichier()), int16_t(0));
        QVERIFY(Lire_Section("MIME-TYPES", Tampon, 200, Chemin_Fichier()) > 0);
        QVERIFY(QFile::remove("LISTORA.DAT"));
        QVERIFY(QDir().mkdir("LISTORA.DAT"));
        QCOMPARE(Lire_Section("MIME-TYPES", Tampon, 200, Chemin_Fichier()), int16_t(0));
    }

    void editBetweenTwoPassesIsSeen()
    {
        ecrireDat("[ACRONYMES]\nACRO1=a,1\nACRO2=b,2\n");
        QCOMPARE(passe(catalogue::Acronymes), (QStringList{"a,1", "b,2"}));
        ecrireDat("[ACRONYMES]\nACRO1=A,1\nACRO2=b,2\nACRO3=c,3\n");
        QCOMPARE(passe(catalogue::Acronymes), (QStringList{"A,1", "b,2", "c,3"}));
    }
};

QTEST_GUILESS_MAIN(TstKeyWalk)
#include "tst_key_walk.moc"
