// Selecting an entry in a list: the entry is found again in the data file and
// the rest of it shown.
#include "app/listora.h"
#include "catalogue/constant.h"

#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

namespace
{

void ecrireDat(const QByteArray& octets)
{
    QFile f("LISTORA.DAT");
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(octets) == octets.size());
}

// TXT_Acronyme, then the four Source and Destination fields as the frames
// show them: LBL_Source and TXT_Source stand under "Destination".
QStringList detail(const Listora& f)
{
    return {f.TXT_Acronyme.Text(), f.LBL_Source.Caption(), f.TXT_Source.Text(),
            f.LBL_Destination.Caption(), f.TXT_Destination.Text()};
}

} // namespace

class TstDisplay : public QObject
{
    Q_OBJECT
    QTemporaryDir dossier;
    QString depart = QDir::currentPath();

private slots:
    void init()
    {
        const QString ici =
            dossier.filePath(QString(QTest::currentTestFunction()) + QTest::currentDataTag());
        QVERIFY(QDir().mkpath(ici) && QDir::setCurrent(ici));
    }
    void cleanupTestCase() { QDir::setCurrent(depart); }

    // The list is filled by hand: the file may have changed since loading.
    void selectionShowsTheRestOfTheFirstMatchingEntry_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QByteArray>("valeurs"); // of keys 1, 2, ... in the catalogue's section
        QTest::addColumn<QString>("choisi");
        QTest::addColumn<QStringList>("attendu"); // as detail() gives it
        QTest::addColumn<int>("clesLues");
        const QString a("ancien");
        QTest::newRow("first entry reads one key")
            << 2 << QByteArray("NAT,Network, Address, Translation\nNAT,autre") << "NAT"
            << QStringList{"Network, Address, Translation", a, a, a, a} << 1;
        QTest::newRow("blank after the comma stays")
            << 3 << QByteArray("a/b,x\ntext/html, HTML (.htm)") << "text/html"
            << QStringList{" HTML (.htm)", a, a, a, a} << 2;
        QTest::newRow("IP fields under the swapped frames")
            << 1 << QByteArray("ssh,f2,f3,f4,f5,Shell, sûr") << "ssh"
            << QStringList{"Shell, sûr", "f2", "f3", "f4", "f5"} << 1;
        QTest::newRow("empty IP fields")
            << 1 << QByteArray("dns,,53, ,,") << "dns" << QStringList{"", "", "53", " ", ""} << 1;
        QTest::newRow("IP value short of commas: the fields it has")
            << 1 << QByteArray("x,1,2,3,4,5\nvieux,UDP,7") << "vieux"
            << QStringList{"", "UDP", "7", "", ""} << 2;
        QTest::newRow("value without comma: all term")
            << 2 << QByteArray("seul") << "seul" << QStringList{"", a, a, a, a} << 1;
        QTest::newRow("case differs: nothing shown")
            << 1 << QByteArray("ssh,a,b,c,d,e") << "SSH" << QStringList{"", a, a, a, a} << 2;
        QTest::newRow("blank differs: nothing shown")
            << 2 << QByteArray("NAT ,x\nNAT,y") << " NAT" << QStringList{"", a, a, a, a} << 3;
        QTest::newRow("no data file")
            << 3 << QByteArray() << "x" << QStringList{"", a, a, a, a} << 1;
    }
    void selectionShowsTheRestOfTheFirstMatchingEntry()
    {
        QFETCH(int, numero);
        QFETCH(QByteArray, valeurs);
        QFETCH(QString, choisi);
        QFETCH(QStringList, attendu);
        QFETCH(int, clesLues);
        const char* sections[] = {"IP-PORTS", "ACRONYMES", "MIME-TYPES"};
        const char* prefixes[] = {"PROTO", "ACRO", "MIME"};
        if (!valeurs.isEmpty()) {
            QByteArray fichier = QByteArray("[") + sections[numero - 1] + "]\n";
            int cle = 0;
            for (const QByteArray& v : valeurs.split('\n'))
                fichier += prefixes[numero - 1] + QByteArray::number(++cle) + '=' + v + '\n';
            ecrireDat(fichier);
        }
        Listora f;
        f.Form_Load();
        f.TXT_Acronyme.setVisible(false);
        f.TXT_Acronyme.setText("ancien");
        f.TXT_Source.setText("ancien");
        f.TXT_Destination.setText("ancien");
        f.LBL_Source.setCaption("ancien");
        f.LBL_Destination.setCaption("ancien");
        ui::ListBox* listes[] = {&f.LST_Liste, &f.LST_Liste1, &f.LSt_Liste2};
        ui::ListBox& liste = *listes[numero - 1];
        liste.AddItems({"autre", choisi, "zzz"});
        liste.setListIndex(liste.liste()->row(liste.liste()->findItems(choisi, {}).first()));
        QCOMPARE(detail(f), attendu);
        QCOMPARE(CONSTANT::Num_Cle, clesLues);
        QVERIFY(f.TXT_Acronyme.Visible() && f.Me.MousePointer() == 0);
    }

    void ipPressHidesTheDescriptionUntilAnEntryIsSelected()
    {
        ecrireDat("[IP-PORTS]\nPROTO1=http,TCP,80,TCP,1024-65535,Web\nPROTO2=dns,UDP,53,UDP,"
                  "1024,Noms\n");
        Listora f;
        f.Form_Load();
        f.TXT_Acronyme.setVisible(true); // as an acronym selection leaves it
        f.TXT_Acronyme.setText("vu avant");
        f.CMD_IpPort_Click();
        QVERIFY(!f.TXT_Acronyme.Visible());
        // Nothing selected: a raised handler does nothing.
        f.LST_Liste_Click();
        QVERIFY(!f.TXT_Acronyme.Visible() && f.TXT_Acronyme.Text() == "vu avant");
        f.Me.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        const QRect ligne = f.LST_Liste.liste()->visualItemRect(f.LST_Liste.liste()->item(1));
        QTest::mouseClick(f.LST_Liste.liste()->viewport(), Qt::LeftButton, {}, ligne.center());
        QCOMPARE(detail(f), QStringList({"Web", "TCP", "80", "TCP", "1024-65535"}));
    }
};

QTEST_MAIN(TstDisplay)
#include "tst_display.moc"
