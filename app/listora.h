// The main window: three catalogue buttons, the lists and detail fields that
// show a catalogue, the duplicate-check and reset boxes, and an animated icon.
//
// Every control is reached through the wrapper named like it (LST_Liste1,
// CMD_Recherche, FRM_Type, ...), the window itself through `Me`. Its twelve
// handlers, named <control>_<event>, are all defined in listora.cpp: each is
// a few lines that call the logic of catalogue/, display/ or search/ and show
// its outcome. The controls are created and styled in listora_controls.cpp.
//
// The window owns what it shows: the search window only reports its hits
// and its closing, and this window fills its list, empties its detail
// fields, writes its caption and keeps which lists hold search results.
#pragma once

#include "catalogue/catalogues.h"
#include "catalogue/loading.h"
#include "search/recherche.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/listbox.h"

#include <QPointer>
#include <QWidget>

#include <array>

class Listora : public QWidget
{
    Q_OBJECT

public:
    explicit Listora(QWidget* parent = nullptr);

    // The version shown in the title and the about text, blank included.
    static const QString Version;

    // True once the window has been unloaded: the program is ending, and a
    // handler that called something which may unload must stop there.
    bool estDecharge() const { return decharge_; }
    // The program's exit status once the window is unloaded: 1 when an
    // error message ended it, 0 for "&Quitter" and the close box.
    int codeDeSortie() const { return codeDeSortie_; }

    // Centres the window, writes the about text and the title, and clears the
    // shared state and the record of searched lists. Runs once, after
    // construction and before the first show.
    void Form_Load();

    // The duplicate-check and reset boxes, "&Quitter" and the icon.
    void CHK_Doublon_Click();
    void CHK_Raz_Click();
    void CMD_Quitter_Click();
    void Timer1_Timer();

    // Catalogue loaders.
    void CMD_IpPort_Click();
    void CMD_Acronyme_Click();
    void CMD_MIMEType_Click();
    // Entry display on a selection in a list.
    void LST_Liste_Click();
    void LST_Liste1_Click();
    void LSt_Liste2_Click();
    // Opens the search window.
    void CMD_Recherche_Click();

    // The list of catalogue `c`.
    ui::ListBox& liste(const catalogue::Catalogue& c);

    // The search window now open over this one, or nullptr when none is.
    Recherche* recherche() const { return recherche_; }
    // What a search of catalogue `c` shows: as it begins, its list and
    // detail fields emptied; then its hits, and the frame's caption. A list
    // that holds hits is read in full at the next press of its own button.
    void viderPourLaRecherche(const catalogue::Catalogue& c);
    void montrerTrouves(const catalogue::Catalogue& c, const catalogue::Termes& trouves);
    // Whether the list of `c` holds search results.
    bool listeFiltree(const catalogue::Catalogue& c) const;

    ui::Form Me;

    // The controls, in their order of creation.
    ui::CheckBox CHK_Raz;
    ui::CommandButton CMD_MIMEType;
    ui::CommandButton CMD_Recherche;
    ui::CheckBox CHK_Doublon;
    ui::PictureBox PICT_Listora;
    ui::Timer Timer1;
    ui::PictureBox PICT1_Listora;
    ui::CommandButton CMD_Quitter;
    ui::Frame FRM_Type;
    ui::ListBox LSt_Liste2;
    ui::ListBox LST_Liste1;
    ui::Frame FRM_Source; // captioned "Source", holds the *_Destination controls
    ui::TextField TXT_Destination;
    ui::Label LBL_Destination;
    ui::Frame FRM_Destination; // captioned "Destination", holds the *_Source controls
    ui::TextField TXT_Source;
    ui::Label LBL_Source;
    ui::TextField TXT_Acronyme;
    ui::ListBox LST_Liste;
    ui::Label LBL_Apropos;
    ui::CommandButton CMD_Acronyme;
    ui::CommandButton CMD_IpPort;

signals:
    // Emitted once, when the window is unloaded (by "&Quitter", the close box
    // or a handler that ends the program).
    void decharge();

protected:
    void closeEvent(QCloseEvent* evenement) override;
    void changeEvent(QEvent* evenement) override;

private:
    void appliquerProprietes();
    void colorerSelonLaPalette();
    void appliquerPolices();
    void ordonnerTabulation();
    void brancherGestionnaires();

    void charger(const catalogue::Catalogue& c);
    void finirEnErreur();
    void montrerCatalogue(const catalogue::Catalogue& c);
    bool aRelire(const catalogue::Catalogue& c);
    void afficherEntree(const catalogue::Catalogue& c);
    void viderDetails(const catalogue::Catalogue& c);
    void ouvrirRecherche();
    void reprendreLaMain();

    bool decharge_ = false;
    int codeDeSortie_ = 0;
    // The control that had the focus when the search window opened, which
    // gets it back when that window closes.
    QPointer<QWidget> focusAvantRecherche_;
    // The search window while it is open: cleared as it reports its closing,
    // since it is only destroyed once the event loop gets back.
    QPointer<Recherche> recherche_;
    // Which lists hold search results, by catalogue number - 1. The reload
    // marker Liste_A_Recharger names one catalogue only, so a search in one
    // catalogue and then in another would otherwise leave the first list's
    // hits on show as if they were the whole catalogue.
    std::array<bool, 3> listesFiltrees_{};
};
