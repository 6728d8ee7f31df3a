// Adjustments to the desktop style so that controls placed for the classic
// Windows dialog metrics keep their look: 13-pixel check boxes, and frames
// whose top line runs through the middle of their caption.
#pragma once

#include <QProxyStyle>

class StyleClassique : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metrique, const QStyleOption* option,
                    const QWidget* controle) const override;
    QRect subControlRect(ComplexControl controleComplexe, const QStyleOptionComplex* option,
                         SubControl partie, const QWidget* controle) const override;
    void drawComplexControl(ComplexControl controleComplexe, const QStyleOptionComplex* option,
                            QPainter* peintre, const QWidget* controle) const override;
};
