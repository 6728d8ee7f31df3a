// The data-file reads as the handlers use them: the path, the section and
// value reads on LISTORA.DAT in the current directory, and the key walk.
#include "catalogue/constant.h"
#include "catalogue/data_file.h"
#include "catalogue/key_walk.h"
#include "fenetre_fixture.h"

using fixture::ecrireDat;

namespace
{

// The value of `cle`, checked against the length the read returns.
QString cle(const char* section, const char* cle)
{
    QString Tampon(255, ' ');
    if (Lire_Cle(section, cle, "", Tampon, 200, Chemin_Fichier()) != Tampon.size())
        qFatal("the length returned is not the value's");
    return Tampon;
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
    fixture::DossierParTest dossier;

private slots:
    void init() { dossier.entrer(); }

    void readsFollowTheCurrentDirectory()
    {
        ecrireDat("[ACRONYMES]\n; nothing yet\n[MIME-TYPES]\r\nMIME1=" + QByteArray(199, 'x') +
                  ",lost\r\nMIME2=\xE9t\xE9\r\n");
        QCOMPARE(cle("MIME-TYPES", "MIME1"), QString(199, 'x'));
        QCOMPARE(cle("MIME-TYPES", "MIME2"), QString::fromUtf8("été"));
        // Absent: the default, which may even be the buffer itself.
        QString Tampon = "dflt";
        QCOMPARE(Lire_Cle("MIME-TYPES", "MIME3", Tampon, Tampon, 200, Chemin_Fichier()), 4);
        QCOMPARE(Tampon, "dflt");
        QCOMPARE(Lire_Section("ACRONYMES", Tampon, 200, Chemin_Fichier()), 0);
        QVERIFY(Lire_Section("MIME-TYPES", Tampon, 200, Chemin_Fichier()) > 0);
        QVERIFY(QDir().mkdir("autre") && QDir::setCurrent("autre"));
        QCOMPARE(Lire_Section("MIME-TYPES", Tampon, 200, Chemin_Fichier()), 0);
        ecrireDat("[MIME-TYPES]\nMIME1=autre,2\n");
        QCOMPARE(cle("MIME-TYPES", "MIME1"), "autre,2");
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
        QTest::newRow("ten keys, in number order not line order, ACRO10 not ACRO1")
            << QByteArray("[ACRONYMES]\nACRO10=10\nACRO2=2\nACRO1=1\nACRO3=3\nACRO4=4\n"
                          "ACRO5=5\nACRO6=6\nACRO7=7\nACRO8=8\nACRO9=9\n")
            << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
        QTest::newRow("no data file") << QByteArray() << QStringList{};
    }
    void passReadsFromKeyOneToTheFirstMissingOrEmptyKey()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(QStringList, lus);
        ecrireDat(fichier);
        QCOMPARE(passe(catalogue::Acronymes), lus);
        QCOMPARE(CONSTANT::Num_Cle, int16_t(lus.size() + 1));
        QCOMPARE(CONSTANT::Longueur, int16_t(0));
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
    }
};

QTEST_GUILESS_MAIN(TstKeyWalk)
#include "tst_key_walk.moc"
