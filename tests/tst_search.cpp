// The search window over the main window: its controls, its opening and every
// way out, what a search lists and shows, and the full read of a searched list
// at the next press of its button.
#include "app/listora.h"
#include "catalogue/constant.h"
#include "search/recherche.h"
#include "ui/msgbox.h"

#include <QCheckBox>
#include <QPointer>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>

namespace
{

void ecrireDat(const QByteArray& octets)
{
    QFile f(QStringLiteral("LISTORA.DAT"));
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(octets) == octets.size());
}

QStringList elements(const ui::ListBox& liste)
{
    QStringList textes;
    for (int i = 0; i < liste.ListCount(); ++i)
        textes << liste.List(i);
    return textes;
}

// The caption fits the room the style gives it, on at most `lignes` lines.
bool legendeTient(QWidget* w, int lignes)
{
    QStyleOptionButton option;
    option.initFrom(w);
    option.text = w->property("text").toString();
    const QRect zone = !w->inherits("QAbstractButton") ? w->contentsRect()
                       : w->inherits("QCheckBox")
                           ? w->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, w)
                           : w->style()->subElementRect(QStyle::SE_PushButtonContents, &option, w);
    const QFontMetrics fm(w->font());
    const int drapeaux = Qt::TextWordWrap | Qt::TextShowMnemonic;
    const QRect place = fm.boundingRect(zone, drapeaux, option.text);
    return place.width() <= zone.width() && place.height() <= zone.height() &&
           place.height() <=
               lignes * fm.boundingRect(zone, drapeaux, QStringLiteral("Ég")).height();
}

} // namespace

class TstSearch : public QObject
{
    Q_OBJECT
    QTemporaryDir dossier;
    std::unique_ptr<Listora> f;
    QPointer<Recherche> r;

    // Opens the search window through the main window's button.
    void ouvrir(int16_t liste = 2)
    {
        CONSTANT::Liste_Active = liste;
        f->CMD_Recherche.setEnabled(true);
        QTest::mouseClick(f->CMD_Recherche.widget(), Qt::LeftButton);
        r = Recherche::ouverte();
        QVERIFY(r && QTest::qWaitForWindowActive(r) && !f->isEnabled());
    }
    void chercher(int16_t liste, const QString& chaine, int casse = 1)
    {
        if (!Recherche::ouverte())
            ouvrir(liste);
        CONSTANT::Liste_Active = liste;
        r->TXT_recherche.setText(chaine);
        r->CHK_Recherche.setValue(casse);
        r->CMD_Recherche_Click();
    }
    void verifierRendue() // the main window given back, this one destroyed
    {
        QTRY_VERIFY(f->isEnabled() && !Recherche::ouverte() && f->isActiveWindow());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(r.isNull());
    }

private slots:
    void init() // each test in an empty folder of its own, on a fresh main window
    {
        const QString ici =
            dossier.filePath(QString(QTest::currentTestFunction()) + QTest::currentDataTag());
        QVERIFY(QDir().mkpath(ici) && QDir::setCurrent(ici));
        f = std::make_unique<Listora>();
        f->Form_Load();
        f->Me.Show();
        f->Timer1.setEnabled(false);
    }
    void cleanup() { f.reset(); }

