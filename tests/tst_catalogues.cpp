// The fixed per-catalogue values that several windows rely on.
#include "catalogue/catalogues.h"

#include <QTest>

class TstCatalogues : public QObject {
    Q_OBJECT
private slots:
    void numbersNameEachCatalogueOnce()
    {
        QCOMPARE(catalogue::parNumero(1), &catalogue::IpPorts);
        QCOMPARE(catalogue::parNumero(2), &catalogue::Acronymes);
        QCOMPARE(catalogue::parNumero(3), &catalogue::MimeTypes);
        QVERIFY(catalogue::parNumero(0) == nullptr);
        QVERIFY(catalogue::parNumero(4) == nullptr);
    }
    void onlyTheIpPortTailHasTwoBlanks()
    {
        QCOMPARE(QString::fromUtf8(catalogue::IpPorts.queueRecherche),
                 QStringLiteral(") ---  Recherche Activée"));
        QCOMPARE(QString::fromUtf8(catalogue::MimeTypes.queueRecherche),
                 QStringLiteral(") --- Recherche Activée"));
    }
};

QTEST_GUILESS_MAIN(TstCatalogues)
#include "tst_catalogues.moc"
