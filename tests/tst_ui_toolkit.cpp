// Units, centring, line breaks and the message-box seam of the toolkit layer.
#include "ui/msgbox.h"
#include "ui/toolkit.h"

#include <QTest>

class TstUiToolkit : public QObject
{
    Q_OBJECT

private slots:
    void twipsBecomePixelsRoundedToNearest_data()
    {
        QTest::addColumn<double>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("button width") << 1575.0 << 105;
        QTest::newRow("under half a pixel") << 7.0 << 0;
        QTest::newRow("half a pixel rounds up") << 7.5 << 1;
        QTest::newRow("negative half rounds away from zero") << -7.5 << -1;
    }
    void twipsBecomePixelsRoundedToNearest()
    {
        QFETCH(double, twips);
        QFETCH(int, pixels);
        QCOMPARE(ui::twipsEnPixels(twips), pixels);
    }

    void centringSubtractsTheTwoHalves_data()
    {
        QTest::addColumn<int>("ecran");
        QTest::addColumn<int>("taille");
        QTest::addColumn<float>("position");
        QTest::newRow("half the screen starts at a quarter") << 12000 << 6000 << 3000.0f;
        QTest::newRow("larger than the screen goes negative") << 9000 << 12000 << -1500.0f;
        QTest::newRow("odd sizes keep their halves") << 12001 << 6000 << 3000.5f;
        QTest::newRow("odd window size") << 12000 << 6225 << 2887.5f;
    }
    void centringSubtractsTheTwoHalves()
    {
        QFETCH(int, ecran);
        QFETCH(int, taille);
        QFETCH(float, position);
        QCOMPARE(ui::positionCentree(ecran, taille), position);
    }

    void carriageReturnsBecomeLineBreaks_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("affiche");
        QTest::newRow("lone carriage return") << "a\rb"
                                              << "a\nb";
        QTest::newRow("two give an empty line") << "a\r\rb"
                                                << "a\n\nb";
        QTest::newRow("leading carriage return") << "\rListora"
                                                 << "\nListora";
        QTest::newRow("CR LF is one break") << "a\r\nb"
                                            << "a\nb";
    }
    void carriageReturnsBecomeLineBreaks()
    {
        QFETCH(QString, texte);
        QFETCH(QString, affiche);
        QCOMPARE(ui::avecSautsDeLigne(texte), affiche);
    }

    void recorderTakesEveryBoxInOrderThenHandsBack()
    {
        ui::EnregistreurMsgBox exterieur;
        {
            QStringList lusPendantLaBoite;
            ui::EnregistreurMsgBox enregistreur(
                [&](const ui::MessageAffiche& m) { lusPendantLaBoite << m.titre; });
            ui::MsgBox(QStringLiteral("absent\r\rVérifier"), ui::StyleAttention,
                       QStringLiteral("Erreur Fichier"));
            ui::MsgBox(QStringLiteral("La ligne"), ui::StyleInformation,
                       QStringLiteral(" Erreur de Syntaxe"));

            const QList<ui::MessageAffiche>& vus = enregistreur.messages();
            QCOMPARE(vus.size(), 2);
            QCOMPARE(vus[0].prompt, QStringLiteral("absent\r\rVérifier")); // as given
            QVERIFY(vus[0].style == 48 && vus[1].style == 64);
            QCOMPARE(vus[1].titre, QStringLiteral(" Erreur de Syntaxe"));
            QCOMPARE(lusPendantLaBoite.size(), 2);
        }
        ui::MsgBox(QStringLiteral("Doublon"), ui::StyleCritique, QStringLiteral("Doublon"));
        QCOMPARE(exterieur.messages().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TstUiToolkit)
#include "tst_ui_toolkit.moc"
