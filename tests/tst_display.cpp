// Selecting an entry in a list: the entry is found again in the data file and
// the rest of it shown.
#include "app/listora.h"
#include "catalogue/catalogues.h"
#include "catalogue/constant.h"
#include "window_fixture.h"

class TstDisplay : public QObject
{
    Q_OBJECT
    fixture::DossierParTest dossier;

private slots:
    void init() { dossier.entrer(); }

    // The list is filled by hand: the file may have changed since loading.
    void selectionShowsTheRestOfTheFirstMatchingEntry_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QByteArray>("valeurs"); // of keys 1, 2, ... in the catalogue's section
        QTest::addColumn<QString>("choisi");
        // TXT_Acronyme, then the fields as the frames show them: LBL_Source and
        // TXT_Source stand under "Destination".
        QTest::addColumn<QStringList>("attendu");
        QTest::addColumn<int>("clesLues");
        const QString a("ancien");
        QTest::newRow("first match, its commas and leading blank kept")
            << 3 << QByteArray("a/b,x\ntext/html, HTML, (.htm)\ntext/html,autre") << "text/html"
            << QStringList{" HTML, (.htm)", a, a, a, a} << 2;
        QTest::newRow("IP fields under the swapped frames")
            << 1 << QByteArray("ssh,f2,f3,f4,f5,Shell, sûr") << "ssh"
            << QStringList{"Shell, sûr", "f2", "f3", "f4", "f5"} << 1;
        QTest::newRow("IP value short of commas: the fields it has")
            << 1 << QByteArray("x,1,2,3,4,5\nvieux,UDP,7") << "vieux"
            << QStringList{"", "UDP", "7", "", ""} << 2;
        QTest::newRow("value without comma: all term")
            << 2 << QByteArray("seul") << "seul" << QStringList{"", a, a, a, a} << 1;
        QTest::newRow("case differs: nothing shown")
            << 1 << QByteArray("ssh,a,b,c,d,e") << "SSH" << QStringList{"", a, a, a, a} << 2;
        QTest::newRow("nothing selected: nothing done")
            << 2 << QByteArray("a,b") << QString() << QStringList{a, a, a, a, a} << 0;
    }
    void selectionShowsTheRestOfTheFirstMatchingEntry()
    {
        QFETCH(int, numero);
        QFETCH(QByteArray, valeurs);
        QFETCH(QString, choisi);
        QFETCH(QStringList, attendu);
        QFETCH(int, clesLues);
        const catalogue::Catalogue& c = *catalogue::Tous[numero - 1];
        QByteArray fichier = QByteArray("[") + c.section + ']';
        int cle = 0;
        for (const QByteArray& v : valeurs.split('\n'))
            fichier += QByteArray("\n") + c.prefixe + QByteArray::number(++cle) + '=' + v;
        fixture::ecrireDat(fichier);
        Listora f;
        f.Form_Load();
        for (ui::TextField* t : {&f.TXT_Acronyme, &f.TXT_Source, &f.TXT_Destination})
            t->setText("ancien");
        for (ui::Label* l : {&f.LBL_Source, &f.LBL_Destination})
            l->setCaption("ancien");
        ui::ListBox& liste = *std::array{&f.LST_Liste, &f.LST_Liste1, &f.LSt_Liste2}[numero - 1];
        liste.AddItems({"autre", choisi, "zzz"});
        CONSTANT::Num_Cle = 0;
        if (!choisi.isEmpty())
            liste.setListIndex(1); // every choice sorts between "autre" and "zzz"
        else                       // as if raised with no selection
            (f.*std::array{&Listora::LST_Liste_Click, &Listora::LST_Liste1_Click,
                           &Listora::LSt_Liste2_Click}[numero - 1])();
        QCOMPARE(QStringList({f.TXT_Acronyme.Text(), f.LBL_Source.Caption(), f.TXT_Source.Text(),
                              f.LBL_Destination.Caption(), f.TXT_Destination.Text()}),
                 attendu);
        QCOMPARE(CONSTANT::Num_Cle, clesLues);
        QVERIFY(f.TXT_Acronyme.Visible() == !choisi.isEmpty() && f.Me.MousePointer() == 0);
    }
};

QTEST_MAIN(TstDisplay)
#include "tst_display.moc"
