#include "ui/form.h"

#include "ui/toolkit.h"

#include <QWidget>

namespace ui
{

void Form::Show()
{
    fenetre_->show();
}
void Form::Unload()
{
    fenetre_->close();
}

void Form::setCaption(const QString& caption)
{
    fenetre_->setWindowTitle(caption);
}
bool Form::Enabled() const
{
    return !fenetre_->testAttribute(Qt::WA_Disabled);
}
void Form::setEnabled(bool enabled)
{
    fenetre_->setEnabled(enabled);
}

int Form::MousePointer() const
{
    return fenetre_->testAttribute(Qt::WA_SetCursor) && fenetre_->cursor().shape() == Qt::WaitCursor
               ? PointeurSablier
               : PointeurDefaut;
}

void Form::setMousePointer(int pointeur)
{
    if (pointeur == PointeurSablier)
        fenetre_->setCursor(Qt::WaitCursor);
    else
        fenetre_->unsetCursor();
}

void Form::creerSurLaPlateforme()
{
    fenetre_->winId();
}

void Form::setLeft(float twips)
{
    fenetre_->move(twipsEnPixels(twips), fenetre_->y());
}
void Form::setTop(float twips)
{
    fenetre_->move(fenetre_->x(), twipsEnPixels(twips));
}
int Form::Width() const
{
    return pixelsEnTwips(fenetre_->frameGeometry().width());
}
int Form::Height() const
{
    return pixelsEnTwips(fenetre_->frameGeometry().height());
}

Picture Form::Icon() const
{
    return Picture{fenetre_->windowIcon()};
}
void Form::setIcon(const Picture& icone)
{
    fenetre_->setWindowIcon(icone.image);
}

} // namespace ui
