// The main window's controls: their creation, properties, colours, fonts
// and Tab order, as the form is laid out before any handler runs.
#include "app/listora.h"

#include "app/images.h"
#include "ui/classic_style.h"
#include "ui/toolkit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>

#include <array>

namespace
{

QTimer* creerMinuterie(QObject* proprietaire, const char* nom)
{
    auto* minuterie = new QTimer(proprietaire);
    minuterie->setObjectName(QLatin1String(nom));
    return minuterie;
}

void colorerTexte(QWidget* controle, const QColor& couleur)
{
    QPalette palette = controle->palette();
    palette.setColor(QPalette::WindowText, couleur);
    controle->setPalette(palette);
}

} // namespace

// Members are initialised in declaration order, which is the controls' order
// of creation; every container is created before what it holds.
Listora::Listora(QWidget* parent)
    : QWidget(parent), Me(this),
      CHK_Raz(ui::creer<QCheckBox>(this, "CHK_Raz", {1800, 720, 2535, 195})),
      CMD_MIMEType(ui::creer<QPushButton>(this, "CMD_MIMEType", {2280, 120, 1575, 495})),
      CMD_Recherche(ui::creer<QPushButton>(this, "CMD_Recherche", {2400, 3360, 1215, 495})),
      CHK_Doublon(ui::creer<QCheckBox>(this, "CHK_Doublon", {3960, 3480, 2175, 195})),
      PICT_Listora(ui::creer<QLabel>(this, "PICT_Listora", {5040, 3360, 540, 540})),
      Timer1(creerMinuterie(this, "Timer1")),
      PICT1_Listora(ui::creer<QLabel>(this, "PICT1_Listora", {4320, 3360, 540, 540})),
      CMD_Quitter(ui::creer<QPushButton>(this, "CMD_Quitter", {120, 3360, 1215, 495})),
      FRM_Type(ui::creer<QGroupBox>(this, "FRM_Type", {120, 960, 5895, 2295})),
      LSt_Liste2(ui::creer<QListView>(FRM_Type.widget(), "LSt_Liste2", {120, 240, 1935, 1425})),
      LST_Liste1(ui::creer<QListView>(FRM_Type.widget(), "LST_Liste1", {120, 240, 1935, 1425})),
      FRM_Source(ui::creer<QGroupBox>(FRM_Type.widget(), "FRM_Source", {2880, 1080, 2895, 735})),
      TXT_Destination(
          ui::creer<QLineEdit>(FRM_Source.widget(), "TXT_Destination", {1560, 240, 1215, 285})),
      LBL_Destination(
          ui::creer<QLabel>(FRM_Source.widget(), "LBL_Destination", {120, 270, 855, 255})),
      FRM_Destination(
          ui::creer<QGroupBox>(FRM_Type.widget(), "FRM_Destination", {2880, 240, 2895, 735})),
      TXT_Source(
          ui::creer<QLineEdit>(FRM_Destination.widget(), "TXT_Source", {990, 240, 1785, 285})),
      LBL_Source(ui::creer<QLabel>(FRM_Destination.widget(), "LBL_Source", {120, 270, 855, 255})),
      TXT_Acronyme(ui::creer<QLineEdit>(FRM_Type.widget(), "TXT_Acronyme", {120, 1920, 5655, 285})),
      LST_Liste(ui::creer<QListView>(FRM_Type.widget(), "LST_Liste", {120, 240, 2655, 1620})),
      LBL_Apropos(ui::creer<QLabel>(FRM_Type.widget(), "LBL_Apropos", {120, 240, 5655, 1935})),
      CMD_Acronyme(ui::creer<QPushButton>(this, "CMD_Acronyme", {4440, 120, 1575, 495})),
      CMD_IpPort(ui::creer<QPushButton>(this, "CMD_IpPort", {120, 120, 1575, 495}))
{
    appliquerProprietes();
    appliquerPolices();
    ordonnerTabulation();
    brancherGestionnaires();
    CMD_IpPort.widget()->setFocus();
}

