// The search window: the user types a string and lists, in the main window,
// the terms of the catalogue on show whose entries contain it.
//
// The window is created anew at every opening and destroyed when it closes,
// so nothing typed in it outlives it. While it is open the main window is
// disabled; every way out of it gives the main window back.
#pragma once

#include "catalogue/catalogues.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/listbox.h"

#include <QDialog>

#include <functional>

// What the search works on in the main window, handed over by it: the list
// and the detail fields of each catalogue, the frame's caption, and the way
// back to the main window when this one closes.
struct FenetrePrincipale {
    ui::Form& Me;
    ui::Frame& FRM_Type;
    std::function<ui::ListBox&(const catalogue::Catalogue&)> liste;
    std::function<void(const catalogue::Catalogue&)> viderDetails;
    // Enables the main window again and gives it the focus back.
    std::function<void()> rendre;
};

class Recherche : public QDialog
{
    Q_OBJECT

public:
    // Builds the window for `principale`, whose lists the search fills and
    // which it gives back when it closes; the window stays above it. Not
    // shown yet: Form_Load, then Me.Show().
    explicit Recherche(FenetrePrincipale principale);
    ~Recherche() override;

    // The search window now open, or nullptr when none is.
    static Recherche* ouverte();

    // Centres the window on the screen and titles it after the catalogue on
    // show.
    void Form_Load();
    // Gives the main window back and unloads this window.
    void CMD_Abandon_Click();
    // Reads the catalogue on show again and lists the terms of the entries
    // that contain the search string.
    void CMD_Recherche_Click();

    ui::Form Me;

    // The controls, in their order of creation.
    ui::CheckBox CHK_Recherche;
    ui::CommandButton CMD_Recherche;
    ui::CommandButton CMD_Abandon;
    ui::TextField TXT_recherche;
    ui::Label LBL_recherche;

protected:
    void closeEvent(QCloseEvent* evenement) override;
    void keyPressEvent(QKeyEvent* evenement) override;

private:
    void appliquerProprietes();
    void ordonnerTabulation();

    FenetrePrincipale principale_;
};
