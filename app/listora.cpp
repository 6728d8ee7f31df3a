#include "app/listora.h"

#include "catalogue/constant.h"
#include "display/entry_display.h"
#include "ui/msgbox.h"
#include "ui/toolkit.h"

#include <QApplication>
#include <QCloseEvent>

#include <array>
#include <utility>

const QString Listora::Version = QStringLiteral("v1.20 ");

namespace
{

QString texteAPropos()
{
    const QString retour(QChar(13));
    return retour + QStringLiteral("Listora ") + Listora::Version + retour + retour +
           QStringLiteral("Ce programme FreeWare vous permet d'accéder rapidement aux listes "
                          "présentées dans les boutons ci-dessus. Vous pouvez, vous-même "
                          "enrichir ces listes à l'intérieur du fichier LISTORA.DAT");
}

} // namespace

void Listora::brancherGestionnaires()
{
    CMD_IpPort.onClick([this] { CMD_IpPort_Click(); });
    CMD_MIMEType.onClick([this] { CMD_MIMEType_Click(); });
    CMD_Acronyme.onClick([this] { CMD_Acronyme_Click(); });
    CMD_Recherche.onClick([this] { CMD_Recherche_Click(); });
    CMD_Quitter.onClick([this] { CMD_Quitter_Click(); });
    CHK_Doublon.onClick([this] { CHK_Doublon_Click(); });
    CHK_Raz.onClick([this] { CHK_Raz_Click(); });
    LST_Liste.onClick([this] { LST_Liste_Click(); });
    LST_Liste1.onClick([this] { LST_Liste1_Click(); });
    LSt_Liste2.onClick([this] { LSt_Liste2_Click(); });
    Timer1.onTimer([this] { Timer1_Timer(); });
}

void Listora::Form_Load()
{
    // Centred on the outer size, title bar included, where the platform can
    // tell it before the first show.
    Me.creerSurLaPlateforme();
    Me.setLeft(ui::positionCentree(ui::Screen::Width(), Me.Width()));
    Me.setTop(ui::positionCentree(ui::Screen::Height(), Me.Height()));
    LBL_Apropos.setCaption(texteAPropos());
    Me.setCaption(QStringLiteral("Listora ") + Version);
    CONSTANT::Verif_Doublon = 0;
    CONSTANT::Liste_A_Recharger = 0;
    CONSTANT::Liste_Active = 0;
    listesFiltrees_.fill(false);
}

void Listora::CHK_Doublon_Click()
{
    // The loaders compare with 1, so "on" is exactly 1.
    CONSTANT::Verif_Doublon = CHK_Doublon.Value() != 0 ? 1 : 0;
}

void Listora::CHK_Raz_Click()
{
    // The box acts as a one-shot command: unchecking it below raises this
    // handler again, which then finds 0 and returns.
    if (CHK_Raz.Value() == 0)
        return;
    // Each loader reads its catalogue again when the marker names it
    // (catalogue number + 1). A loader that met a fatal error has unloaded
    // the window: the reset ends with it.
    const std::array<std::pair<int16_t, void (Listora::*)()>, 3> rechargements{{
        {2, &Listora::CMD_IpPort_Click},
        {3, &Listora::CMD_Acronyme_Click},
        {4, &Listora::CMD_MIMEType_Click},
    }};
    for (const auto& [marqueur, chargeur] : rechargements) {
        CONSTANT::Liste_A_Recharger = marqueur;
        (this->*chargeur)();
        if (estDecharge())
            return;
    }
    CHK_Raz.setValue(0);
}

void Listora::CMD_Quitter_Click()
{
    Me.Unload();
}

void Listora::Timer1_Timer()
{
    // The current icon is told apart by its handle alone: the icon set at
    // creation shows the same face as PICT_Listora but is another picture,
    // so the first tick sets the smiling face and later ticks alternate.
    const ui::Picture sourire = PICT_Listora.Picture();
    if (Me.Icon().Handle() == sourire.Handle())
        Me.setIcon(PICT1_Listora.Picture());
    else
        Me.setIcon(sourire);
}

ui::ListBox& Listora::liste(const catalogue::Catalogue& c)
{
    switch (c.numero) {
    case 1:
        return LST_Liste;
    case 2:
        return LST_Liste1;
    default:
        return LSt_Liste2;
    }
}

// --- Catalogue loaders ------------------------------------------------------

void Listora::CMD_IpPort_Click()
{
    charger(catalogue::IpPorts);
}

