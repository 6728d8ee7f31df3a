// Wrappers over the controls of a form: the only way handlers act on them.
//
// A form creates its Qt widgets and hands each to one wrapper, named like the
// control; handlers then use the wrapper's few operations (Caption, Value,
// Text, Visible, ...) and never the widget. Places and sizes are in twips.
// Wrappers hold a pointer to their widget and are neither copied nor moved,
// since the widget's signals call back into them.
#pragma once

#include <QIcon>
#include <QString>

#include <functional>

class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QWidget;

namespace ui
{

// An image held by a picture box or a form, told apart by its handle: two
// pictures have the same handle only when one was taken from the other, not
// when they merely show the same pixels.
struct Picture {
    QIcon image;
    qint64 Handle() const { return image.cacheKey(); }
};

// What every control offers, whatever its kind.
class Control
{
public:
    explicit Control(QWidget* widget) : widget_(widget) {}
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    QWidget* widget() const { return widget_; }

    // The control's own flag, whether or not its container is on screen.
    bool Visible() const;
    void setVisible(bool visible);
    bool Enabled() const;
    void setEnabled(bool enabled);

    void setWidth(int twips);

private:
    QWidget* widget_;
};

// A control with a caption. The caption is kept as given, carriage returns
// included, and shown with those turned into line breaks.
class ControlAvecLegende : public Control
{
public:
    using Control::Control;
    const QString& Caption() const { return caption_; }
    void setCaption(const QString& caption);

protected:
    virtual void montrerLegende(const QString& texte) = 0;

private:
    QString caption_;
};

class CommandButton : public ControlAvecLegende
{
public:
    explicit CommandButton(QPushButton* bouton);
    QPushButton* bouton() const;
    // Raised by a click, a press of Space or Enter while it has the focus,
    // or its access key.
    void onClick(std::function<void()> gestionnaire);

protected:
    void montrerLegende(const QString& texte) override;
};

// Value is 0 unchecked, 1 checked. The click handler runs once for each user
// click and once each time code changes the value; setting the value it
// already has raises nothing (no change, no click).
class CheckBox : public ControlAvecLegende
{
public:
    explicit CheckBox(QCheckBox* case_);
    QCheckBox* caseACocher() const;
    int Value() const;
    // Any value but 0 checks the box. The click handler runs inside this
    // call, after the new value is in place.
    void setValue(int valeur);
    void onClick(std::function<void()> gestionnaire);

protected:
    void montrerLegende(const QString& texte) override;

private:
    void signalerClic();
    std::function<void()> gestionnaire_;
};

// A single-line text field.
class TextField : public Control
{
public:
    explicit TextField(QLineEdit* champ);
    QLineEdit* champ() const;
    QString Text() const;
    // Shows the text from its beginning, however long it is; a text wider
    // than the field is its tooltip and accessible description too.
    void setText(const QString& texte);
};

// A label shows its caption as plain text: markup and "&" in data shown in
// it stay as written.
class Label : public ControlAvecLegende
{
public:
    explicit Label(QLabel* etiquette);
    QLabel* etiquette() const;

protected:
    void montrerLegende(const QString& texte) override;
};

class Frame : public ControlAvecLegende
{
public:
    explicit Frame(QGroupBox* cadre);
    QGroupBox* cadre() const;

protected:
    void montrerLegende(const QString& texte) override;
};

// A store of one image; the form's code decides whether it is ever shown.
class PictureBox : public Control
{
public:
    explicit PictureBox(QLabel* image);
    ui::Picture Picture() const;
    void setPicture(const ui::Picture& picture);
};

class Timer
{
public:
    explicit Timer(QTimer* minuterie) : minuterie_(minuterie) {}
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    bool Enabled() const;
    void setEnabled(bool enabled);
    void setInterval(int millisecondes);
    void onTimer(std::function<void()> gestionnaire);

private:
    QTimer* minuterie_;
};

} // namespace ui
