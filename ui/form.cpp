#include "ui/form.h"

#include "ui/toolkit.h"
#include "ui/window_frame.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace ui
{

namespace
{

constexpr const char* ProprieteCadre = "ui_fenetre_cadre";

// Qt announces a plain top-level widget as a mere "filler".
QAccessibleInterface* accessibiliteFenetre(const QString&, QObject* objet)
{
    if (!objet->isWidgetType() || !objet->property(ProprieteCadre).toBool())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(objet), QAccessible::Window);
}

} // namespace

Form::Form(QWidget* fenetre) : fenetre_(fenetre)
{
    if (fenetre->inherits("QDialog"))
        return;
    static const bool installee = (QAccessible::installFactory(accessibiliteFenetre), true);
    Q_UNUSED(installee);
    fenetre->setProperty(ProprieteCadre, true);
}

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
    cadreAnnonce_ = cadreAnnonce(fenetre_);
}

// Qt's own frame once it knows one (offscreen from the start, X11 once the
// window is mapped), else the window manager's announced one.
QMargins Form::cadre() const
{
    const QRect dehors = fenetre_->frameGeometry();
    const QRect dedans = fenetre_->geometry();
    const QMargins connu(dedans.left() - dehors.left(), dedans.top() - dehors.top(),
                         dehors.right() - dedans.right(), dehors.bottom() - dedans.bottom());
    return connu.isNull() ? cadreAnnonce_ : connu;
}

// The inner corner is what the window manager keeps as given, whether or not
// it has framed the window yet.
void Form::placerDedans(QPoint coin)
{
    if (placementParLeProgramme())
        fenetre_->setGeometry(QRect(coin, fenetre_->size()));
}

void Form::setLeft(float twips)
{
    placerDedans({twipsEnPixels(twips) + cadre().left(), fenetre_->geometry().y()});
}
void Form::setTop(float twips)
{
    placerDedans({fenetre_->geometry().x(), twipsEnPixels(twips) + cadre().top()});
}
int Form::Width() const
{
    const QMargins m = cadre();
    return pixelsEnTwips(fenetre_->width() + m.left() + m.right());
}
int Form::Height() const
{
    const QMargins m = cadre();
    return pixelsEnTwips(fenetre_->height() + m.top() + m.bottom());
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