void Listora::CMD_Acronyme_Click()
{
    charger(catalogue::Acronymes);
}

void Listora::CMD_MIMEType_Click()
{
    charger(catalogue::MimeTypes);
}

// Every press first puts the button's catalogue on show, so that it is the
// one on show even when its file is missing.
void Listora::montrerCatalogue(const catalogue::Catalogue& c)
{
    const bool ipPorts = &c == &catalogue::IpPorts;
    LBL_Apropos.setVisible(false);
    // The IP ports show their Source and Destination frames, emptied, and
    // hide the description field, its text left, until an entry is chosen.
    FRM_Source.setVisible(ipPorts);
    FRM_Destination.setVisible(ipPorts);
    if (ipPorts) {
        LBL_Source.setCaption(QString());
        LBL_Destination.setCaption(QString());
        TXT_Source.setText(QString());
        TXT_Destination.setText(QString());
        TXT_Acronyme.setVisible(false);
    } else {
        TXT_Acronyme.setText(QString());
        TXT_Acronyme.setVisible(true);
    }
    for (const catalogue::Catalogue* autre : catalogue::Tous)
        liste(*autre).setVisible(autre == &c);
    CMD_Recherche.setEnabled(true);
    if (c.largeurListe > 0)
        liste(c).setWidth(c.largeurListe);
}

// Whether the press must clear the list and read the catalogue again: the
// reset or a search asked for it. A marker naming another catalogue is left
// for that catalogue's own press.
bool Listora::aRelire(const catalogue::Catalogue& c)
{
    const bool marque = CONSTANT::Liste_A_Recharger - 1 == c.numero;
    if (marque)
        CONSTANT::Liste_A_Recharger = 0;
    return marque || listeFiltree(c) || CONSTANT::Verif_Doublon == 1;
}

void Listora::charger(const catalogue::Catalogue& c)
{
    CONSTANT::Liste_Active = c.numero;
    montrerCatalogue(c);
    const ui::Sablier sablier(Me);
    ui::ListBox& l = liste(c);
    // With the duplicate check on, every press checks the whole catalogue.
    if (aRelire(c)) {
        l.Clear();
        listesFiltrees_[static_cast<size_t>(c.numero - 1)] = false;
    }
    // Already loaded: shown as it is, without touching the file.
    if (l.ListCount() > 0) {
        FRM_Type.setCaption(catalogue::legende(c, l.ListCount()));
        return;
    }
    catalogue::Chargement lu = catalogue::lireCatalogue(c, CONSTANT::Verif_Doublon == 1);
    switch (lu.issue) {
    case catalogue::Chargement::Issue::Charge: {
        auto [texte, fins] = std::move(lu.termes).ceder();
        l.AddItems(std::move(texte), std::move(fins));
        FRM_Type.setCaption(catalogue::legende(c, l.ListCount()));
        return;
    }
    case catalogue::Chargement::Issue::FichierAbsent:
        ui::MsgBox(catalogue::messageFichier(c, ui::CurDir()), ui::StyleAttention,
                   catalogue::TitreFichier);
        return;
    case catalogue::Chargement::Issue::Syntaxe:
        ui::MsgBox(catalogue::messageSyntaxe(lu.fautif), ui::StyleInformation,
                   catalogue::TitreSyntaxe);
        finirEnErreur();
        return;
    case catalogue::Chargement::Issue::Doublon:
        Me.setMousePointer(ui::PointeurDefaut);
        ui::MsgBox(catalogue::messageDoublon(c, lu.fautif), ui::StyleCritique,
                   catalogue::TitreDoublon);
        finirEnErreur();
        return;
    }
}

// A file error that ends the program is a failure for whatever started it.
void Listora::finirEnErreur()
{
    codeDeSortie_ = 1;
    Me.Unload();
}

// --- Entry display ----------------------------------------------------------

void Listora::LST_Liste_Click()
{
    afficherEntree(catalogue::IpPorts);
}

void Listora::LST_Liste1_Click()
{
    afficherEntree(catalogue::Acronymes);
}

void Listora::LSt_Liste2_Click()
{
    afficherEntree(catalogue::MimeTypes);
}

