#include "ui/classic_style.h"

#include <QPainter>
#include <QStyleOptionGroupBox>
#include <qdrawutil.h>

namespace
{
// Where a frame's caption starts, and the gap the top line leaves around it.
constexpr int RetraitLegende = 8;
constexpr int EcartLegende = 2;
} // namespace

int StyleClassique::pixelMetric(PixelMetric metrique, const QStyleOption* option,
                                const QWidget* controle) const
{
    // Check boxes are 13 pixels high; larger boxes would be cut.
    if (metrique == PM_IndicatorWidth || metrique == PM_IndicatorHeight)
        return 13;
    return QProxyStyle::pixelMetric(metrique, option, controle);
}

QRect StyleClassique::subControlRect(ComplexControl controleComplexe,
                                     const QStyleOptionComplex* option, SubControl partie,
                                     const QWidget* controle) const
{
    const auto* cadre = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (controleComplexe != CC_GroupBox || !cadre)
        return QProxyStyle::subControlRect(controleComplexe, option, partie, controle);

    // Controls sit 16 pixels below the frame's top edge. Desktop styles put
    // the line under the caption, where it would run into them; the classic
    // frame draws it through the caption's middle, caption or not.
    const int hauteurTexte = cadre->fontMetrics.height();
    switch (partie) {
    case SC_GroupBoxFrame:
        return cadre->rect.adjusted(0, hauteurTexte / 2, 0, 0);
    case SC_GroupBoxLabel: {
        const QString texte = QString(cadre->text).remove(QLatin1Char('&'));
        return QRect(RetraitLegende, 0, cadre->fontMetrics.horizontalAdvance(texte), hauteurTexte);
    }
    case SC_GroupBoxContents:
        return cadre->rect.adjusted(1, hauteurTexte, -1, -1);
    default:
        return QProxyStyle::subControlRect(controleComplexe, option, partie, controle);
    }
}

void StyleClassique::drawComplexControl(ComplexControl controleComplexe,
                                        const QStyleOptionComplex* option, QPainter* peintre,
                                        const QWidget* controle) const
{
    const auto* cadre = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (controleComplexe != CC_GroupBox || !cadre) {
        QProxyStyle::drawComplexControl(controleComplexe, option, peintre, controle);
        return;
    }
    // An etched line, as classic frames have, with a gap where the caption
    // goes; drawn here because desktop styles add margins of their own to it.
    const QRect ligne = subControlRect(CC_GroupBox, cadre, SC_GroupBoxFrame, controle);
    const QRect legende = subControlRect(CC_GroupBox, cadre, SC_GroupBoxLabel, controle);
    QRegion zone(cadre->rect);
    if (!cadre->text.isEmpty())
        zone -= legende.adjusted(-EcartLegende, 0, EcartLegende, 0);
    peintre->save();
    peintre->setClipRegion(zone);
    qDrawShadeRect(peintre, ligne, cadre->palette, true, 1, 0);
    peintre->restore();

    if (!cadre->text.isEmpty())
        drawItemText(peintre, legende, Qt::AlignLeft | Qt::TextShowMnemonic, cadre->palette,
                     cadre->state & State_Enabled, cadre->text, QPalette::WindowText);
}
