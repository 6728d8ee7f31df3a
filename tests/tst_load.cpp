// Pressing a catalogue button: what a press reads, shows and reports, and the
// reset box that presses all three.
#include "app/listora.h"
#include "catalogue/constant.h"
#include "catalogue/key_walk.h"
#include "catalogue/loading.h"
#include "ui/msgbox.h"
#include "window_fixture.h"

using fixture::ecrireDat;

namespace
{

const QString CR(QChar(13));
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
            f->LST_Liste1.AddItem(avant);
        CONSTANT::Liste_A_Recharger = int16_t(std::abs(marqueur));
        if (marqueur < 0)
            catalogue::marquerListeFiltree(2);
        CONSTANT::Verif_Doublon = int16_t(doublon);
        ui::EnregistreurMsgBox boites;
        QTest::mouseClick(f->CMD_Acronyme.widget(), Qt::LeftButton);
        QCOMPARE(fixture::termes(f->LST_Liste1).join('|') + ' ' +
                     QString::number(CONSTANT::Liste_A_Recharger) + ' ' + f->FRM_Type.Caption(),
                 apres);
        QCOMPARE(boites.messages().size(), fichier.isEmpty() ? 1 : 0);
        QVERIFY(CONSTANT::Liste_Active == 2 && f->Me.MousePointer() == 0 && !f->estDecharge());
        QVERIFY(!catalogue::listeFiltree(2)); // read in full, or never searched
    }

    void everyMessageHasItsTextTitleAndStyle_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<int>("style");      // 48 file, 64 syntax, 16 duplicate
        QTest::addColumn<QString>("prompt"); // {dir} stands for the current directory
        const QString syntaxe = "La ligne '%1' semble erronée. La virgule est manquante";
        const QString doublon =
            "%1 existe déjà dans la liste." + CR + CR + "Vérifier votre fichier LISTORA.DAT";
        QTest::newRow("no file") << 1 << QByteArray() << 48
                                 << "Le fichier LISTORA.DAT est absent ou corrompu." + CR + CR +
                                        "Vérifier sa présence dans le répertoire {dir}" + CR + CR +
                                        "Vérifier aussi que la section se nomme IP-PORTS";
        QTest::newRow("IP port with four commas")
            << 1 << QByteArray("[IP-PORTS]\nPROTO1=a,b,c,d,e") << 64 << syntaxe.arg("a,b,c,d,e");
        QTest::newRow("second value's comma past character 199")
            << 3 << "[MIME-TYPES]\nMIME1=a,b\nMIME2=" + QByteArray(219, 'x') + ",y\n"
            << 64 << syntaxe.arg(QString(199, 'x'));
        QTest::newRow("first duplicate in key order, as written")
            << 2 << QByteArray("[ACRONYMES]\nACRO1=Abc,1\nACRO2=x,2\nACRO3=ABC,3\nACRO4=x,4\n")
            << 16 << doublon.arg("L'acronyme ABC");
        QByteArray long_ = "[ACRONYMES]\n";
        for (int n = 1; n <= 5000; ++n)
            long_ += "ACRO" + QByteArray::number(n) + "=T" + QByteArray::number(n) + ",s\n";
        QTest::newRow("duplicate met after 5,000 distinct terms")
            << 2 << long_ + "ACRO5001=t17,s\n"
            << 16 << doublon.arg("L'acronyme t17");
        // Upper-cased one character at a time: "ß" has no one-letter capital.
        QTest::newRow("straße is not STRASSE, but is STRAßE")
            << 2
            << QByteArray("[ACRONYMES]\nACRO1=stra\xC3\x9F"
                          "e,1\nACRO2=STRASSE,2\n"
                          "ACRO3=STRA\xC3\x9F"
                          "E,3\n")
            << 16 << doublon.arg("L'acronyme STRAßE");
        QTest::newRow("second empty IP term")
            << 1 << QByteArray("[IP-PORTS]\nPROTO1=,,,,,\nPROTO2=,,,,,\n") << 16
            << doublon.arg("Le Protocol ");
    }
    void everyMessageHasItsTextTitleAndStyle()
    {
        QFETCH(int, numero);
        QFETCH(QByteArray, fichier);
        QFETCH(int, style);
        QFETCH(QString, prompt);
        ecrireDat(fichier);
        CONSTANT::Verif_Doublon = 1;
        int pointeur = -1; // while the box is up
        ui::EnregistreurMsgBox boites([&](auto&) { pointeur = f->Me.MousePointer(); });
        (f.get()->*std::array{&Listora::CMD_IpPort_Click, &Listora::CMD_Acronyme_Click,
                              &Listora::CMD_MIMEType_Click}[numero - 1])();
        QCOMPARE(boites.messages().size(), 1);
        const ui::MessageAffiche& m = boites.messages()[0];
        QCOMPARE(m.prompt, prompt.replace("{dir}", QDir::currentPath()));
        QCOMPARE(m.style, style);
        const QMap<int, QString> titres{
            {48, "Erreur Fichier"}, {64, " Erreur de Syntaxe"}, {16, "Doublon"}};
        QCOMPARE(m.titre, titres[style]);
        // Only the duplicate gives the pointer back before its box; only the
        // file message lets the program go on.
        QCOMPARE(pointeur, style == 16 ? 0 : 11);
        QCOMPARE(f->estDecharge(), style != 48);
        QVERIFY(f->FRM_Type.Caption() == "avant" && f->Me.MousePointer() == 0);
    }

    // A pass reads one version of the file: renumbered and saved while a list
    // loads, the file gives a list wholly old, never part old, part new; the
    // next press reads the new one.
    void fileReplacedDuringAPassGivesAListOfOneVersion()
    {
        ecrireDat("[ACRONYMES]\nACRO1=A,1\nACRO2=B,2\nACRO3=C,3\n");
        QFile nouveau("nouveau");
        QVERIFY(nouveau.open(QIODevice::WriteOnly));
        nouveau.write("[ACRONYMES]\nACRO1=N,0\nACRO2=A,1\nACRO3=B,2\nACRO4=C,3\n");
        nouveau.close();
        observerPasse([] {
            if (CONSTANT::Num_Cle == 2)
                QVERIFY(std::rename("nouveau", "LISTORA.DAT") == 0);
        });
        f->CMD_Acronyme_Click();
        observerPasse({});
        QCOMPARE(fixture::termes(f->LST_Liste1), QStringList({"A", "B", "C"}));
        CONSTANT::Liste_A_Recharger = 3;
        f->CMD_Acronyme_Click();
        QCOMPARE(fixture::termes(f->LST_Liste1), QStringList({"A", "B", "C", "N"}));
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
        QTest::newRow("syntax error in IP ports")
            << QByteArray(Catalogues).replace("http,TCP,80,TCP,1024,Web", "sans") << "manquante"
            << "0 1 1 1 1";
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
            l->AddItem("ANCIEN");
        CONSTANT::Verif_Doublon = 1;
        ui::EnregistreurMsgBox boites;
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
