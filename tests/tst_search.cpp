// The search window over the main window: its controls, its opening and every
// way out, what a search lists and shows, and the full read of a searched list
// at the next press of its button.
#include "app/listora.h"
#include "catalogue/constant.h"
#include "catalogue/key_walk.h"
#include "catalogue/loading.h"
#include "enregistreur_msgbox.h"
#include "search/recherche.h"
#include "window_fixture.h"

#include <QPointer>
#include <QSignalSpy>
#include <QStyleOptionButton>

using fixture::termes;

namespace
{

// The caption fits the room the style gives it, on at most `lignes` lines.
bool legendeTient(QWidget* w, int lignes)
{
    QStyleOptionButton option;
    option.initFrom(w);
    const auto element =
        w->inherits("QCheckBox") ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents;
    const QRect zone = w->inherits("QAbstractButton")
                           ? w->style()->subElementRect(element, &option, w)
                           : w->contentsRect();
    const QFontMetrics fm(w->font());
    const int drapeaux = Qt::TextWordWrap | Qt::TextShowMnemonic;
    const QRect place = fm.boundingRect(zone, drapeaux, w->property("text").toString());
    const int ligne = fm.boundingRect(zone, drapeaux, QStringLiteral("Ég")).height();
    return place.width() <= zone.width() &&
           place.height() <= std::min(zone.height(), lignes * ligne);
}

} // namespace

class TstSearch : public QObject
{
    Q_OBJECT
    fixture::DossierParTest dossier;
    std::unique_ptr<Listora> f;
    QPointer<Recherche> r;

    // Opens the search window through the main window's button, clicked or
    // pressed by its access key.
    void ouvrir(int liste = 2, bool parAltR = false)
    {
        CONSTANT::Liste_Active = int16_t(liste);
        f->CMD_Recherche.setEnabled(true);
        if (parAltR)
            QTest::keyClick(f.get(), Qt::Key_R, Qt::AltModifier);
        else
            QTest::mouseClick(f->CMD_Recherche.widget(), Qt::LeftButton);
        QVERIFY(fixture::jusqua([this] { return f->recherche() != nullptr; }));
        r = f->recherche();
        // Until the widgets see it active: from the second opening on, the
        // window system reports the search window active before the widgets do.
        QVERIFY(fixture::jusqua([this] { return r->isActiveWindow() && !f->isEnabled(); }));
    }
    void chercher(int liste, const QString& chaine, int casse = 1)
    {
        if (!f->recherche())
            ouvrir(liste);
        r->TXT_recherche.setText(chaine);
        r->CHK_Recherche.setValue(casse);
        r->CMD_Recherche_Click();
    }

private slots:
    void init() // each test in an empty folder of its own, on a fresh active main window
    {
        dossier.entrer();
        f = std::make_unique<Listora>();
        f->Form_Load();
        f->Me.Show();
        f->Timer1.setEnabled(false);
        f->activateWindow();
        QVERIFY(fixture::actif(f.get()));
    }
    void cleanup() { f.reset(); }

