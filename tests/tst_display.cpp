// Selecting an entry in a list: the main window shows the entry found again
// in the data file.
#include "app/listora.h"
#include "catalogue/catalogues.h"
#include "catalogue/key_walk.h"
#include "window_fixture.h"

class TstDisplay : public QObject
{
    Q_OBJECT
    fixture::DossierParTest dossier;

private slots:
    void init() { dossier.entrer(); }

    // The list is filled by hand: the file may have changed since loading.
    void selectionShowsTheEntryUnderTheHourglass_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QByteArray>("valeurs"); // of keys 1, 2, ... in the catalogue's section
        QTest::addColumn<QString>("choisi");     // empty: nothing selected
        QTest::addColumn<QStringList>("details");
        const QString a("ancien");
        QTest::newRow("IP port: fields under the swapped frames")
            << 1 << QByteArray("ssh,f2,f3,f4,f5,Shell, sûr") << "ssh"
            << QStringList{"Shell, sûr", "f2", "f3", "f4", "f5"};
        QTest::newRow("acronym: the term with its blanks")
            << 2 << QByteArray("a,sans blanc\n\" a ,entre blancs\"") << " a "
            << QStringList{"entre blancs", a, a, a, a};
        QTest::newRow("MIME type")
            << 3 << QByteArray("text/html,HTML") << "text/html" << QStringList{"HTML", a, a, a, a};
        QTest::newRow("no longer in the file: description emptied")
            << 2 << QByteArray("x,y") << "parti" << QStringList{"", a, a, a, a};
        QTest::newRow("IP port no longer in the file: no protocol or port left beside it")
            << 1 << QByteArray("ssh,TCP,22,TCP,1024-65535,SSH") << "http"
            << QStringList{"", "", "", "", ""};
        QTest::newRow("nothing selected: nothing done")
            << 2 << QByteArray("x,y") << QString() << QStringList{a, a, a, a, a};
    }
    void selectionShowsTheEntryUnderTheHourglass()
    {
        QFETCH(int, numero);
        QFETCH(QByteArray, valeurs);
        QFETCH(QString, choisi);
        QFETCH(QStringList, details);
        fixture::ecrireDat(fixture::section(*catalogue::Tous[numero - 1], valeurs));
        Listora f;
        f.Form_Load();
        fixture::remplirDetails(f, "ancien");
        ui::ListBox& liste = *std::array{&f.LST_Liste, &f.LST_Liste1, &f.LSt_Liste2}[numero - 1];
        fixture::remplir(liste, {"autre", choisi});
        QList<int> pendantLaPasse;
        catalogue::observerPasse([&] { pendantLaPasse << f.Me.MousePointer(); });
        if (!choisi.isEmpty())
            liste.setListIndex(int(fixture::termes(liste).indexOf(choisi)));
        else // as if raised with no selection
            (f.*std::array{&Listora::LST_Liste_Click, &Listora::LST_Liste1_Click,
                           &Listora::LSt_Liste2_Click}[numero - 1])();
        catalogue::observerPasse({});
        QCOMPARE(fixture::details(f), details);
        QCOMPARE(f.TXT_Acronyme.Visible(), !choisi.isEmpty());
        QCOMPARE(pendantLaPasse.isEmpty(), choisi.isEmpty());
        QCOMPARE(pendantLaPasse, QList<int>(pendantLaPasse.size(), 11));
        QCOMPARE(f.Me.MousePointer(), 0);
    }
};

QTEST_MAIN(TstDisplay)
#include "tst_display.moc"
