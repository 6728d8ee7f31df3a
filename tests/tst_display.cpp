// Selecting an entry in a list: the entry is found again in the data file and
// the rest of it shown.
#include "app/listora.h"
#include "catalogue/constant.h"

#include <QDir>
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
        for (ui::TextField* t : {&f.TXT_Acronyme, &f.TXT_Source, &f.TXT_Destination})
            t->setText("ancien");
        for (ui::Label* l : {&f.LBL_Source, &f.LBL_Destination})
            l->setCaption("ancien");
        ui::ListBox* listes[] = {&f.LST_Liste, &f.LST_Liste1, &f.LSt_Liste2};
        ui::ListBox& liste = *listes[numero - 1];
        liste.AddItems({"autre", choisi, "zzz"});
        CONSTANT::Num_Cle = 0;
        for (int i = 0; i < liste.ListCount(); ++i)
            if (!choisi.isEmpty() && liste.List(i) == choisi)
                liste.setListIndex(i);
        if (choisi.isEmpty()) // as if raised with no selection
            (f.*std::array{&Listora::LST_Liste_Click, &Listora::LST_Liste1_Click,
                           &Listora::LSt_Liste2_Click}[numero - 1])();
        QCOMPARE(detail(f), attendu);
        QCOMPARE(CONSTANT::Num_Cle, clesLues);
        QVERIFY(f.TXT_Acronyme.Visible() == !choisi.isEmpty() && f.Me.MousePointer() == 0);
    }
};

QTEST_MAIN(TstDisplay)
#include "tst_display.moc"
