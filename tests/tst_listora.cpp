// The main window as the user meets it: its controls, keyboard, start-up,
// quitting, the duplicate check box and the icon animation.
#include "app/listora.h"
#include "catalogue/constant.h"
#include "enregistreur_msgbox.h"
#include "window_fixture.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QTimer>

namespace
{

// Loaded, shown and active, with the icon timer stopped.
void ouvrir(Listora& f)
{
    f.Form_Load();
    f.Me.Show();
    f.Timer1.setEnabled(false);
    f.activateWindow();
    QVERIFY(fixture::actif(&f));
}

QString texteAffiche(const QWidget* w)
{
    return w->property(qobject_cast<const QGroupBox*>(w) ? "title" : "text").toString();
}

// The room the style gives a control's caption, and the size the caption needs.
QPair<QRect, QSize> placeDeLaLegende(QWidget* w)
{
    const QFontMetrics fm(w->font());
    const QString texte = texteAffiche(w);
    const QSize ligne(fm.horizontalAdvance(QString(texte).remove('&')), fm.height());
    if (qobject_cast<QAbstractButton*>(w)) {
        QStyleOptionButton option;
        option.initFrom(w);
        option.text = texte;
        auto* poussoir = qobject_cast<QPushButton*>(w);
        if (poussoir && poussoir->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        const auto element = poussoir ? QStyle::SE_PushButtonContents : QStyle::SE_CheckBoxContents;
        return {w->style()->subElementRect(element, &option, w), ligne};
    }
    if (qobject_cast<QGroupBox*>(w)) {
        QStyleOptionGroupBox option;
        option.initFrom(w);
        option.text = texte;
        return {w->rect().intersected(w->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                                 QStyle::SC_GroupBoxLabel, w)),
                ligne};
    }
    const QRect zone = w->contentsRect();
    const int alignement = int(qobject_cast<QLabel*>(w)->alignment()) | Qt::TextWordWrap;
    return {zone, fm.boundingRect(zone, alignement, texte).size()};
}

// The look of a control in words: "gras" or "normal", then what differs
// from a plain control: text colour, filled background, a label's plain
// frame and its line width, centred text.
QString decrireApparence(const QWidget* w)
{
    const QFontInfo police(w->font());
    QStringList mots{police.bold() ? "gras" : "normal"};
    if (police.pixelSize() != 11)
        mots << QString::number(police.pixelSize()) + " px";
    const QColor texte = w->palette().color(QPalette::Active, QPalette::WindowText);
    if (texte != QApplication::palette().color(QPalette::Active, QPalette::WindowText))
        mots << "texte " + texte.name();
    if (w->autoFillBackground())
        mots << "fond " + w->palette().color(QPalette::Window).name();
    if (const auto* etiquette = qobject_cast<const QLabel*>(w)) {
        if (etiquette->frameStyle() == (QFrame::Box | QFrame::Plain))
            mots << "filet " + QString::number(etiquette->lineWidth());
        else if (etiquette->frameShape() != QFrame::NoFrame)
            mots << "cadre";
        if (etiquette->alignment() & Qt::AlignHCenter)
            mots << "centré";
    }
    return mots.join(' ');
}

} // namespace

