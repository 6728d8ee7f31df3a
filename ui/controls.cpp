#include "ui/controls.h"

#include "ui/toolkit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVariant>

#include <utility>

namespace ui
{

bool Control::Visible() const
{
    return !widget_->isHidden();
}
void Control::setVisible(bool visible)
{
    widget_->setVisible(visible);
}
bool Control::Enabled() const
{
    return !widget_->testAttribute(Qt::WA_Disabled);
}
void Control::setEnabled(bool enabled)
{
    widget_->setEnabled(enabled);
}

void Control::setWidth(int twips)
{
    widget_->resize(twipsEnPixels(twips), widget_->height());
}

void ControlAvecLegende::setCaption(const QString& caption)
{
    caption_ = caption;
    montrerLegende(avecSautsDeLigne(caption));
}

CommandButton::CommandButton(QPushButton* bouton) : ControlAvecLegende(bouton) {}
QPushButton* CommandButton::bouton() const
{
    return static_cast<QPushButton*>(widget());
}
void CommandButton::montrerLegende(const QString& texte)
{
    bouton()->setText(texte);
}

void CommandButton::onClick(std::function<void()> gestionnaire)
{
    QObject::connect(bouton(), &QPushButton::clicked, bouton(),
                     [gestionnaire = std::move(gestionnaire)] { gestionnaire(); });
}

CheckBox::CheckBox(QCheckBox* case_) : ControlAvecLegende(case_)
{
    // Every change of the value raises the handler once, after it: a click,
    // Space, a screen reader's toggle action (which changes the box without
    // a click) and setValue alike.
    QObject::connect(case_, &QCheckBox::toggled, case_, [this] { signalerClic(); });
}

QCheckBox* CheckBox::caseACocher() const
{
    return static_cast<QCheckBox*>(widget());
}
void CheckBox::montrerLegende(const QString& texte)
{
    caseACocher()->setText(texte);
}
int CheckBox::Value() const
{
    return caseACocher()->isChecked() ? 1 : 0;
}

void CheckBox::setValue(int valeur)
{
    caseACocher()->setChecked(valeur != 0);
}

void CheckBox::onClick(std::function<void()> gestionnaire)
{
    gestionnaire_ = std::move(gestionnaire);
}

void CheckBox::signalerClic()
{
    if (gestionnaire_)
        gestionnaire_();
}

namespace
{
// QLineEdit's blank between its frame and its text, on each side.
constexpr int MargeTexteChamp = 2;
} // namespace

TextField::TextField(QLineEdit* champ) : Control(champ) {}
QLineEdit* TextField::champ() const
{
    return static_cast<QLineEdit*>(widget());
}
QString TextField::Text() const
{
    return champ()->text();
}

void TextField::setText(const QString& texte)
{
    champ()->setText(texte);
    // QLineEdit leaves the cursor at the end and so scrolls a long text to its
    // tail; the reader wants its beginning.
    champ()->setCursorPosition(0);
    // A text cut at the field's edge can still be read whole, in a tooltip
    // or from a screen reader.
    const int cadre = champ()->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, champ());
    const int place = champ()->width() - 2 * (cadre + MargeTexteChamp);
    const QString entier =
        champ()->fontMetrics().horizontalAdvance(texte) > place ? texte : QString();
    champ()->setToolTip(entier);
    champ()->setAccessibleDescription(entier);
}

Label::Label(QLabel* etiquette) : ControlAvecLegende(etiquette)
{
    etiquette->setTextFormat(Qt::PlainText);
}
QLabel* Label::etiquette() const
{
    return static_cast<QLabel*>(widget());
}
void Label::montrerLegende(const QString& texte)
{
    etiquette()->setText(texte);
}

Frame::Frame(QGroupBox* cadre) : ControlAvecLegende(cadre) {}
QGroupBox* Frame::cadre() const
{
    return static_cast<QGroupBox*>(widget());
}
void Frame::montrerLegende(const QString& texte)
{
    cadre()->setTitle(texte);
    // Without a name of its own, Qt announces a frame inside another one
    // with the outer frame's caption.
    cadre()->setAccessibleName(texte);
}

namespace
{
// The picture lives on the widget itself, so it is the control's state and
// keeps its handle for as long as the control lives.
constexpr const char* ProprieteImage = "ui_picture";
} // namespace

PictureBox::PictureBox(QLabel* image) : Control(image) {}

ui::Picture PictureBox::Picture() const
{
    return ui::Picture{widget()->property(ProprieteImage).value<QIcon>()};
}

void PictureBox::setPicture(const ui::Picture& picture)
{
    widget()->setProperty(ProprieteImage, QVariant::fromValue(picture.image));
    auto* etiquette = static_cast<QLabel*>(widget());
    QSize plusGrande;
    for (const QSize& taille : picture.image.availableSizes())
        if (taille.width() > plusGrande.width())
            plusGrande = taille;
    etiquette->setPixmap(plusGrande.isValid() ? picture.image.pixmap(plusGrande) : QPixmap());
}

bool Timer::Enabled() const
{
    return minuterie_->isActive();
}

void Timer::setEnabled(bool enabled)
{
    if (enabled)
        minuterie_->start();
    else
        minuterie_->stop();
}

void Timer::setInterval(int millisecondes)
{
    minuterie_->setInterval(millisecondes);
}

void Timer::onTimer(std::function<void()> gestionnaire)
{
    QObject::connect(minuterie_, &QTimer::timeout, minuterie_,
                     [gestionnaire = std::move(gestionnaire)] { gestionnaire(); });
}

} // namespace ui