    void controlsAreCreatedInOrderWithPlaceCaptionAndFont()
    {
        ouvrir();
        const struct {
            const char* nom;
            QRect twips;
            const char* legende;
            bool gras;
        } attendus[] = {
            {"CHK_Recherche", {120, 720, 2175, 555}, "Ignore Majuscules/Minuscules", false},
            {"CMD_Recherche", {1200, 1320, 1095, 315}, "&Recherche", true},
            {"CMD_Abandon", {120, 1320, 975, 315}, "&Abandon", true},
            {"TXT_recherche", {120, 480, 2175, 285}, "", false},
            {"LBL_recherche", {120, 240, 2295, 255}, "Recherche d'une chaîne", true}};
        const QList<QWidget*> crees = r->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        QCOMPARE(crees.size(), 5);
        for (int i = 0; i < 5; ++i) {
            QWidget* w = crees[i];
            QCOMPARE(w->objectName(), QLatin1String(attendus[i].nom));
            QCOMPARE(w->geometry(),
                     QRect(attendus[i].twips.topLeft() / 15, attendus[i].twips.size() / 15));
            QCOMPARE(w->font().bold(), attendus[i].gras);
            QCOMPARE(w->property("text").toString(), QString::fromUtf8(attendus[i].legende));
            QVERIFY2(legendeTient(w, i == 0 ? 2 : 1), attendus[i].nom);
        }
        QCOMPARE(r->size(), QSize(160, 116));
        QCOMPARE(r->minimumSize(), r->maximumSize());
        QCOMPARE(r->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint |
                                     Qt::WindowMinMaxButtonsHint | Qt::WindowTitleHint),
                 Qt::WindowTitleHint);
    }

    void opensCentredAndTitledAfterTheCatalogueOnShow_data()
    {
        QTest::addColumn<int>("liste");
        QTest::addColumn<QString>("titre");
        QTest::newRow("none") << 0 << "Recherche";
        QTest::newRow("IP ports") << 1 << "Recherche IP Ports";
        QTest::newRow("acronyms") << 2 << "Recherche Acronymes";
        QTest::newRow("MIME types") << 3 << "Recherche MIME Types";
    }
    void opensCentredAndTitledAfterTheCatalogueOnShow()
    {
        QFETCH(int, liste);
        QFETCH(QString, titre);
        ouvrir(int16_t(liste));
        QCOMPARE(r->windowTitle(), titre);
        const QSize ecran = r->screen()->size();
        QVERIFY(qAbs(r->x() - (ecran.width() - r->width()) / 2) <= 1);
        QVERIFY(qAbs(r->y() - (ecran.height() - r->height()) / 2) <= 1);
        r->CMD_Recherche_Click(); // with no catalogue on show, nothing to search
        QCOMPARE(r->CMD_Abandon.Caption() == QStringLiteral("&OK"), liste != 0);
        QCOMPARE(CONSTANT::Liste_A_Recharger, int16_t(liste ? liste + 1 : 0));
    }

    void everyWayOutGivesTheMainWindowBack_data()
    {
        QTest::addColumn<int>("sortie");
        QTest::newRow("Abandon clicked") << 0;
        QTest::newRow("Alt+O after a search") << 1;
        QTest::newRow("window manager close") << 2;
    }
    void everyWayOutGivesTheMainWindowBack()
    {
        QFETCH(int, sortie);
        ouvrir();
        QTest::mouseClick(f->CMD_Acronyme.widget(), Qt::LeftButton);
        QCOMPARE(f->FRM_Type.Caption(), QString()); // the main window took no click
        if (sortie == 0)
            QTest::mouseClick(r->CMD_Abandon.widget(), Qt::LeftButton);
        if (sortie == 1) {
            r->CMD_Recherche_Click();
            QTest::keyClick(r, Qt::Key_O, Qt::AltModifier);
        }
        if (sortie == 2)
            r->windowHandle()->close();
        verifierRendue();
    }

    void keyboardWalksSearchesAndEveryOpeningStartsFresh()
    {
        ouvrir();
        QStringList parcours;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            parcours << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(parcours,
                 QStringList({"CMD_Abandon", "CMD_Recherche", "CHK_Recherche", "TXT_recherche"}));
        QTest::keyClick(r->TXT_recherche.widget(), Qt::Key_Escape); // no button answers it
        QVERIFY(r->isVisible() && Recherche::ouverte() == r);
        QTest::keyClicks(r->TXT_recherche.widget(), QStringLiteral("tcp"));
        r->CHK_Recherche.setValue(0);
        QTest::keyClick(r->TXT_recherche.widget(), Qt::Key_Return);
        QCOMPARE(r->CMD_Abandon.Caption(), QStringLiteral("&OK"));
        r->CMD_Abandon_Click();
        verifierRendue();

        ouvrir();
        QCOMPARE(r->TXT_recherche.Text(), QString());
        QCOMPARE(r->CHK_Recherche.Value(), 1);
        QCOMPARE(r->CMD_Abandon.Caption(), QStringLiteral("&Abandon"));
        QCOMPARE(QApplication::focusWidget(), r->TXT_recherche.widget());
        f.reset(); // the search window goes with the main window
        QVERIFY(r.isNull() && !Recherche::ouverte());
    }

    void listsTheTermOfEveryValueHoldingTheString_data()
    {
        QTest::addColumn<QByteArray>("acronymes");
        QTest::addColumn<QString>("chaine");
        QTest::addColumn<int>("casse");
        QTest::addColumn<QStringList>("liste");
        const QByteArray tcpUdp("ACRO1=TCP,Transmission Control Protocol\n"
                                "ACRO2=UDP,User Datagram Protocol\n");
        const QByteArray ete("ACRO1=SAISON,\xC9t\xE9\n");
        QTest::newRow("case ignored") << tcpUdp << "tcp" << 1 << QStringList{"TCP"};
        QTest::newRow("case kept") << tcpUdp << "tcp" << 0 << QStringList{};
        QTest::newRow("hit in the meaning only") << tcpUdp << "Datagram" << 1 << QStringList{"UDP"};
        QTest::newRow("accented capital, case ignored")
            << ete << "été" << 1 << QStringList{"SAISON"};
        QTest::newRow("accents still count") << ete << "ete" << 1 << QStringList{};
        QTest::newRow("empty string: all, repeats included")
            << QByteArray("ACRO1=B,1\nACRO2=A,2\nACRO3=A,3\n") << "" << 0
            << QStringList{"A", "A", "B"};
        QTest::newRow("a comma: every value with one")
            << QByteArray("ACRO1=X,1\nACRO2=SEUL\nACRO3=,vide\n") << "," << 0
            << QStringList{"", "X"};
        QTest::newRow("no comma: all term; none after a gap")
            << QByteArray("ACRO1=SEUL\nACRO2=B,x\nACRO4=D,x\n") << "" << 0
            << QStringList{"B", "SEUL"};
    }
    void listsTheTermOfEveryValueHoldingTheString()
    {
        QFETCH(QByteArray, acronymes);
        QFETCH(QString, chaine);
        QFETCH(int, casse);
        QFETCH(QStringList, liste);
        ecrireDat("[ACRONYMES]\n" + acronymes);
        f->LST_Liste1.AddItem(QStringLiteral("avant la recherche"));
        chercher(2, chaine, casse);
        QCOMPARE(elements(f->LST_Liste1), liste);
        QCOMPARE(f->FRM_Type.Caption(),
                 QStringLiteral("Acronymes (%1) --- Recherche Activée").arg(liste.size()));
        QCOMPARE(r->CMD_Abandon.Caption(), QStringLiteral("&OK"));
        QCOMPARE(r->Me.MousePointer(), 0);
        QCOMPARE(CONSTANT::Liste_A_Recharger, int16_t(3));
    }

    void emptiesTheDetailFieldsAndCaptionsItsCatalogue_data()
    {
        QTest::addColumn<int>("liste");
        QTest::addColumn<QString>("legende");
        QTest::newRow("IP ports") << 1 << "IP Ports (2) ---  Recherche Activée";
        QTest::newRow("acronyms") << 2 << "Acronymes (2) --- Recherche Activée";
        QTest::newRow("MIME types") << 3 << "MIME Types (2) --- Recherche Activée";
        QTest::newRow("no data file") << -2 << "Acronymes (0) --- Recherche Activée";
    }
    void emptiesTheDetailFieldsAndCaptionsItsCatalogue()
    {
        QFETCH(int, liste);
        QFETCH(QString, legende);
        if (liste > 0)
            ecrireDat("[IP-PORTS]\nPROTO1=a,b,c,d,e,f\nPROTO2=g,h,i,j,k,l\n"
                      "[ACRONYMES]\nACRO1=a,b\nACRO2=c,d\n[MIME-TYPES]\nMIME1=a,b\nMIME2=c,d\n");
        for (ui::Label* l : {&f->LBL_Source, &f->LBL_Destination})
            l->setCaption(QStringLiteral("ancien"));
        for (ui::TextField* t : {&f->TXT_Source, &f->TXT_Destination, &f->TXT_Acronyme})
            t->setText(QStringLiteral("ancien"));
        chercher(int16_t(qAbs(liste)), QString());
        QCOMPARE(f->FRM_Type.Caption(), legende);
        const bool ip = liste == 1;
        QCOMPARE(f->LBL_Source.Caption().isEmpty() && f->LBL_Destination.Caption().isEmpty(), ip);
        QCOMPARE(f->TXT_Source.Text().isEmpty() && f->TXT_Destination.Text().isEmpty(), ip);
        QCOMPARE(f->TXT_Acronyme.Text().isEmpty(), !ip);
    }

    void searchedListsAreReadInFullAtTheirNextPress()
    {
        ecrireDat(
            "[ACRONYMES]\nACRO1=TCP,t\nACRO2=UDP,u\n[MIME-TYPES]\nMIME1=a/b,x\nMIME2=c/d,y\n");
        ui::EnregistreurMsgBox aucunMessage;
        f->CMD_Acronyme_Click();
        chercher(2, QStringLiteral("UDP"));
        chercher(2, QStringLiteral("TCP")); // replaces the first search's hits
        r->CMD_Abandon_Click();
        QCOMPARE(elements(f->LST_Liste1), QStringList{"TCP"}); // hits stay after closing
        f->CMD_MIMEType_Click();
        chercher(3, QStringLiteral("x"));
        r->CMD_Abandon_Click();

        f->CMD_Acronyme_Click(); // the marker names the MIME types now
        QCOMPARE(elements(f->LST_Liste1), QStringList({"TCP", "UDP"}));
        QCOMPARE(f->FRM_Type.Caption(), QStringLiteral("Acronymes (2)"));
        f->CMD_MIMEType_Click();
        QCOMPARE(elements(f->LSt_Liste2), QStringList({"a/b", "c/d"}));
        QVERIFY(aucunMessage.messages().isEmpty());
    }
};

QTEST_MAIN(TstSearch)
#include "tst_search.moc"
