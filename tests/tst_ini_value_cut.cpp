// Cutting values at their commas, including values that lack the commas
// their form needs.
#include "catalogue/value_cut.h"

#include <QTest>

namespace
{
QString q(std::u16string_view v)
{
    return QString::fromUtf16(v.data(), qsizetype(v.size()));
}
} // namespace

class TstIniValueCut : public QObject
{
    Q_OBJECT
private slots:
    void termAndMeaningSplitAtTheFirstComma_data()
    {
        QTest::addColumn<QString>("valeur");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("terme");
        QTest::addColumn<QString>("sens");
        QTest::newRow("meaning keeps its commas") << "TCP,a,b" << 4 << "TCP"
                                                  << "a,b";
        QTest::newRow("nothing trimmed") << " a , b " << 4 << " a "
                                         << " b ";
        QTest::newRow("empty term") << ",x" << 1 << ""
                                    << "x";
        QTest::newRow("no comma: all term, no meaning") << "lonely" << 0 << "lonely"
                                                        << "";
        QTest::newRow("empty value") << "" << 0 << ""
                                     << "";
    }
    void termAndMeaningSplitAtTheFirstComma()
    {
        QFETCH(QString, valeur);
        QFETCH(int, position);
        QFETCH(QString, terme);
        QFETCH(QString, sens);
        const std::u16string v = valeur.toStdU16String();
        QCOMPARE(catalogue::positionVirgule(v), position);
        QCOMPARE(q(catalogue::terme(v)), terme);
        QCOMPARE(q(catalogue::sens(v)), sens);
    }

    void ipPortValuesGiveFourFieldsAndTheRest_data()
    {
        QTest::addColumn<QString>("valeur");
        QTest::addColumn<QString>("champs"); // fields 2 to 5 joined by "|"
        QTest::addColumn<QString>("reste");
        QTest::addColumn<bool>("complet");
        QTest::newRow("six fields") << "http,tcp,80,tcp,1024-65535,Web"
                                    << "tcp|80|tcp|1024-65535"
                                    << "Web" << true;
        QTest::newRow("rest keeps its commas") << "a,b,c,d,e,f,g"
                                               << "b|c|d|e"
                                               << "f,g" << true;
        QTest::newRow("nothing after the fifth comma") << "a,b,c,d,e,"
                                                       << "b|c|d|e"
                                                       << "" << true;
        QTest::newRow("empty fields") << "a,,, ,,z"
                                      << "|| |"
                                      << "z" << true;
        QTest::newRow("four commas") << "a,b,c,d,e"
                                     << "b|c|d|e"
                                     << "" << false;
        QTest::newRow("two commas") << "a,b,c"
                                    << "b|c||"
                                    << "" << false;
        QTest::newRow("no comma") << "a"
                                  << "|||"
                                  << "" << false;
    }
    void ipPortValuesGiveFourFieldsAndTheRest()
    {
        QFETCH(QString, valeur);
        QFETCH(QString, champs);
        QFETCH(QString, reste);
        QFETCH(bool, complet);
        const std::u16string v = valeur.toStdU16String();
        const catalogue::ChampsIpPort c = catalogue::champsIpPort(v);
        QStringList obtenus;
        for (std::u16string_view champ : c.champs)
            obtenus << q(champ);
        QCOMPARE(obtenus.join('|'), champs);
        QCOMPARE(q(c.reste), reste);
        QCOMPARE(catalogue::aAssezDeVirgules(v, 5), complet);
        QCOMPARE(catalogue::aAssezDeVirgules(v, 1), valeur.contains(','));
    }
};

QTEST_GUILESS_MAIN(TstIniValueCut)
#include "tst_ini_value_cut.moc"
