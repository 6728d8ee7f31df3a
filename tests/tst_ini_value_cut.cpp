// Cutting values at their commas, including values that lack the commas
// their form needs.
#include "catalogue/value_cut.h"

#include <QTest>

class TstIniValueCut : public QObject
{
    Q_OBJECT
private slots:
    void valuesCutAtTheirCommas_data()
    {
        QTest::addColumn<QString>("valeur");
        QTest::addColumn<QString>("pieces"); // term, meaning, fields 2 to 5, rest; "|" between
        QTest::addColumn<bool>("complet");   // five commas at least
        const auto row = [](const char* nom, const char* v, const char* p, bool c) {
            QTest::newRow(nom) << QString(v) << QString(p) << c;
        };
        row("six fields", "http,tcp,80,tcp,1-9,Web", "http|tcp,80,tcp,1-9,Web|tcp|80|tcp|1-9|Web",
            true);
        row("rest keeps its commas", "a,b,c,d,e,f,g", "a|b,c,d,e,f,g|b|c|d|e|f,g", true);
        row("nothing after the fifth comma", "a,b,c,d,e,", "a|b,c,d,e,|b|c|d|e|", true);
        row("nothing trimmed, empty fields", " a ,, , b ,,z", " a |, , b ,,z|| | b ||z", true);
        row("four commas", "a,b,c,d,e", "a|b,c,d,e|b|c|d|e|", false);
        row("empty term", ",x", "|x|x||||", false);
        row("no comma: all term", "lonely", "lonely||||||", false);
        row("empty value", "", "||||||", false);
    }
    void valuesCutAtTheirCommas()
    {
        QFETCH(QString, valeur);
        QFETCH(QString, pieces);
        QFETCH(bool, complet);
        const std::u16string v = valeur.toStdU16String();
        const catalogue::ChampsIpPort c = catalogue::champsIpPort(v);
        QStringList obtenues;
        for (std::u16string_view p : {catalogue::terme(v), catalogue::sens(v), c.champs[0],
                                      c.champs[1], c.champs[2], c.champs[3], c.reste})
            obtenues << QString::fromUtf16(p.data(), qsizetype(p.size()));
        QCOMPARE(obtenues.join('|'), pieces);
        QCOMPARE(catalogue::positionVirgule(v), valeur.indexOf(',') + 1);
        QCOMPARE(catalogue::aAssezDeVirgules(v, 5), complet);
        QCOMPARE(catalogue::aAssezDeVirgules(v, 1), valeur.contains(','));
    }
};

QTEST_GUILESS_MAIN(TstIniValueCut)
#include "tst_ini_value_cut.moc"
