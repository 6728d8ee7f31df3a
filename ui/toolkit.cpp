#include "ui/toolkit.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace ui
{

int twipsEnPixels(double twips)
{
    return static_cast<int>(std::lround(twips / TwipsParPixel));
}

void placer(QWidget* controle, const RectTwips& r)
{
    controle->setGeometry(twipsEnPixels(r.gauche), twipsEnPixels(r.haut), twipsEnPixels(r.largeur),
                          twipsEnPixels(r.hauteur));
}

namespace
{
QSize tailleEcran()
{
    const QScreen* ecran = QGuiApplication::primaryScreen();
    return ecran ? ecran->size() : QSize();
}
} // namespace

int Screen::Width()
{
    return pixelsEnTwips(tailleEcran().width());
}
int Screen::Height()
{
    return pixelsEnTwips(tailleEcran().height());
}

float positionCentree(int ecran, int taille)
{
    const float demiEcran = static_cast<float>(ecran) / 2.0f;
    const float demiTaille = static_cast<float>(taille) / 2.0f;
    return demiEcran - demiTaille;
}

QFont policeClassique(bool gras)
{
    QFont police(QStringLiteral("Liberation Sans"));
    police.setStyleHint(QFont::SansSerif);
    police.setPixelSize(11);
    police.setBold(gras);
#ifdef Q_OS_WIN
    // Drawn through GDI at full hinting, the regular face's capital "I" comes
    // out blank under Wine ("gnore Majuscules/Minuscules"); vertical hinting
    // draws it, through DirectWrite.
    police.setHintingPreference(QFont::PreferVerticalHinting);
#endif
    return police;
}

QString CurDir()
{
    return QDir::toNativeSeparators(QDir::currentPath());
}

QString avecSautsDeLigne(const QString& texte)
{
    QString resultat = texte;
    resultat.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    resultat.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return resultat;
}

namespace
{

// Relative luminance, each sRGB channel made linear first.
double luminance(const QColor& c)
{
    const auto lineaire = [](double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lineaire(c.redF()) + 0.7152 * lineaire(c.greenF()) +
           0.0722 * lineaire(c.blueF());
}

QColor melange(const QColor& a, const QColor& b, double part)
{
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * part),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * part),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * part));
}

} // namespace

double contraste(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor couleurLisible(const QColor& voulue, const QColor& fond)
{
    if (contraste(voulue, fond) >= ContrasteLisible)
        return voulue;
    // Away from the background's side: lighter on a dark one.
    const QColor bout = luminance(fond) < 0.18 ? QColor(Qt::white) : QColor(Qt::black);
    for (int pas = 1; pas <= 20; ++pas) {
        const QColor nuance = melange(voulue, bout, pas / 20.0);
        if (contraste(nuance, fond) >= ContrasteLisible)
            return nuance;
    }
    return bout;
}

} // namespace ui