    // Every caption fits its control; only the buttons and the label are bold.
    void controlsAreCreatedInOrderWithCaptionAndWeight()
    {
        ouvrir();
        QStringList vus; // name, bold or not, caption
        for (QWidget* w : r->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const QFontInfo police(w->font());
            QCOMPARE(police.pixelSize(), 11);
            vus << w->objectName() + (police.bold() ? " gras " : " ") +
                       w->property("text").toString();
            QVERIFY2(legendeTient(w, w->inherits("QCheckBox") ? 2 : 1), qPrintable(vus.last()));
        }
        QCOMPARE(vus, QStringList({"CHK_Recherche Ignore Majuscules/Minuscules",
                                   "CMD_Recherche gras &Recherche", "CMD_Abandon gras &Abandon",
                                   "TXT_recherche ", "LBL_recherche gras Recherche d'une chaîne"}));
        QCOMPARE(r->minimumSize(), r->maximumSize());
        QCOMPARE(r->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint |
                                     Qt::WindowMinMaxButtonsHint | Qt::WindowTitleHint),
                 Qt::WindowTitleHint);
    }

    // Each opening creates the window afresh; each row leaves by another way,
    // every one giving the main window back, the focus on the control that
    // had it (a click on "&Recherche" takes it, Alt+R does not; Space on the
    // reset box would reload every list), or going with the main window.
    void opensCentredTitledAfterTheCatalogueAndGivesBack_data()
    {
        QTest::addColumn<int>("liste");
        QTest::addColumn<QString>("titre");
        QTest::addColumn<bool>("parAltR");
        QTest::addColumn<QString>("sortie");
        QTest::newRow("none, Alt+R then Alt+A") << 0 << "Recherche" << true << "Alt+A";
        QTest::newRow("IP ports, Alt+O after a search")
            << 1 << "Recherche IP Ports" << false << "Alt+O";
        QTest::newRow("acronyms, OK clicked") << 2 << "Recherche Acronymes" << false << "OK";
        QTest::newRow("MIME types, window manager close")
            << 3 << "Recherche MIME Types" << false << "close";
        QTest::newRow("MIME types, main window gone")
            << 3 << "Recherche MIME Types" << false << "gone";
    }
    void opensCentredTitledAfterTheCatalogueAndGivesBack()
    {
        QFETCH(int, liste);
        QFETCH(QString, titre);
        QFETCH(bool, parAltR);
        QFETCH(QString, sortie);
        if (parAltR)
            f->CMD_Acronyme.widget()->setFocus();
        QWidget* focus = parAltR ? f->CMD_Acronyme.widget() : f->CMD_Recherche.widget();
        ouvrir(liste, parAltR);
        QCOMPARE(r->windowTitle(), titre);
        // Centred on its outer size: the offscreen platform tells a frame of
        // 2 pixels a side before the first show.
        const QSize ecran = r->screen()->size(), dehors = r->frameGeometry().size();
        QCOMPARE(dehors, r->size() + QSize(4, 4));
        QVERIFY(qAbs(r->x() - (ecran.width() - dehors.width()) / 2) <= 1 &&
                qAbs(r->y() - (ecran.height() - dehors.height()) / 2) <= 1);
        QVERIFY(r->TXT_recherche.Text().isEmpty() && r->CHK_Recherche.Value() == 1);
        QCOMPARE(r->CMD_Abandon.Caption(), QStringLiteral("&Abandon"));
        QStringList parcours{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            parcours << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(parcours, QStringList({"TXT_recherche", "CMD_Abandon", "CMD_Recherche",
                                        "CHK_Recherche", "TXT_recherche"}));
        QTest::keyClick(r->TXT_recherche.widget(), Qt::Key_Escape); // no button answers it
        QVERIFY(r->isVisible() && f->recherche() == r);
        // Return presses "&Recherche"; with no catalogue on show, nothing is searched.
        QTest::keyClick(r->TXT_recherche.widget(), Qt::Key_Return);
        QCOMPARE(r->CMD_Abandon.Caption() == QStringLiteral("&OK"), liste != 0);
        QCOMPARE(CONSTANT::Liste_A_Recharger, int16_t(liste ? liste + 1 : 0));
        if (sortie.startsWith("Alt+"))
            QTest::keyClick(r, sortie.back().toLatin1(), Qt::AltModifier);
        if (sortie == "OK")
            QTest::mouseClick(r->CMD_Abandon.widget(), Qt::LeftButton);
        if (sortie == "close")
            r->windowHandle()->close();
        if (sortie == "gone") {
            f.reset();
        } else { // the main window given back
            QVERIFY(fixture::jusqua(
                [this] { return f->isEnabled() && !f->recherche() && f->isActiveWindow(); }));
            QCOMPARE(QApplication::focusWidget(), focus);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(r.isNull() && (!f || !f->recherche()));
    }

    // A close asked by the window manager while the search window is open is
    // refused, as a disabled window takes no input; once the search window
    // is gone it unloads the main window.
    void mainWindowRefusesToCloseWhileSearching()
    {
        ouvrir();
        f->windowHandle()->close();
        QVERIFY(!f->close());
        QVERIFY(!f->estDecharge() && f->isVisible() && f->recherche() == r);
        r->CMD_Abandon_Click();
        f->windowHandle()->close();
        QVERIFY(f->estDecharge() && !f->isVisible());
    }

    // "&Recherche" pressed before the event loop has destroyed the window
    // just closed opens a new one, which stays.
    void reopeningAtOnceOpensANewWindow()
    {
        ouvrir();
        const QPointer<Recherche> ancienne = r;
        ancienne->CMD_Abandon_Click();
        f->CMD_Recherche_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(ancienne.isNull());
        QVERIFY(f->recherche() && f->recherche()->isVisible() && !f->isEnabled());
    }

    // The search window reports to whichever window opened it, a bare one
    // here: the search beginning, its hits in key order, its closing.
    void searchWindowReportsToTheWindowBelow()
    {
        fixture::ecrireDat(fixture::section(catalogue::Acronymes, "ZIP,z\nABC,z\nX,y"));
        QWidget dessous;
        const QPointer<Recherche> seule = new Recherche(&dessous);
        QStringList rapports;
        connect(seule, &Recherche::commencee, this,
                [&](const catalogue::Catalogue& c) { rapports << c.section; });
        connect(seule, &Recherche::trouve, this,
                [&](const catalogue::Catalogue& c, const catalogue::Termes& t) {
                    rapports << c.section + QStringLiteral(": ") + termes(t).join(',');
                });
        connect(seule, &Recherche::fermee, this, [&] { rapports << "fermee"; });
        CONSTANT::Liste_Active = 2;
        seule->TXT_recherche.setText("z");
        seule->CMD_Recherche_Click();
        seule->CMD_Abandon_Click();
        QCOMPARE(rapports, QStringList({"ACRONYMES", "ACRONYMES: ZIP,ABC", "fermee"}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(seule.isNull());
    }

    // The window manager keeps the search window above the main window and
    // minimises it only with it; activating the main window brings the
    // search window forward (the offscreen platform has no stacking order to
    // check the raise by).
    void searchWindowStaysWithTheMainWindow()
    {
        ouvrir();
        QCOMPARE(r->windowHandle()->transientParent(), f->windowHandle());
        QSignalSpy actives(qApp, &QGuiApplication::focusWindowChanged);
        f->activateWindow();
        QVERIFY(fixture::jusqua([&] { return actives.size() >= 2; }));
        QCOMPARE(actives.size(), 2);
        QCOMPARE(actives[0][0].value<QWindow*>(), f->windowHandle());
        QCOMPARE(actives[1][0].value<QWindow*>(), r->windowHandle());
    }

    // A search replaces its catalogue's list with the hits, captions the
    // frame and empties the list and the detail fields of its catalogue
    // before its pass, under the hourglass of the search window.
    void searchShowsItsHitsUnderTheHourglass_data()
    {
        QTest::addColumn<int>("liste");
        QTest::addColumn<QByteArray>("valeurs"); // of keys 1, 2, ...
        QTest::addColumn<QString>("chaine");
        QTest::addColumn<int>("casse"); // the case box
        QTest::addColumn<QStringList>("trouves");
        QTest::addColumn<QStringList>("details"); // of an "ancien" before the search
        // The description goes too: of an IP port, it told the entry that was
        // selected before, which may no longer be listed.
        const QString a = "ancien";
        QTest::newRow("IP ports: the four fields and the description emptied")
            << 1 << QByteArray("http,TCP,80,TCP,1024,Web\ndns,UDP,53,UDP,1024,Noms") << ",53" << 1
            << QStringList{"dns"} << QStringList{"", "", "", "", ""};
        QTest::newRow("acronyms: the string's blanks count")
            << 2 << QByteArray("W3,World Wide Web\nWEB,toile") << " web" << 1 << QStringList{"W3"}
            << QStringList{"", a, a, a, a};
        QTest::newRow("MIME types: letter case kept")
            << 3 << QByteArray("a/b,Texte\nc/d,texte") << "Texte" << 0 << QStringList{"a/b"}
            << QStringList{"", a, a, a, a};
    }
    void searchShowsItsHitsUnderTheHourglass()
    {
        QFETCH(int, liste);
        QFETCH(QByteArray, valeurs);
        QFETCH(QString, chaine);
        QFETCH(int, casse);
        QFETCH(QStringList, trouves);
        QFETCH(QStringList, details);
        const catalogue::Catalogue& c = *catalogue::Tous[liste - 1];
        fixture::ecrireDat(fixture::section(c, valeurs));
        ui::ListBox& l = *std::array{&f->LST_Liste, &f->LST_Liste1, &f->LSt_Liste2}[liste - 1];
        fixture::remplir(l, {"avant la recherche"});
        fixture::remplirDetails(*f, "ancien");
        ouvrir(liste);
        r->TXT_recherche.setText(chaine);
        r->CHK_Recherche.setValue(casse);
        QList<QPoint> pendantLaPasse;    // the search window's pointer, the main window's
        bool videsPendantLaPasse = true; // the list, and the details as they end
        catalogue::observerPasse([&] {
            pendantLaPasse << QPoint(r->Me.MousePointer(), f->Me.MousePointer());
            videsPendantLaPasse &= l.ListCount() == 0 && fixture::details(*f) == details;
        });
        QTest::mouseClick(r->CMD_Recherche.widget(), Qt::LeftButton);
        catalogue::observerPasse({});

        QCOMPARE(termes(l), trouves);
        QCOMPARE(f->FRM_Type.Caption(), catalogue::legendeRecherche(c, trouves.size()));
        QCOMPARE(fixture::details(*f), details);
        QCOMPARE(r->CMD_Abandon.Caption(), "&OK");
        QVERIFY(!pendantLaPasse.isEmpty());
        QCOMPARE(pendantLaPasse, QList<QPoint>(pendantLaPasse.size(), QPoint(11, 0)));
        QVERIFY(videsPendantLaPasse);
        QCOMPARE(r->Me.MousePointer(), 0);
    }

    void searchedListsAreReadInFullAtTheirNextPress()
    {
        fixture::ecrireDat(
            "[ACRONYMES]\nACRO1=TCP,t\nACRO2=UDP,u\n[MIME-TYPES]\nMIME1=a/b,x\nMIME2=c/d,y\n");
        fixture::EnregistreurMsgBox aucunMessage;
        f->CMD_Acronyme_Click();
        chercher(2, QStringLiteral("UDP"));
        chercher(2, QStringLiteral("TCP")); // replaces the first search's hits
        r->CMD_Abandon_Click();
        QCOMPARE(termes(f->LST_Liste1), QStringList{"TCP"}); // hits stay after closing
        f->CMD_MIMEType_Click();
        chercher(3, QStringLiteral("x"));
        r->CMD_Abandon_Click();

        f->CMD_Acronyme_Click(); // the marker names the MIME types now
        QCOMPARE(termes(f->LST_Liste1), QStringList({"TCP", "UDP"}));
        QCOMPARE(f->FRM_Type.Caption(), QStringLiteral("Acronymes (2)"));
        f->CMD_MIMEType_Click();
        QCOMPARE(termes(f->LSt_Liste2), QStringList({"a/b", "c/d"}));
        QVERIFY(aucunMessage.messages().isEmpty());
    }
};

QTEST_MAIN(TstSearch)
#include "tst_search.moc"
