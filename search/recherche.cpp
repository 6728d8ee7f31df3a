#include "search/recherche.h"

#include "catalogue/constant.h"
#include "catalogue/loading.h"
#include "search/search.h"
#include "ui/classic_style.h"
#include "ui/toolkit.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QWindow>

#include <array>

namespace
{

// The one search window open at a time; the main window keeps no pointer to
// it, since it is disabled for as long as this window is open.
Recherche* ouverte_ = nullptr;

// Client area, in twips.
constexpr int Largeur = 2400;
constexpr int Hauteur = 1740;

// The main window's classic check box, whose caption wraps onto further
// lines when it is wider than the box: the case box is two lines high for
// its long caption, and Qt's check boxes never wrap on their own.
class StyleCaseSurDeuxLignes : public StyleClassique
{
public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* peintre,
                     const QWidget* controle) const override
    {
        const auto* bouton = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (element != CE_CheckBoxLabel || !bouton) {
            StyleClassique::drawControl(element, option, peintre, controle);
            return;
        }
        drawItemText(peintre, bouton->rect, alignement(bouton, controle), bouton->palette,
                     bouton->state & State_Enabled, bouton->text, QPalette::WindowText);
    }

    QRect subElementRect(SubElement element, const QStyleOption* option,
                         const QWidget* controle) const override
    {
        const auto* bouton = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (element != SE_CheckBoxFocusRect || !bouton || bouton->text.isEmpty())
            return StyleClassique::subElementRect(element, option, controle);
        // Around the text as wrapped, not as one long line.
        QStyleOptionButton contenu = *bouton;
        contenu.rect = subElementRect(SE_CheckBoxContents, bouton, controle);
        const QRect texte = bouton->fontMetrics.boundingRect(
            contenu.rect, alignement(bouton, controle), bouton->text);
        return texte.adjusted(-1, 0, 1, 0).intersected(bouton->rect);
    }

private:
    int alignement(const QStyleOptionButton* bouton, const QWidget* controle) const
    {
        int drapeaux = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextWordWrap;
        if (!styleHint(SH_UnderlineShortcut, bouton, controle))
            drapeaux |= Qt::TextHideMnemonic;
        return drapeaux;
    }
};

} // namespace

// Members are initialised in declaration order, which is the controls' order
// of creation.
Recherche::Recherche(FenetrePrincipale principale)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), Me(this),
      CHK_Recherche(ui::creer<QCheckBox>(this, "CHK_Recherche", {120, 720, 2175, 555})),
      CMD_Recherche(ui::creer<QPushButton>(this, "CMD_Recherche", {1200, 1320, 1095, 315})),
      CMD_Abandon(ui::creer<QPushButton>(this, "CMD_Abandon", {120, 1320, 975, 315})),
      TXT_recherche(ui::creer<QLineEdit>(this, "TXT_recherche", {120, 480, 2175, 285})),
      LBL_recherche(ui::creer<QLabel>(this, "LBL_recherche", {120, 240, 2295, 255})),
      principale_(std::move(principale))
{
    ouverte_ = this;
    // Unloading destroys the window, and all that was typed in it.
    setAttribute(Qt::WA_DeleteOnClose);
    // No Qt parent, which the main window's disabled state would disable
    // too; the window goes with the main window, whose lists it works on.
    connect(principale_.Me.fenetre(), &QObject::destroyed, this, [this] { delete this; });

    appliquerProprietes();
    ordonnerTabulation();
    // Transient for the main window: the window manager keeps it above the
    // main window and minimises it only with it, so the user cannot lose it
    // while the main window waits, disabled.
    if (QWindow* fenetre = principale_.Me.fenetre()->windowHandle()) {
        winId();
        windowHandle()->setTransientParent(fenetre);
    }
    CMD_Abandon.onClick([this] { CMD_Abandon_Click(); });
    CMD_Recherche.onClick([this] { CMD_Recherche_Click(); });
    TXT_recherche.widget()->setFocus();
}

Recherche::~Recherche()
{
    if (ouverte_ == this)
        ouverte_ = nullptr;
}

Recherche* Recherche::ouverte()
{
    return ouverte_;
}