class TstListora : public QObject
{
    Q_OBJECT
    fixture::EnregistreurMsgBox boites; // of the catalogue buttons, which find no data file

private slots:
    // Named rows: the control's name. Its kind follows from its prefix; every
    // control that takes the focus has a name for screen readers. The look:
    // 11-pixel text (8.25 points), bold but in the lists and picture boxes.
    void controlsStartWithKindCaptionStateAndLook_data()
    {
        QTest::addColumn<QString>("conteneur");
        QTest::addColumn<QString>("legende");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<QString>("apparence");
        const auto l = [](const char* nom, const char* dans, const char* legende, bool visible,
                          const char* apparence = "gras") {
            QTest::newRow(nom) << dans << legende << visible << apparence;
        };
        l("CHK_Raz", "Listora", "Remise à zéro des listes", true);
        l("CMD_MIMEType", "Listora", "&MIME Types", true);
        l("CMD_Recherche", "Listora", "&Recherche", true);
        l("CHK_Doublon", "Listora", "Vérifier les doublons", true);
        l("PICT_Listora", "Listora", "", false, "normal");
        l("PICT1_Listora", "Listora", "", false, "normal");
        l("CMD_Quitter", "Listora", "&Quitter", true);
        l("FRM_Type", "Listora", "", true);
        l("LSt_Liste2", "FRM_Type", "", false, "normal");
        l("LST_Liste1", "FRM_Type", "", false, "normal");
        l("FRM_Source", "FRM_Type", "Source", false);
        l("TXT_Destination", "FRM_Source", "", true);
        l("LBL_Destination", "FRM_Source", "", true, "gras texte #0000ff");
        l("FRM_Destination", "FRM_Type", "Destination", false);
        l("TXT_Source", "FRM_Destination", "", true);
        l("LBL_Source", "FRM_Destination", "", true, "gras texte #0000ff");
        l("TXT_Acronyme", "FRM_Type", "", false);
        l("LST_Liste", "FRM_Type", "", false, "normal");
        l("LBL_Apropos", "FRM_Type", "Label1", true, "gras fond #ffffff filet 1 centré");
        l("CMD_Acronyme", "Listora", "&Acronymes", true);
        l("CMD_IpPort", "Listora", "&IP Ports", true);
    }
    void controlsStartWithKindCaptionStateAndLook()
    {
        QFETCH(QString, conteneur);
        QFETCH(QString, legende);
        QFETCH(bool, visible);
        QFETCH(QString, apparence);
        const QString nom = QTest::currentDataTag();
        const QMap<QString, const char*> genres{
            {"CHK", "QCheckBox"}, {"CMD", "QPushButton"}, {"FRM", "QGroupBox"}, {"LBL", "QLabel"},
            {"PIC", "QLabel"},    {"LST", "QListView"},   {"TXT", "QLineEdit"}};
        Listora f;
        QWidget* w = f.findChild<QWidget*>(nom);
        QVERIFY(w);
        QVERIFY(w->inherits(genres[nom.left(3).toUpper()]));
        QCOMPARE(w->parentWidget()->objectName(), conteneur);
        QCOMPARE(texteAffiche(w), legende);
        QCOMPARE(!w->isHidden(), visible);
        QCOMPARE(w->isEnabled(), nom != "CMD_Recherche"); // no search before a catalogue
        if (w->focusPolicy() != Qt::NoFocus) {
            const QAccessibleInterface* acces = QAccessible::queryAccessibleInterface(w);
            QVERIFY(acces && !acces->text(QAccessible::Name).trimmed().isEmpty());
        }
        // What a screen reader calls the controls that have no caption.
        const QMap<QString, QString> nomsLus{
            {"LST_Liste", "Liste des ports IP"},    {"LST_Liste1", "Liste des acronymes"},
            {"LSt_Liste2", "Liste des types MIME"}, {"TXT_Acronyme", "Description"},
            {"TXT_Source", "Destination"},          {"TXT_Destination", "Source"}};
        if (nomsLus.contains(nom))
            QCOMPARE(w->accessibleName(), nomsLus[nom]);
        // Both boxes draw the classic 13-pixel indicator.
        if (nom.startsWith("CHK"))
            QCOMPARE(w->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w), 13);
        QCOMPARE(decrireApparence(w), apparence);
    }

    // The icon animates from the start; Form_Load centres the window, even
    // one larger than the screen, titles it, writes the about text and
    // clears the shared state and the record of searched lists.
    void formLoadCentresTheWindowAndWritesItsTexts()
    {
        Listora f;
        QVERIFY(f.Timer1.Enabled() && f.findChild<QTimer*>("Timer1")->interval() == 1500);

        CONSTANT::Liste_Active = CONSTANT::Liste_A_Recharger = CONSTANT::Verif_Doublon = 2;
        f.montrerTrouves(catalogue::MimeTypes, {});
        const QSize ecran = QGuiApplication::primaryScreen()->size();
        f.resize(ecran * 1.25);
        f.Form_Load();
        // Centred on its outer size, which the offscreen platform tells
        // before the first show: a frame of 2 pixels a side.
        QCOMPARE(f.frameGeometry().size(), f.size() + QSize(4, 4));
        const QSize marge = ecran - f.frameGeometry().size();
        QCOMPARE(f.pos(), QPoint(marge.width() / 2, marge.height() / 2));
        QCOMPARE(f.windowTitle(), "Listora v1.20 ");
        QCOMPARE(f.LBL_Apropos.Caption(),
                 "\rListora v1.20 \r\rCe programme FreeWare vous permet d'accéder rapidement aux "
                 "listes présentées dans les boutons ci-dessus. Vous pouvez, vous-même enrichir "
                 "ces listes à l'intérieur du fichier LISTORA.DAT");
        QVERIFY(CONSTANT::Liste_Active == 0 && CONSTANT::Liste_A_Recharger == 0);
        QCOMPARE(CONSTANT::Verif_Doublon, 0);
        QVERIFY(!f.listeFiltree(catalogue::MimeTypes));
    }

    void tabWalksTheControlsOnShowByTabIndex()
    {
        Listora f;
        ouvrir(f);
        QCOMPARE(QApplication::focusWidget(), f.CMD_IpPort.widget());
        const auto parcours = [](qsizetype pas) {
            QStringList vus;
            while (vus.size() < pas) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                vus << QApplication::focusWidget()->objectName();
            }
            return vus;
        };
        QCOMPARE(parcours(6), QStringList({"CMD_Acronyme", "CMD_Quitter", "CHK_Doublon",
                                           "CMD_MIMEType", "CHK_Raz", "CMD_IpPort"}));
        f.LBL_Apropos.setVisible(false); // as the acronym loader leaves the window
        f.TXT_Acronyme.setVisible(true);
        f.LST_Liste1.setVisible(true);
        f.CMD_Recherche.setEnabled(true);
        QCOMPARE(parcours(9), QStringList({"CMD_Acronyme", "CMD_Quitter", "TXT_Acronyme",
                                           "LST_Liste1", "CHK_Doublon", "CMD_Recherche",
                                           "CMD_MIMEType", "CHK_Raz", "CMD_IpPort"}));
    }

    // Enter presses only the focused button, Esc none; an access key clicks its
    // button once enabled.
    void altKeysPressTheirButtonButNoneAnswersWhileDisabledOrUnfocused()
    {
        Listora f;
        ouvrir(f);
        QStringList clics;
        for (QPushButton* b : f.findChildren<QPushButton*>())
            connect(b, &QPushButton::clicked, this, [&clics, b] { clics << b->objectName(); });
        f.CHK_Doublon.widget()->setFocus();
        QTest::keyClick(&f, Qt::Key_R, Qt::AltModifier); // "&Recherche" is disabled
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QCOMPARE(f.CHK_Doublon.Value(), 0);
        f.CMD_Acronyme.widget()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(clics, QStringList{"CMD_Acronyme"});
        // A press of Alt+R would have clicked before these delayed clicks do.
        for (Qt::Key touche : {Qt::Key_I, Qt::Key_M, Qt::Key_A})
            QTest::keyClick(&f, touche, Qt::AltModifier);
        QVERIFY(fixture::jusqua([&] { return clics.size() == 4; }));
        QCOMPARE(clics,
                 QStringList({"CMD_Acronyme", "CMD_IpPort", "CMD_MIMEType", "CMD_Acronyme"}));
        f.CMD_Recherche.setEnabled(true);
        QTest::keyClick(&f, Qt::Key_R, Qt::AltModifier);
        QVERIFY(fixture::jusqua([&] { return clics.size() == 5; }));
        QCOMPARE(clics.value(4), "CMD_Recherche");
        QVERIFY(!f.estDecharge());
    }

    // Every caption after start-up, then the longest a catalogue gives its frame.
    void captionsFitTheirControls()
    {
        Listora f;
        f.Form_Load();
        QStringList verifies;
        for (QWidget* w : f.findChildren<QWidget*>()) {
            if (texteAffiche(w).isEmpty() || w->inherits("QLineEdit"))
                continue;
            const auto [zone, besoin] = placeDeLaLegende(w);
            QVERIFY2(besoin.boundedTo(zone.size()) == besoin, qPrintable(w->objectName()));
            verifies << w->objectName();
        }
        QCOMPARE(verifies.size(), 10);
        f.FRM_Type.setCaption("IP Ports (32767) ---  Recherche Activée");
        const auto [zone, besoin] = placeDeLaLegende(f.FRM_Type.widget());
        QCOMPARE(besoin.boundedTo(zone.size()), besoin);
    }

    // What shows at once never overlaps and stays within its window or frame:
    // at start-up and with each catalogue shown.
    void controlsShownTogetherStayApartAndInside()
    {
        Listora f;
        ouvrir(f);
        QStringList fautes;
        const auto verifier = [&](const QString& etat) {
            QList<QWidget*> parents = f.findChildren<QWidget*>();
            parents << &f;
            for (QWidget* parent : parents) {
                QList<QWidget*> vus; // the program's own controls, not Qt's inner parts
                for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                    if (w->isVisibleTo(&f) && !w->objectName().isEmpty() &&
                        !w->objectName().startsWith("qt_"))
                        vus << w;
                for (qsizetype i = 0; i < vus.size(); ++i) {
                    if (!parent->rect().contains(vus[i]->geometry()))
                        fautes << etat + ": " + vus[i]->objectName() + " leaves its parent";
                    for (qsizetype j = i + 1; j < vus.size(); ++j)
                        if (vus[i]->geometry().intersects(vus[j]->geometry()))
                            fautes << etat + ": " + vus[i]->objectName() + " overlaps " +
                                          vus[j]->objectName();
                }
            }
        };
        verifier("start-up");
        for (ui::CommandButton* bouton : {&f.CMD_IpPort, &f.CMD_MIMEType, &f.CMD_Acronyme}) {
            QTest::mouseClick(bouton->bouton(), Qt::LeftButton);
            verifier(bouton->bouton()->objectName());
        }
        QCOMPARE(fautes, QStringList());
    }

    // The close box unloads as "&Quitter" does, and a second unload does nothing.
    void unloadingHappensOnce_data()
    {
        QTest::addColumn<bool>("parAltQ");
        QTest::newRow("Alt+Q") << true;
        QTest::newRow("close box") << false;
    }
    void unloadingHappensOnce()
    {
        QFETCH(bool, parAltQ);
        Listora f;
        ouvrir(f);
        QSignalSpy fin(&f, &Listora::decharge);
        if (parAltQ)
            QTest::keyClick(&f, Qt::Key_Q, Qt::AltModifier);
        else
            f.close();
        QVERIFY(fixture::jusqua([&] { return f.estDecharge() && !f.isVisible(); }));
        f.CMD_Quitter_Click();
        QCOMPARE(fin.count(), 1);
        QCOMPARE(f.codeDeSortie(), 0);
    }

    void duplicateBoxSetsTheCheck()
    {
        Listora f;
        ouvrir(f);
        QTest::mouseClick(f.CHK_Doublon.widget(), Qt::LeftButton);
        QCOMPARE(CONSTANT::Verif_Doublon, 1);
        QTest::mouseClick(f.CHK_Doublon.widget(), Qt::LeftButton);
        QCOMPARE(CONSTANT::Verif_Doublon, 0);
    }

    void iconShowsTheSmileThenAlternatesFromTheSecondTick()
    {
        Listora f;
        f.Timer1.setEnabled(false);
        const ui::Picture sourire = f.PICT_Listora.Picture();
        const ui::Picture triste = f.PICT1_Listora.Picture();
        const auto pixels = [](const ui::Picture& p) { return p.image.pixmap(32).toImage(); };
        QCOMPARE(qAlpha(pixels(sourire).pixel(0, 0)), 0); // transparent outside the face
        QVERIFY(pixels(sourire) != pixels(triste));
        QCOMPARE(pixels(f.Me.Icon()), pixels(sourire)); // at creation, as a picture of its own
        for (int tic = 0; tic < 4; ++tic) {
            f.Me.setEnabled(tic < 3); // the last as while the search window is open
            f.Timer1_Timer();
            QCOMPARE(f.windowIcon().cacheKey(), (tic % 2 ? triste : sourire).Handle());
        }
    }
};

QTEST_MAIN(TstListora)
#include "tst_listora.moc"
