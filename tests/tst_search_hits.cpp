// The search without a window: the term of every value that holds the
// string, in key order.
#include "search/search.h"
#include "window_fixture.h"

class TstSearchHits : public QObject
{
    Q_OBJECT
    fixture::DossierParTest dossier;

private slots:
    void init() { dossier.entrer(); }

    void termOfEveryValueHoldingTheString_data()
    {
        QTest::addColumn<QByteArray>("valeurs"); // of keys 1, 2, ... of the acronyms
        QTest::addColumn<QString>("chaine");
        QTest::addColumn<bool>("ignorerCasse");
        QTest::addColumn<QStringList>("trouves");
        const auto row = [](const char* nom, const QByteArray& valeurs, const QString& chaine,
                            bool ignorerCasse, const QStringList& trouves) {
            QTest::newRow(nom) << valeurs << chaine << ignorerCasse << trouves;
        };
        const QByteArray tcpUdp("TCP,Transmission Control Protocol\nUDP,User Datagram Protocol");
        row("case ignored, hit in the meaning only", tcpUdp, "datagram", true, {"UDP"});
        row("case kept", tcpUdp, "datagram", false, {});
        row("accented capital matches, accents still count", "SAISON,\xC9t\xE9\nX,ete", "été", true,
            {"SAISON"});
        // Folded as Qt folds for a case-insensitive comparison: the final
        // sigma, the Kelvin sign, a character beyond the first 65,536.
        const QByteArray plis("GR,\xCE\xA3\xCE\x91\xCE\xA3\nT,5 \xE2\x84\xAA\nDS,\xF0\x90\x90\x80");
        row("final sigma", plis, QString::fromUtf8("\xCF\x83\xCE\xB1\xCF\x82"), true, {"GR"});
        row("Kelvin sign", plis, "k", true, {"T"});
        row("beyond 65,536", plis, QString::fromUtf8("\xF0\x90\x90\xA8"), true, {"DS"});
        row("blanks in the string count", "W3,World Wide Web\nWEB,toile", " web", true, {"W3"});
        row("empty string: all in key order, repeats and no-comma terms, none past an empty key",
            "B,1\nA,2\nA,3\nSEUL\n\nD,x", "", false, {"B", "A", "A", "SEUL"});
        row("a comma: every value with one", "X,1\nSEUL\n,vide", ",", false, {"X", ""});
    }
    void termOfEveryValueHoldingTheString()
    {
        QFETCH(QByteArray, valeurs);
        QFETCH(QString, chaine);
        QFETCH(bool, ignorerCasse);
        QFETCH(QStringList, trouves);
        fixture::ecrireDat(fixture::section(catalogue::Acronymes, valeurs));
        QCOMPARE(fixture::termes(
                     search::termesTrouves(catalogue::Acronymes, chaine,
                                           ignorerCasse ? Qt::CaseInsensitive : Qt::CaseSensitive)),
                 trouves);
    }
};

QTEST_GUILESS_MAIN(TstSearchHits)
#include "tst_search_hits.moc"