void Listora::afficherEntree(const catalogue::Catalogue& c)
{
    const ui::ListBox& l = liste(c);
    if (l.ListIndex() < 0)
        return;
    TXT_Acronyme.setVisible(true);
    TXT_Acronyme.setText(QString());
    const ui::Sablier sablier(Me);
    // A term no longer in the file (edited since the list was filled) shows
    // an entry with every field empty: the previous entry's protocols and
    // ports must not stay beside it.
    const display::Entree entree =
        display::trouverEntree(c, l.List(l.ListIndex())).value_or(display::Entree{});
    // Fields 2 to 5 go to the controls named the other way round from the
    // frames they lie in: LBL_Source and TXT_Source stand under "Destination".
    if (&c == &catalogue::IpPorts) {
        LBL_Source.setCaption(entree.champs[0]);
        TXT_Source.setText(entree.champs[1]);
        LBL_Destination.setCaption(entree.champs[2]);
        TXT_Destination.setText(entree.champs[3]);
    }
    TXT_Acronyme.setText(entree.description);
}

// --- Search -----------------------------------------------------------------

// The search window is shown modeless; only the main window's disabled state
// keeps the user in it.
void Listora::CMD_Recherche_Click()
{
    focusAvantRecherche_ = QApplication::focusWidget();
    Me.setEnabled(false);
    if (!recherche_)
        ouvrirRecherche();
    recherche_->Me.Show();
}

// A new search window, loaded, whose reports this window shows.
void Listora::ouvrirRecherche()
{
    recherche_ = new Recherche(this);
    connect(recherche_, &Recherche::commencee, this, &Listora::viderPourLaRecherche);
    connect(recherche_, &Recherche::trouve, this, &Listora::montrerTrouves);
    connect(recherche_, &Recherche::fermee, this, &Listora::reprendreLaMain);
    recherche_->Form_Load();
}

// A search empties the detail fields of its catalogue before it fills the
// list: of an IP port, the four fields and the description, since the entry
// they showed may no longer be listed.
void Listora::viderPourLaRecherche(const catalogue::Catalogue& c)
{
    liste(c).Clear();
    viderDetails(c);
}

void Listora::viderDetails(const catalogue::Catalogue& c)
{
    if (&c == &catalogue::IpPorts) {
        LBL_Source.setCaption(QString());
        LBL_Destination.setCaption(QString());
        TXT_Source.setText(QString());
        TXT_Destination.setText(QString());
    }
    TXT_Acronyme.setText(QString());
}

void Listora::montrerTrouves(const catalogue::Catalogue& c, const catalogue::Termes& trouves)
{
    ui::ListBox& l = liste(c);
    // All hits go in at once: one sorted insertion each would cost far more
    // on a long list. The terms' text is shared, not copied.
    auto [texte, fins] = catalogue::Termes(trouves).ceder();
    l.AddItems(std::move(texte), std::move(fins));
    // The list now holds hits; its own button must read it in full next
    // time, whatever is searched in the meantime.
    listesFiltrees_[static_cast<size_t>(c.numero - 1)] = true;
    FRM_Type.setCaption(catalogue::legendeRecherche(c, l.ListCount()));
}

bool Listora::listeFiltree(const catalogue::Catalogue& c) const
{
    return listesFiltrees_[static_cast<size_t>(c.numero - 1)];
}

void Listora::reprendreLaMain()
{
    Me.setEnabled(true);
    // Back to the main window, where the hits are, whatever the window
    // manager would pick next, and to the control the user left: Space on
    // the reset box would reload every list.
    activateWindow();
    if (focusAvantRecherche_)
        focusAvantRecherche_->setFocus(Qt::OtherFocusReason);
    // The window is on its way out: a new press opens a new one.
    recherche_ = nullptr;
}

void Listora::changeEvent(QEvent* evenement)
{
    // A desktop that switches between light and dark while the program runs.
    if (evenement->type() == QEvent::PaletteChange)
        colorerSelonLaPalette();
    // Activating the main window while it waits for the search window brings
    // that window forward, where the user can act.
    if (evenement->type() == QEvent::ActivationChange && isActiveWindow())
        if (recherche_ && !recherche_->isActiveWindow()) {
            recherche_->raise();
            recherche_->activateWindow();
        }
    QWidget::changeEvent(evenement);
}

void Listora::closeEvent(QCloseEvent* evenement)
{
    // A disabled window takes no input: while the search window is open, a
    // close asked by the window manager is refused, as a click would be.
    if (!isEnabled() && recherche_ && !decharge_) {
        evenement->ignore();
        return;
    }
    // The close box unloads the window just as "&Quitter" does.
    evenement->accept();
    if (decharge_)
        return;
    decharge_ = true;
    emit decharge();
}
