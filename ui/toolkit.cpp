#include "ui/toolkit.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

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

} // namespace ui
