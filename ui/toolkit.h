// Units, screen and process facts that every handler reads through the
// toolkit layer instead of asking Qt directly.
//
// Places and sizes are in twips, 1/1440 inch. At 96 DPI a pixel is 15 twips;
// the conversion works in Qt's device-independent pixels, so HiDPI scaling
// stays Qt's business and a layout in twips looks the same on every screen.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;

namespace ui
{

inline constexpr int TwipsParPixel = 15;

// Twips to device-independent pixels, rounded to the nearest pixel (halves
// away from zero, so negative positions round like positive ones).
int twipsEnPixels(double twips);
// Device-independent pixels to twips.
constexpr int pixelsEnTwips(int pixels)
{
    return pixels * TwipsParPixel;
}

// A rectangle in twips, relative to the container's top-left corner.
struct RectTwips {
    int gauche;
    int haut;
    int largeur;
    int hauteur;
};

// Places a control inside its container from a rectangle in twips.
void placer(QWidget* controle, const RectTwips& r);

// Creates a control of kind `Controle` in `conteneur`, named `nom` (its Qt
// objectName, by which handlers and tests find it) and placed in twips.
template <class Controle>
Controle* creer(QWidget* conteneur, const char* nom, const RectTwips& place)
{
    auto* controle = new Controle(conteneur);
    controle->setObjectName(QLatin1String(nom));
    placer(controle, place);
    return controle;
}

// The primary screen's full size in twips.
struct Screen {
    static int Width();
    static int Height();
};

// Where a window of `taille` twips goes to be centred on a screen of `ecran`
// twips: each half computed in single precision, then subtracted, without
// rounding or clamping, so a window larger than the screen gets a negative
// position.
float positionCentree(int ecran, int taille);

// The classic 8.25-point dialog font of both windows, bold or regular. It is
// 11 pixels (8.25 pt at 96 DPI), given in pixels so that text keeps its size
// against controls placed in twips even on a desktop whose font DPI is not 96;
// HiDPI scaling enlarges both alike. Liberation Sans has the widths of the
// sans-serif face the classic Windows dialogs used. On Windows it asks for
// vertical hinting, which draws every glyph under Wine too.
QFont policeClassique(bool gras);

// The contrast ratio of two colours as readers of text perceive it, from 1
// (the same luminance) to 21 (black on white).
double contraste(const QColor& a, const QColor& b);
// The smallest contrast at which text stays readable for weak sight.
inline constexpr double ContrasteLisible = 4.5;
// `voulue` where it reads on `fond`; else the nearest shade of it, towards
// white or black, that does, so a colour fixed for a light desktop still
// reads on a dark one.
QColor couleurLisible(const QColor& voulue, const QColor& fond);

// The process's current directory, with the platform's native separators and
// no trailing separator (except for a root).
QString CurDir();

// Text as shown on screen: a carriage return (alone or followed by a line
// feed) becomes a line break.
QString avecSautsDeLigne(const QString& texte);

} // namespace ui