void Listora::appliquerProprietes()
{
    setObjectName(QStringLiteral("Listora"));
    // No layout: controls keep their places when the window is resized.
    resize(ui::twipsEnPixels(6225), ui::twipsEnPixels(3960));
    // The icon at creation shows the smiling face, but as a picture of its
    // own: the first timer tick tells it apart from PICT_Listora's picture.
    setWindowIcon(images::visageSourire());

    CHK_Raz.setCaption(QStringLiteral("Remise à zéro des listes"));
    CMD_MIMEType.setCaption(QStringLiteral("&MIME Types"));
    CMD_Recherche.setCaption(QStringLiteral("&Recherche"));
    CMD_Recherche.setEnabled(false);
    CHK_Doublon.setCaption(QStringLiteral("Vérifier les doublons"));
    PICT_Listora.setPicture(ui::Picture{images::visageSourire()});
    PICT_Listora.setVisible(false);
    Timer1.setInterval(1500);
    Timer1.setEnabled(true);
    PICT1_Listora.setPicture(ui::Picture{images::visageTriste()});
    PICT1_Listora.setVisible(false);
    CMD_Quitter.setCaption(QStringLiteral("&Quitter"));
    FRM_Type.setCaption(QString());
    FRM_Source.setCaption(QStringLiteral("Source"));
    FRM_Source.setVisible(false);
    FRM_Destination.setCaption(QStringLiteral("Destination"));
    FRM_Destination.setVisible(false);
    TXT_Acronyme.setVisible(false);
    LBL_Apropos.setCaption(QStringLiteral("Label1"));
    CMD_Acronyme.setCaption(QStringLiteral("&Acronymes"));
    CMD_IpPort.setCaption(QStringLiteral("&IP Ports"));

    for (ui::ListBox* liste : {&LST_Liste, &LST_Liste1, &LSt_Liste2})
        liste->setVisible(false);
    // Enter presses the button that has the focus, and only that one: with
    // no dialog around them, auto-default buttons never become the window's
    // default, and Esc has no button to press.
    for (ui::CommandButton* bouton :
         {&CMD_IpPort, &CMD_MIMEType, &CMD_Acronyme, &CMD_Quitter, &CMD_Recherche})
        bouton->bouton()->setAutoDefault(true);

    auto* style = new StyleClassique;
    style->setParent(this);
    for (const ui::Control* controle : std::initializer_list<const ui::Control*>{
             &CHK_Raz, &CHK_Doublon, &FRM_Type, &FRM_Source, &FRM_Destination})
        controle->widget()->setStyle(style);

    for (ui::Label* etiquette : {&LBL_Source, &LBL_Destination})
        etiquette->etiquette()->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The about box: white, one border line, text centred and wrapped.
    QLabel* apropos = LBL_Apropos.etiquette();
    apropos->setAutoFillBackground(true);
    apropos->setFrameStyle(QFrame::Box | QFrame::Plain);
    apropos->setLineWidth(1);
    apropos->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    apropos->setWordWrap(true);

    colorerSelonLaPalette();

    // Names for screen readers where Qt has no caption to take one from.
    LST_Liste.widget()->setAccessibleName(QStringLiteral("Liste des ports IP"));
    LST_Liste1.widget()->setAccessibleName(QStringLiteral("Liste des acronymes"));
    LSt_Liste2.widget()->setAccessibleName(QStringLiteral("Liste des types MIME"));
    TXT_Acronyme.widget()->setAccessibleName(QStringLiteral("Description"));
    TXT_Source.widget()->setAccessibleName(QStringLiteral("Destination"));
    TXT_Destination.widget()->setAccessibleName(QStringLiteral("Source"));
    PICT_Listora.widget()->setAccessibleName(QStringLiteral("Visage souriant"));
    PICT1_Listora.widget()->setAccessibleName(QStringLiteral("Visage triste"));
}

// The colours fixed for a light desktop, each kept readable on the desktop's
// palette: the blue protocols take a lighter shade on a dark background, and
// the about text is black on its white background when the palette's text
// would not read there. A light palette keeps them exactly.
void Listora::colorerSelonLaPalette()
{
    const QColor fond = palette().color(QPalette::Window);
    for (ui::Label* etiquette : {&LBL_Source, &LBL_Destination})
        colorerTexte(etiquette->widget(), ui::couleurLisible(QColor(0, 0, 255), fond));

    QLabel* apropos = LBL_Apropos.etiquette();
    QPalette blanc = apropos->palette();
    blanc.setColor(QPalette::Window, Qt::white);
    const QColor texte = palette().color(QPalette::WindowText);
    blanc.setColor(QPalette::WindowText, ui::contraste(texte, Qt::white) >= ui::ContrasteLisible
                                             ? texte
                                             : QColor(Qt::black));
    apropos->setPalette(blanc);
}

void Listora::appliquerPolices()
{
    setFont(ui::policeClassique(true));
    const QFont normale = ui::policeClassique(false);
    for (const ui::Control* controle : std::initializer_list<const ui::Control*>{
             &LST_Liste, &LST_Liste1, &LSt_Liste2, &PICT_Listora, &PICT1_Listora})
        controle->widget()->setFont(normale);
}

void Listora::ordonnerTabulation()
{
    // By tab index, 0 to 20. Frames, labels and picture boxes never take the
    // focus and drop out; hidden and disabled controls are skipped by Tab.
    const std::array<QWidget*, 21> parIndex{
        CMD_IpPort.widget(),      CMD_Acronyme.widget(),  FRM_Type.widget(),
        CMD_Quitter.widget(),     LST_Liste.widget(),     TXT_Acronyme.widget(),
        FRM_Destination.widget(), FRM_Source.widget(),    LBL_Source.widget(),
        LBL_Destination.widget(), TXT_Source.widget(),    LST_Liste1.widget(),
        TXT_Destination.widget(), PICT1_Listora.widget(), PICT_Listora.widget(),
        CHK_Doublon.widget(),     LBL_Apropos.widget(),   CMD_Recherche.widget(),
        CMD_MIMEType.widget(),    LSt_Liste2.widget(),    CHK_Raz.widget()};
    QWidget* precedent = nullptr;
    for (QWidget* controle : parIndex) {
        if (controle->focusPolicy() == Qt::NoFocus)
            continue;
        if (precedent)
            setTabOrder(precedent, controle);
        precedent = controle;
    }
}
