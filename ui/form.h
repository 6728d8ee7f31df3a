// The wrapper of a window, used by its own handlers and by the other form.
#pragma once

#include "ui/controls.h"

#include <QMargins>

namespace ui
{

// Mouse pointers a form can show.
inline constexpr int PointeurDefaut = 0;
inline constexpr int PointeurSablier = 11;

// Left, Top, Width and Height are the window's outer place and size in twips,
// frame included: the frame the platform tells, or before the first show the
// one the window manager announces (see creerSurLaPlateforme).
class Form
{
public:
    // A window that is not a dialog is announced to screen readers as a
    // frame (an application's main window) with its title.
    explicit Form(QWidget* fenetre);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    QWidget* fenetre() const { return fenetre_; }

    // Creates the window on the platform before it is first shown and learns
    // the frame it will get, so that Width and Height give its outer size
    // and setLeft and setTop place its outer corner before it is on screen.
    // Where nothing tells the frame that early they give the inner size.
    void creerSurLaPlateforme();

    // Opens the window modeless; input to other windows is the caller's
    // business (it disables them itself).
    void Show();
    // Closes the window. What closing means beyond that (ending the program,
    // destroying the window) is the form's own close handling.
    void Unload();

    void setCaption(const QString& caption);
    // False blocks all input to the window and its controls.
    bool Enabled() const;
    void setEnabled(bool enabled);
    // 11 shows the hourglass over the window, 0 (or any other value) the
    // default pointer.
    int MousePointer() const;
    void setMousePointer(int pointeur);

    // Under Wayland the compositor places windows: these do nothing there.
    void setLeft(float twips);
    void setTop(float twips);
    int Width() const;
    int Height() const;

    Picture Icon() const;
    void setIcon(const Picture& icone);

private:
    QMargins cadre() const;
    void placerDedans(QPoint coin);

    QWidget* fenetre_;
    QMargins cadreAnnonce_;
};

// The hourglass over a window for as long as a handler's long work runs, and
// the default pointer again however the handler ends.
class Sablier
{
public:
    explicit Sablier(Form& forme) : forme_(forme) { forme_.setMousePointer(PointeurSablier); }
    ~Sablier() { forme_.setMousePointer(PointeurDefaut); }
    Sablier(const Sablier&) = delete;
    Sablier& operator=(const Sablier&) = delete;

private:
    Form& forme_;
};

} // namespace ui
