// Pressing a catalogue button: what a press shows of the loading's outcome,
// when it reads the file again, and the reset box that presses all three.
#include "app/listora.h"
#include "catalogue/constant.h"
#include "catalogue/key_walk.h"
#include "catalogue/loading.h"
#include "enregistreur_msgbox.h"
#include "ui/toolkit.h"
#include "window_fixture.h"

using fixture::ecrireDat;

namespace
{

const QByteArray Catalogues = "[IP-PORTS]\nPROTO1=http,TCP,80,TCP,1024,Web\n"
                              "[ACRONYMES]\nACRO1=ZIP,Zone\nACRO2=abc,a,b\nACRO3=,vide\n"
                              "[MIME-TYPES]\nMIME1=text/plain,Texte\n";

} // namespace

class TstLoad : public QObject
{
    Q_OBJECT
    fixture::DossierParTest dossier;
    std::unique_ptr<Listora> f;

private slots:
    void init() // each test in an empty folder of its own, with a new window
    {
        dossier.entrer();
        f = std::make_unique<Listora>();
        f->Form_Load();
        f->FRM_Type.setCaption("avant");
    }

    void acronymPressFollowsTheStateTable_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<int>("marqueur");  // negative: the list holds search results
        QTest::addColumn<QString>("avant"); // in the list before the press
        QTest::addColumn<int>("doublon");
        QTest::addColumn<QString>("apres"); // then the marker and the caption
        const QByteArray c = Catalogues;
        QTest::newRow("marker names it") << c << 3 << "X" << 0 << "|abc|ZIP 0 Acronymes (3)";
        QTest::newRow("check on") << c << 0 << "X" << 1 << "|abc|ZIP 0 Acronymes (3)";
        QTest::newRow("marker names another, never loaded")
            << c << 2 << "" << 0 << "|abc|ZIP 2 Acronymes (3)";
        QTest::newRow("marker names another, loaded: no file access")
            << c << 4 << "X" << 0 << "X 4 Acronymes (1)";
        // A search here, then one in the MIME types: the hits are not the catalogue.
        QTest::newRow("search results, marker names another")
            << c << -4 << "X" << 0 << "|abc|ZIP 4 Acronymes (3)";
        QTest::newRow("no file, check on: emptied, caption kept")
            << QByteArray() << 0 << "X" << 1 << " 0 avant";
    }
    void acronymPressFollowsTheStateTable()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(int, marqueur);
        QFETCH(QString, avant);
        QFETCH(int, doublon);
        QFETCH(QString, apres);
        ecrireDat(fichier);
        if (!avant.isEmpty())
            fixture::remplir(f->LST_Liste1, {avant});
        CONSTANT::Liste_A_Recharger = int16_t(std::abs(marqueur));
        if (marqueur < 0) { // "avant" is what a search found
            catalogue::Termes trouves;
            trouves.ajouter(QStringView(avant));
            f->montrerTrouves(catalogue::Acronymes, trouves);
        }
        CONSTANT::Verif_Doublon = int16_t(doublon);
        fixture::EnregistreurMsgBox boites;
        QTest::mouseClick(f->CMD_Acronyme.widget(), Qt::LeftButton);
        QCOMPARE(fixture::termes(f->LST_Liste1).join('|') + ' ' +
                     QString::number(CONSTANT::Liste_A_Recharger) + ' ' + f->FRM_Type.Caption(),
                 apres);
        QCOMPARE(boites.messages().size(), fichier.isEmpty() ? 1 : 0);
        QVERIFY(CONSTANT::Liste_Active == 2 && f->Me.MousePointer() == 0 && !f->estDecharge());
        QVERIFY(!f->listeFiltree(catalogue::Acronymes)); // read in full, or never searched
    }

    // Every press first shows its catalogue alone, whatever the file holds,
    // then its list and caption, or the box of the fault. Before the press
    // every control of the frame shows and every detail field holds a text.
    void pressShowsItsCatalogueAloneThenItsOutcome_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("visibles");    // the frame's controls on show
        QTest::addColumn<QStringList>("details"); // of an "ancien" before the press
        QTest::addColumn<int>("largeur");         // of the list, in twips
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<QStringList>("termes"); // in the list
        QTest::addColumn<char>("faute");         // f: no file, s: syntax, d: duplicate
        QTest::addColumn<QString>("fautif");
        const auto catalogue = [](const char* nom, int numero, const char* visibles,
                                  const QStringList& details, int largeur, const QByteArray& bon,
                                  const QStringList& termes, const QByteArray& syntaxe,
                                  const QByteArray& doublon, const QString& terme) {
            const catalogue::Catalogue& c = *catalogue::Tous[numero - 1];
            const auto row = [&](const char* issue, const QByteArray& valeurs, const QStringList& t,
                                 char faute, const QString& fautif) {
                QTest::addRow("%s, %s", nom, issue)
                    << numero << QString(visibles) << details << largeur
                    << (valeurs.isEmpty() ? QByteArray() : fixture::section(c, valeurs)) << t
                    << faute << fautif;
            };
            row("loaded", bon, termes, 0, {});
            row("no file", {}, {}, 'f', {});
            row("syntax", syntaxe, {}, 's', syntaxe.split('\n').last());
            row("duplicate", doublon, {}, 'd', terme);
        };
        // The IP ports' list keeps its width; the others are widened.
        const QString a = "ancien";
        catalogue("IP ports", 1, "FRM_Source FRM_Destination LST_Liste", {a, "", "", "", ""}, 1000,
                  "http,TCP,80,TCP,1024,Web\ndns,UDP,53,UDP,1024,Noms", {"dns", "http"},
                  "http,TCP,80,TCP,1024,Web\nssh,TCP,22", "dns,a,b,c,d,e\nDNS,f,g,h,i,j", "DNS");
        catalogue("acronyms", 2, "TXT_Acronyme LST_Liste1", {"", a, a, a, a}, 2000,
                  "ZIP,Zone\nabc,a", {"abc", "ZIP"}, "ZIP Zone", "ZIP,Zone\nzip,z", "zip");
        catalogue("MIME types", 3, "TXT_Acronyme LSt_Liste2", {"", a, a, a, a}, 4000,
                  "text/plain,Texte", {"text/plain"}, "text/plain", "a/b,1\nA/B,2", "A/B");
    }
    void pressShowsItsCatalogueAloneThenItsOutcome()
    {
        QFETCH(int, numero);
        QFETCH(QString, visibles);
        QFETCH(QStringList, details);
        QFETCH(int, largeur);
        QFETCH(QByteArray, fichier);
        QFETCH(QStringList, termes);
        QFETCH(char, faute);
        QFETCH(QString, fautif);
        const catalogue::Catalogue& c = *catalogue::Tous[numero - 1];
        ecrireDat(fichier);
        ui::ListBox* listes[] = {&f->LST_Liste, &f->LST_Liste1, &f->LSt_Liste2};
        const QList<ui::Control*> cadre{&f->LBL_Apropos,  &f->FRM_Source, &f->FRM_Destination,
                                        &f->TXT_Acronyme, listes[0],      listes[1],
                                        listes[2]};
        for (ui::Control* controle : cadre)
            controle->setVisible(true);
        for (ui::ListBox* l : listes)
            l->setWidth(1000);
        fixture::remplirDetails(*f, "ancien");
        CONSTANT::Verif_Doublon = 1;
        QList<int> pendantLaPasse;
        catalogue::observerPasse([&] { pendantLaPasse << f->Me.MousePointer(); });
        int pendantLaBoite = -1;
        fixture::EnregistreurMsgBox boites([&](auto&) { pendantLaBoite = f->Me.MousePointer(); });
        QTest::mouseClick(std::array{f->CMD_IpPort.widget(), f->CMD_Acronyme.widget(),
                                     f->CMD_MIMEType.widget()}[numero - 1],
                          Qt::LeftButton);
        catalogue::observerPasse({});

        QStringList vus;
        for (const ui::Control* controle : cadre)
            if (controle->Visible())
                vus << controle->widget()->objectName();
        QCOMPARE(vus.join(' '), visibles);
        QCOMPARE(fixture::details(*f), details);
        QVERIFY(f->CMD_Recherche.Enabled() && CONSTANT::Liste_Active == numero);
        QCOMPARE(listes[numero - 1]->widget()->width(), ui::twipsEnPixels(largeur));
        QCOMPARE(fixture::termes(*listes[numero - 1]), termes);
        QCOMPARE(f->FRM_Type.Caption(), faute ? "avant" : catalogue::legende(c, termes.size()));

        // The hourglass while the file is read; the duplicate's box alone
        // shows the default pointer.
        QCOMPARE(pendantLaPasse, QList<int>(pendantLaPasse.size(), 11));
        QCOMPARE(pendantLaPasse.isEmpty(), fichier.isEmpty());
        QCOMPARE(f->Me.MousePointer(), 0);
        QCOMPARE(boites.messages().size(), faute ? 1 : 0);
        if (!faute)
            return;
        const QMap<char, ui::MessageAffiche> attendus{
            {'f', {catalogue::messageFichier(c, ui::CurDir()), 48, catalogue::TitreFichier}},
            {'s', {catalogue::messageSyntaxe(fautif), 64, catalogue::TitreSyntaxe}},
            {'d', {catalogue::messageDoublon(c, fautif), 16, catalogue::TitreDoublon}}};
        const ui::MessageAffiche& m = boites.messages()[0];
        QCOMPARE(m.prompt, attendus[faute].prompt);
        QCOMPARE(m.style, attendus[faute].style);
        QCOMPARE(m.titre, attendus[faute].titre);
        QCOMPARE(pendantLaBoite, faute == 'd' ? 0 : 11);
        QCOMPARE(f->estDecharge(), faute != 'f'); // only the file message lets the program go on
        QCOMPARE(f->codeDeSortie(), faute != 'f' ? 1 : 0);
    }

    void resetReadsAllThreeInOrderUnlessOneEndsTheProgram_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<QString>("messages");
        QTest::addColumn<QString>("apres"); // the three counts, catalogue on show, box value
        QTest::newRow("all read, MIME on show") << Catalogues << ""
                                                << "1 3 1 3 0";
        QTest::newRow("no file: three messages") << QByteArray() << "IP-PORTS ACRONYMES MIME-TYPES"
                                                 << "0 0 0 3 0";
        QTest::newRow("duplicate in acronyms")
            << QByteArray(Catalogues).replace("ACRO3=", "ACRO3=zip,2\nACRO4=") << "LISTORA.DAT"
            << "1 0 1 2 1";
    }
    void resetReadsAllThreeInOrderUnlessOneEndsTheProgram()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(QString, messages);
        QFETCH(QString, apres);
        ecrireDat(fichier);
        for (ui::ListBox* l : {&f->LST_Liste, &f->LST_Liste1, &f->LSt_Liste2})
            fixture::remplir(*l, {"ANCIEN"});
        CONSTANT::Verif_Doublon = 1;
        fixture::EnregistreurMsgBox boites;
        QTest::mouseClick(f->CHK_Raz.widget(), Qt::LeftButton);
        QStringList fins;
        for (const ui::MessageAffiche& m : boites.messages())
            fins << m.prompt.section(' ', -1);
        QCOMPARE(fins.join(' '), messages);
        QCOMPARE(QString::asprintf("%d %d %d %d %d", f->LST_Liste.ListCount(),
                                   f->LST_Liste1.ListCount(), f->LSt_Liste2.ListCount(),
                                   CONSTANT::Liste_Active, f->CHK_Raz.Value()),
                 apres);
        QCOMPARE(f->estDecharge(), apres.endsWith('1'));
    }
};

QTEST_MAIN(TstLoad)
#include "tst_load.moc"
