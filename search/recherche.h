// The search window: the user types a string and lists, in the main window,
// the terms of the catalogue on show whose entries contain it.
//
// The window is created anew at every opening and destroyed when it closes,
// so nothing typed in it outlives it. While it is open the main window is
// disabled; every way out of it gives the main window back.
#pragma once

#include "ui/controls.h"
#include "ui/form.h"

#include <QDialog>

class Listora;

class Recherche : public QDialog
{
    Q_OBJECT

public:
    // Builds the window for `principale`, whose lists the search fills and
    // which it enables again when it closes. Not shown yet: Form_Load, then
    // Me.Show().
    explicit Recherche(Listora& principale);
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

    Listora& principale_;
};
