// Units, centring and the message-box seam of the toolkit layer.
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
        QCOMPARE(ui::twipsEnPixels(-7.5), -1); // away from zero
        QCOMPARE(ui::positionCentree(12000, 6225), 2887.5f);
    }

    // A recorder takes the boxes while it lives, then gives them back to the
    // one it replaced.
    void recorderHandsBackToTheOneItReplaced()
    {
        ui::EnregistreurMsgBox exterieur;
        {
            ui::EnregistreurMsgBox interieur;
            ui::MsgBox("absent", ui::StyleAttention, "Erreur Fichier");
            QCOMPARE(interieur.messages().size(), 1);
        }
        ui::MsgBox("Doublon", ui::StyleCritique, "Doublon");
        QCOMPARE(exterieur.messages().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TstUiToolkit)
#include "tst_ui_toolkit.moc"