void Recherche::appliquerProprietes()
{
    setObjectName(QStringLiteral("Recherche"));
    setFixedSize(ui::twipsEnPixels(Largeur), ui::twipsEnPixels(Hauteur));
    setWindowTitle(QStringLiteral("Recherche"));
    setFont(ui::policeClassique(false));

    CHK_Recherche.setCaption(QStringLiteral("Ignore Majuscules/Minuscules"));
    CHK_Recherche.setValue(1);
    auto* style = new StyleCaseSurDeuxLignes;
    style->setParent(this);
    CHK_Recherche.widget()->setStyle(style);

    CMD_Recherche.setCaption(QStringLiteral("&Recherche"));
    CMD_Abandon.setCaption(QStringLiteral("&Abandon"));
    // Enter presses "&Recherche" unless the other button has the focus.
    CMD_Recherche.bouton()->setDefault(true);

    LBL_recherche.setCaption(QStringLiteral("Recherche d'une chaîne"));
    for (const ui::Control* gras :
         std::initializer_list<const ui::Control*>{&CMD_Recherche, &CMD_Abandon, &LBL_recherche})
        gras->widget()->setFont(ui::policeClassique(true));

    TXT_recherche.widget()->setAccessibleName(QStringLiteral("Chaîne recherchée"));
}

void Recherche::ordonnerTabulation()
{
    // Field, "&Abandon", "&Recherche", the case box, then round again; the
    // label never takes the focus.
    const std::array<QWidget*, 4> parIndex{TXT_recherche.widget(), CMD_Abandon.widget(),
                                           CMD_Recherche.widget(), CHK_Recherche.widget()};
    for (size_t i = 1; i < parIndex.size(); ++i)
        setTabOrder(parIndex[i - 1], parIndex[i]);
}

void Recherche::Form_Load()
{
    Me.creerSurLaPlateforme();
    Me.setLeft(ui::positionCentree(ui::Screen::Width(), Me.Width()));
    Me.setTop(ui::positionCentree(ui::Screen::Height(), Me.Height()));
    // Without a catalogue on show the window keeps its plain title.
    if (const catalogue::Catalogue* c = catalogue::parNumero(CONSTANT::Liste_Active))
        Me.setCaption(QString::fromUtf8(c->titreRecherche));
}

void Recherche::CMD_Abandon_Click()
{
    principale_.rendre();
    Me.Unload();
}

void Recherche::closeEvent(QCloseEvent* evenement)
{
    // "&Abandon" gives the main window back before it unloads this window.
    // A close by any other way the window manager still offers must do the
    // same, or the main window would stay disabled with nothing to return to.
    principale_.rendre();
    if (ouverte_ == this)
        ouverte_ = nullptr;
    // Not QDialog's own handling: it would only hide the window.
    evenement->accept();
}

void Recherche::keyPressEvent(QKeyEvent* evenement)
{
    // No button answers Esc: the window is left through "&Abandon".
    if (evenement->matches(QKeySequence::Cancel)) {
        evenement->ignore();
        return;
    }
    QDialog::keyPressEvent(evenement);
}

void Recherche::CMD_Recherche_Click()
{
    // Without a catalogue on show there is no list, section or caption to
    // work on (the main window's button is disabled then anyway).
    const catalogue::Catalogue* c = catalogue::parNumero(CONSTANT::Liste_Active);
    if (!c)
        return;
    CONSTANT::Liste_A_Recharger = static_cast<int16_t>(CONSTANT::Liste_Active + 1);
    Me.setMousePointer(ui::PointeurSablier);
    ui::ListBox& liste = principale_.liste(*c);
    liste.Clear();
    principale_.viderDetails(*c);

    // The string and the mode are taken once: nothing else runs during the
    // pass, so they could not differ from one key to the next.
    const Qt::CaseSensitivity casse =
        CHK_Recherche.Value() == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
    // All hits go in at once: one sorted insertion each would cost far more
    // on a long list.
    auto [texte, fins] = search::termesTrouves(*c, TXT_recherche.Text(), casse).ceder();
    liste.AddItems(std::move(texte), std::move(fins));
    // The list now holds hits; its own button must read it in full next time,
    // whatever is searched in the meantime.
    catalogue::marquerListeFiltree(c->numero);

    principale_.FRM_Type.setCaption(catalogue::legendeRecherche(*c, liste.ListCount()));
    CMD_Abandon.setCaption(QStringLiteral("&OK"));
    Me.setMousePointer(ui::PointeurDefaut);
}
