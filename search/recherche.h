// The search window: the user types a string and the terms of the catalogue
// on show whose entries contain it are found.
//
// The window only reports: a search beginning, its hits and its closing, as
// signals. Whatever opened it shows the hits and takes the input back.
//
// The window is created anew at every opening and destroyed when it closes,
// so nothing typed in it outlives it.
#pragma once

#include "catalogue/catalogues.h"
#include "catalogue/loading.h"
#include "ui/controls.h"
#include "ui/form.h"

#include <QDialog>

class Recherche : public QDialog
{
    Q_OBJECT

public:
    // Builds the window over `principale`, which it stays above and goes
    // with. Not shown yet: Form_Load, then Me.Show().
    explicit Recherche(QWidget* principale);

    // Centres the window on the screen and titles it after the catalogue on
    // show.
    void Form_Load();
    // Reports the closing and unloads this window.
    void CMD_Abandon_Click();
    // Reads the catalogue on show again and reports the terms of the entries
    // that contain the search string.
    void CMD_Recherche_Click();

    ui::Form Me;

    // The controls, in their order of creation.
    ui::CheckBox CHK_Recherche;
    ui::CommandButton CMD_Recherche;
    ui::CommandButton CMD_Abandon;
    ui::TextField TXT_recherche;
    ui::Label LBL_recherche;

signals:
    // A search of catalogue `c` begins: what shows its list is to be emptied
    // before the pass, under this window's hourglass.
    void commencee(const catalogue::Catalogue& c);
    // The search of `c` found `trouves`, in key order, repeats included.
    void trouve(const catalogue::Catalogue& c, const catalogue::Termes& trouves);
    // The window is closing, by "&Abandon" or any other way the window
    // manager offers: the window that waits for it may take the input back.
    void fermee();

protected:
    void closeEvent(QCloseEvent* evenement) override;
    void keyPressEvent(QKeyEvent* evenement) override;

private:
    void appliquerProprietes();
    void ordonnerTabulation();
};
