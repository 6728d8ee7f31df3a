// The control wrappers: sorted lists, check-box clicks, text and captions as
// shown, and the form's place, size and pointer.
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/listbox.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

namespace
{

QStringList elements(const ui::ListBox& liste)
{
    QStringList textes;
    for (int i = 0; i < liste.ListCount(); ++i)
        textes << liste.List(i);
    return textes;
}

} // namespace

class TstUiControls : public QObject
{
    Q_OBJECT

private slots:
    void listKeepsFrenchAlphabeticalOrder_data()
    {
        QTest::addColumn<QStringList>("ajouts");
        QTest::addColumn<QStringList>("attendu");
        QTest::newRow("added b, a") << QStringList{"b", "a"} << QStringList{"a", "b"};
        QTest::newRow("accent beside its letter")
            << QStringList{"f", "é", "e"} << QStringList{"e", "é", "f"};
        QTest::newRow("case ignored") << QStringList{"c", "a", "B"} << QStringList{"a", "B", "c"};
        QTest::newRow("not by character code") << QStringList{"Zèbre", "école", "Avion", "été"}
                                               << QStringList{"Avion", "école", "été", "Zèbre"};
        QTest::newRow("equal items keep their order")
            << QStringList{"A", "b", "a"} << QStringList{"A", "a", "b"};
        QTest::newRow("empty term first") << QStringList{"x", ""} << QStringList{"", "x"};
    }
    void listKeepsFrenchAlphabeticalOrder()
    {
        QFETCH(QStringList, ajouts);
        QFETCH(QStringList, attendu);

        QListWidget unParUn, enBloc;
        ui::ListBox liste(&unParUn), bloc(&enBloc);
        for (const QString& texte : ajouts)
            liste.AddItem(texte);
        bloc.AddItems(ajouts);
        QCOMPARE(elements(liste), attendu);
        QCOMPARE(elements(bloc), attendu);
    }

    void bulkAddMergesWithItemsAlreadyThere()
    {
        QListWidget widget;
        ui::ListBox liste(&widget);
        liste.AddItem(QStringLiteral("m"));
        liste.AddItem(QStringLiteral("B"));
        liste.setListIndex(1); // "m"
        liste.AddItems({QStringLiteral("z"), QStringLiteral("b"), QStringLiteral("a")});
        QCOMPARE(elements(liste), QStringList({"a", "B", "b", "m", "z"}));
        QCOMPARE(liste.List(liste.ListIndex()), QStringLiteral("m"));
        liste.AddItem(QStringLiteral("c")); // single adds still find their place
        QCOMPARE(elements(liste), QStringList({"a", "B", "b", "c", "m", "z"}));
    }

    void selectionRaisesOneClickButFillingNone()
    {
        QListWidget widget;
        widget.setSelectionMode(QAbstractItemView::SingleSelection);
        ui::ListBox liste(&widget);
        QList<int> vus;
        liste.onClick([&] { vus << liste.ListIndex(); });
        liste.AddItems({QStringLiteral("b"), QStringLiteral("c")});
        liste.AddItem(QStringLiteral("a"));
        QCOMPARE(liste.ListIndex(), -1);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));

        QTest::mouseClick(widget.viewport(), Qt::LeftButton, {},
                          widget.visualItemRect(widget.item(2)).center());
        QTest::keyClick(&widget, Qt::Key_Up);
        liste.setListIndex(0);
        QCOMPARE(vus, QList<int>({2, 1, 0}));

        liste.AddItem(QStringLiteral("0")); // moves the selected item down
        QCOMPARE(liste.List(liste.ListIndex()), QStringLiteral("a"));
        liste.setListIndex(99);
        liste.setListIndex(-1);
        liste.Clear();
        QCOMPARE(vus.size(), 3);
        QVERIFY(liste.ListIndex() == -1 && liste.ListCount() == 0 && liste.List(0).isEmpty());
    }

    void checkBoxClickFollowsEachChangeOfValue_data()
    {
        QTest::addColumn<int>("depart");
        QTest::addColumn<int>("nouvelle");
        QTest::addColumn<int>("clics");
        QTest::newRow("checked from code") << 0 << 1 << 1;
        QTest::newRow("unchecked from code") << 1 << 0 << 1;
        QTest::newRow("same value raises nothing") << 1 << 1 << 0;
        QTest::newRow("any non-zero checks") << 0 << 5 << 1;
    }
    void checkBoxClickFollowsEachChangeOfValue()
    {
        QFETCH(int, depart);
        QFETCH(int, nouvelle);
        QFETCH(int, clics);

        QCheckBox widget;
        ui::CheckBox boite(&widget);
        boite.setValue(depart);
        QList<int> valeursVues;
        boite.onClick([&] { valeursVues << boite.Value(); });
        boite.setValue(nouvelle);
        QCOMPARE(valeursVues.size(), clics);
        if (clics)
            QCOMPARE(valeursVues[0], nouvelle != 0 ? 1 : 0); // new value already in place
    }

    void textsAndCaptionsShowAsReaderExpects()
    {
        QLineEdit ligne;
        ui::TextField champ(&ligne);
        champ.setText(QString(300, QLatin1Char('x')));
        QCOMPARE(ligne.cursorPosition(), 0); // a long text shows its beginning

        QLabel widget;
        ui::Label etiquette(&widget);
        const QString donnee = QStringLiteral("\r<b>AT&T</b>\r\rfin");
        etiquette.setCaption(donnee);
        QCOMPARE(etiquette.Caption(), donnee);
        QCOMPARE(widget.text(), QStringLiteral("\n<b>AT&T</b>\n\nfin"));
        QCOMPARE(widget.textFormat(), Qt::PlainText);
    }

    void formPlaceSizeAndPointerInTwips()
    {
        QWidget fenetre;
        fenetre.resize(415, 264);
        ui::Form form(&fenetre);
        QVERIFY(form.Width() == 6225 && form.Height() == 3960);
        form.setLeft(-1500.0f);
        form.setTop(2887.5f);
        QCOMPARE(fenetre.pos(), QPoint(-100, 193));

        form.setMousePointer(ui::PointeurSablier);
        QCOMPARE(fenetre.cursor().shape(), Qt::WaitCursor);
        form.setMousePointer(ui::PointeurDefaut);
        QCOMPARE(fenetre.cursor().shape(), Qt::ArrowCursor);
    }
};

QTEST_MAIN(TstUiControls)
#include "tst_ui_controls.moc"
