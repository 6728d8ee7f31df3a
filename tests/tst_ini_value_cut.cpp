// Cutting values at their commas, including values that lack the commas
// their form needs.
#include "catalogue/value_cut.h"

#include <QTest>

namespace
{

std::u16string u16(const QString& s)
{
    return s.toStdU16String();
}

QString q(std::u16string_view v)
{
    return QString::fromUtf16(v.data(), static_cast<qsizetype>(v.size()));
}

} // namespace

class TstIniValueCut : public QObject
{
    Q_OBJECT
private slots:
    void commaPositionsCountFromOne_data()
    {
        QTest::addColumn<QString>("valeur");
        QTest::addColumn<int>("debut");
        QTest::addColumn<int>("attendu");
        QTest::newRow("first comma") << "ab,c,d" << 1 << 3;
        QTest::newRow("search from the comma itself") << "ab,c,d" << 3 << 3;
        QTest::newRow("search past it") << "ab,c,d" << 4 << 5;
        QTest::newRow("value starting with a comma") << ",x" << 1 << 1;
        QTest::newRow("no comma") << "abc" << 1 << 0;
        QTest::newRow("empty value") << "" << 1 << 0;
        QTest::newRow("start past the end") << "a," << 5 << 0;
        QTest::newRow("start below one") << "a," << -3 << 2;
    }
    void commaPositionsCountFromOne()
    {
        QFETCH(QString, valeur);
        QFETCH(int, debut);
        QFETCH(int, attendu);
        QCOMPARE(catalogue::positionVirgule(u16(valeur), debut), attendu);
    }

    void termAndMeaningSplitAtTheFirstComma_data()
    {
        QTest::addColumn<QString>("valeur");
        QTest::addColumn<QString>("terme");
        QTest::addColumn<QString>("sens");
        QTest::newRow("acronym") << "TCP,Transmission Control Protocol"
                                 << "TCP"
                                 << "Transmission Control Protocol";
        QTest::newRow("meaning keeps its commas") << "a,b,c"
                                                  << "a"
                                                  << "b,c";
        QTest::newRow("nothing trimmed") << " a , b "
                                         << " a "
                                         << " b ";
        QTest::newRow("empty term") << ",x"
                                    << ""
                                    << "x";
        QTest::newRow("empty meaning") << "x,"
                                       << "x"
                                       << "";
        QTest::newRow("no comma: all term, no meaning") << "lonely"
                                                        << "lonely"
                                                        << "";
        QTest::newRow("empty value") << ""
                                     << ""
                                     << "";
    }
    void termAndMeaningSplitAtTheFirstComma()
    {
        QFETCH(QString, valeur);
        QFETCH(QString, terme);
        QFETCH(QString, sens);
        const std::u16string v = u16(valeur);
        QCOMPARE(q(catalogue::terme(v)), terme);
        QCOMPARE(q(catalogue::sens(v)), sens);
    }

    void ipPortValuesGiveFourFieldsAndTheRest_data()
    {
        QTest::addColumn<QString>("valeur");
        QTest::addColumn<QStringList>("champs");
        QTest::addColumn<QString>("reste");
        QTest::addColumn<bool>("complet");
        QTest::newRow("six fields")
            << "http,TCP,80,TCP,1024-65535,Web" << QStringList{"TCP", "80", "TCP", "1024-65535"}
            << "Web" << true;
        QTest::newRow("rest keeps its commas")
            << "a,b,c,d,e,f,g,h" << QStringList{"b", "c", "d", "e"} << "f,g,h" << true;
        QTest::newRow("nothing after the fifth comma")
            << "a,b,c,d,e," << QStringList{"b", "c", "d", "e"} << "" << true;
        QTest::newRow("empty fields") << "a,,, ,,z" << QStringList{"", "", " ", ""} << "z" << true;
        QTest::newRow("four commas")
            << "a,b,c,d,e" << QStringList{"b", "c", "d", "e"} << "" << false;
        QTest::newRow("two commas") << "a,b,c" << QStringList{"b", "c", "", ""} << "" << false;
        QTest::newRow("no comma") << "a" << QStringList{"", "", "", ""} << "" << false;
    }
    void ipPortValuesGiveFourFieldsAndTheRest()
    {
        QFETCH(QString, valeur);
        QFETCH(QStringList, champs);
        QFETCH(QString, reste);
        QFETCH(bool, complet);
        const std::u16string v = u16(valeur);
        const catalogue::ChampsIpPort c = catalogue::champsIpPort(v);
        QStringList obtenus;
        for (std::u16string_view champ : c.champs)
            obtenus << q(champ);
        QCOMPARE(obtenus, champs);
        QCOMPARE(q(c.reste), reste);
        QCOMPARE(catalogue::aAssezDeVirgules(v, 5), complet);
    }

    void syntaxCheckCountsCommas()
    {
        QVERIFY(catalogue::aAssezDeVirgules(u",", 1));
        QVERIFY(!catalogue::aAssezDeVirgules(u"abc", 1));
        QCOMPARE(catalogue::positionVirguleNumero(u"a,b,c", 2), 4);
        QCOMPARE(catalogue::positionVirguleNumero(u"a,b,c", 3), 0);
        QCOMPARE(catalogue::positionVirguleNumero(u"a,b,c", 0), 0);
    }
};

QTEST_GUILESS_MAIN(TstIniValueCut)
#include "tst_ini_value_cut.moc"
