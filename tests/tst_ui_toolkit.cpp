// Units, centring, line breaks and the message-box seam of the toolkit layer.
#include "ui/msgbox.h"
#include "ui/toolkit.h"

#include <QTest>

class TstUiToolkit : public QObject
{
    Q_OBJECT

private slots:
    void twipsRoundToNearestPixelAndCentringKeepsHalves()
    {
        QCOMPARE(ui::twipsEnPixels(7.0), 0);
        QCOMPARE(ui::twipsEnPixels(7.5), 1);
        QCOMPARE(ui::twipsEnPixels(-7.5), -1);                // away from zero
        QCOMPARE(ui::positionCentree(9000, 12000), -1500.0f); // larger than the screen
        QCOMPARE(ui::positionCentree(12000, 6225), 2887.5f);
    }

    void carriageReturnsBecomeLineBreaks()
    {
        QCOMPARE(ui::avecSautsDeLigne("\ra\r\rb"), "\na\n\nb");
        QCOMPARE(ui::avecSautsDeLigne("a\r\nb"), "a\nb"); // CR LF is one break
    }

    void recorderTakesEveryBoxInOrderThenHandsBack()
    {
        ui::EnregistreurMsgBox exterieur;
        {
            QStringList lusPendantLaBoite;
            ui::EnregistreurMsgBox enregistreur([&](auto& m) { lusPendantLaBoite << m.titre; });
            ui::MsgBox("absent\r\rVérifier", ui::StyleAttention, "Erreur Fichier");
            ui::MsgBox("La ligne", ui::StyleInformation, " Erreur de Syntaxe");
            QCOMPARE(lusPendantLaBoite, QStringList({"Erreur Fichier", " Erreur de Syntaxe"}));
            const ui::MessageAffiche premier = enregistreur.messages().value(0);
            QVERIFY(premier.prompt == "absent\r\rVérifier" && premier.style == 48); // as given
        }
        ui::MsgBox("Doublon", ui::StyleCritique, "Doublon");
        QCOMPARE(exterieur.messages().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TstUiToolkit)
#include "tst_ui_toolkit.moc"
