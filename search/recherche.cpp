#include "search/recherche.h"

#include "catalogue/constant.h"
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
Recherche::Recherche(QWidget* principale)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), Me(this),
      CHK_Recherche(ui::creer<QCheckBox>(this, "CHK_Recherche", {120, 720, 2175, 555})),
      CMD_Recherche(ui::creer<QPushButton>(this, "CMD_Recherche", {1200, 1320, 1095, 315})),
      CMD_Abandon(ui::creer<QPushButton>(this, "CMD_Abandon", {120, 1320, 975, 315})),
      TXT_recherche(ui::creer<QLineEdit>(this, "TXT_recherche", {120, 480, 2175, 285})),
      LBL_recherche(ui::creer<QLabel>(this, "LBL_recherche", {120, 240, 2295, 255}))
{
    // Unloading destroys the window, and all that was typed in it.
    setAttribute(Qt::WA_DeleteOnClose);
    // No Qt parent, which the main window's disabled state would disable
    // too; the window goes with the main window, whose lists it searches.
    connect(principale, &QObject::destroyed, this, [this] { delete this; });

    appliquerProprietes();
    ordonnerTabulation();
    // Transient for the main window: the window manager keeps it above the
    // main window and minimises it only with it, so the user cannot lose it
    // while the main window waits, disabled.
    if (QWindow* fenetre = principale->windowHandle()) {
        winId();
        windowHandle()->setTransientParent(fenetre);
    }
    CMD_Abandon.onClick([this] { CMD_Abandon_Click(); });
    CMD_Recherche.onClick([this] { CMD_Recherche_Click(); });
    TXT_recherche.widget()->setFocus();
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

// Closing reports it, before the window hides: the main window is enabled
// again by the time this one has gone.
void Recherche::CMD_Abandon_Click()
{
    Me.Unload();
}

void Recherche::closeEvent(QCloseEvent* evenement)
{
    // Every way out reports the closing, "&Abandon" and any other the window
    // manager still offers, or the main window would stay disabled with
    // nothing to return to.
    emit fermee();
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
    // Without a catalogue on show there is no section to search (the main
    // window's button is disabled then anyway).
    const catalogue::Catalogue* c = catalogue::parNumero(CONSTANT::Liste_Active);
    if (!c)
        return;
    CONSTANT::Liste_A_Recharger = static_cast<int16_t>(CONSTANT::Liste_Active + 1);
    Me.setMousePointer(ui::PointeurSablier);
    emit commencee(*c);

    // The string and the mode are taken once: nothing else runs during the
    // pass, so they could not differ from one key to the next.
    const Qt::CaseSensitivity casse =
        CHK_Recherche.Value() == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
    emit trouve(*c, search::termesTrouves(*c, TXT_recherche.Text(), casse));

    CMD_Abandon.setCaption(QStringLiteral("&OK"));
    Me.setMousePointer(ui::PointeurDefaut);
}
