// The toolkit layer: twips, centring, and the control wrappers' sorted lists,
// check-box clicks, texts and captions.
#include "ui/controls.h"
#include "ui/listbox.h"
#include "ui/toolkit.h"
#include "window_fixture.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>

using fixture::termes;

class TstUiControls : public QObject
{
    Q_OBJECT

private slots:
    void twipsRoundToNearestPixelAndCentringKeepsHalves()
    {
        QCOMPARE(ui::twipsEnPixels(7.0), 0);
        QCOMPARE(ui::twipsEnPixels(7.5), 1);
        QCOMPARE(ui::twipsEnPixels(-7.5), -1); // away from zero
        QCOMPARE(ui::positionCentree(12000, 6225), 2887.5f);
    }

    void listKeepsFrenchAlphabeticalOrder_data()
    {
        QTest::addColumn<QStringList>("ajouts");
        QTest::addColumn<QStringList>("attendu");
        QTest::newRow("accent beside its letter, case ignored")
            << QStringList{"f", "é", "c", "e", "B"} << QStringList{"B", "c", "e", "é", "f"};
        QTest::newRow("equal items keep their order")
            << QStringList{"A", "b", "a"} << QStringList{"A", "a", "b"};
        QTest::newRow("empty term first") << QStringList{"x", ""} << QStringList{"", "x"};
        QTest::newRow("terms of every length")
            << QStringList{"mot", "a", "élan", "Zèbre", "", "bœuf", "ab"}
            << QStringList{"", "a", "ab", "bœuf", "élan", "mot", "Zèbre"};
    }
    void listKeepsFrenchAlphabeticalOrder()
    {
        QFETCH(QStringList, ajouts);
        QFETCH(QStringList, attendu);
        QListView vue;
        ui::ListBox liste(&vue);
        fixture::remplir(liste, ajouts);
        QCOMPARE(termes(liste), attendu);
        // What the view paints and a screen reader reads is what List reads.
        QAccessibleInterface* acces = QAccessible::queryAccessibleInterface(&vue);
        QStringList montres, lus;
        for (int i = 0; i < vue.model()->rowCount(); ++i) {
            montres << vue.model()->index(i, 0).data().toString();
            lus << acces->child(i)->text(QAccessible::Name);
        }
        QCOMPARE(montres, attendu);
        QCOMPARE(lus, attendu);
    }

    // Clicks come from the user and setListIndex, never from filling or
    // emptying the list; filling it anew replaces its items and selection.
    void selectionRaisesOneClickButFillingNone()
    {
        QListView widget; // single selection by default, as the window's lists
        ui::ListBox liste(&widget);
        QList<int> vus;
        liste.onClick([&] { vus << liste.ListIndex(); });
        fixture::remplir(liste, {"b", "c", "a"});
        QCOMPARE(liste.ListIndex(), -1);
        widget.show();
        QVERIFY(fixture::expose(&widget));
        QTest::mouseClick(widget.viewport(), Qt::LeftButton, {},
                          widget.visualRect(widget.model()->index(2, 0)).center());
        QTest::keyClick(&widget, Qt::Key_Up);
        liste.setListIndex(0);
        QCOMPARE(vus, QList<int>({2, 1, 0}));

        fixture::remplir(liste, {"z", "B"});
        QCOMPARE(termes(liste), QStringList({"B", "z"}));
        QCOMPARE(liste.ListIndex(), -1);
        liste.setListIndex(1);
        liste.setListIndex(99);
        liste.Clear();
        liste.setListIndex(-1);
        QCOMPARE(vus, QList<int>({2, 1, 0, 1}));
        QVERIFY(liste.ListIndex() == -1 && liste.ListCount() == 0 && liste.List(0).isEmpty());
    }

    // Typing the first letters of a term selects it, as a click would.
    void typingJumpsToFirstTermStartingSo_data()
    {
        QTest::addColumn<QString>("frappe");
        QTest::addColumn<int>("attendu");
        QTest::newRow("two letters") << "bo" << 2;
        QTest::newRow("case ignored") << "BON" << 3;
        QTest::newRow("accented letter") << "é" << 5;
        QTest::newRow("no term, no selection") << "q" << -1;
    }
    void typingJumpsToFirstTermStartingSo()
    {
        QFETCH(QString, frappe);
        QFETCH(int, attendu);
        QListView widget;
        ui::ListBox liste(&widget);
        fixture::remplir(liste, {"cap", "bon", "abc", "élan", "bol", "Bal"});
        QList<int> vus;
        liste.onClick([&] { vus << liste.ListIndex(); });
        widget.show();
        QVERIFY(fixture::expose(&widget));
        for (const QChar lettre : frappe) // Qt's key codes for Latin-1 are its capitals
            QTest::sendKeyEvent(QTest::Click, &widget, Qt::Key(lettre.toUpper().unicode()),
                                QString(lettre), Qt::NoModifier);
        QCOMPARE(liste.ListIndex(), attendu);
        QCOMPARE(vus.value(vus.size() - 1, -1), attendu); // the last click saw it
    }

    void checkBoxClickFollowsEachChangeOfValue()
    {
        QCheckBox widget;
        ui::CheckBox boite(&widget);
        QList<int> vues; // the new value is in place when the handler runs
        boite.onClick([&] { vues << boite.Value(); });
        for (int valeur : {5, 1, 0, 0})
            boite.setValue(valeur);
        QCOMPARE(vues, QList<int>({1, 0})); // any non-zero checks; no change, no click
        // A screen reader's toggle changes the box without a click.
        QAccessible::queryAccessibleInterface(&widget)->actionInterface()->doAction(
            QAccessibleActionInterface::toggleAction());
        QCOMPARE(vues, QList<int>({1, 0, 1}));
    }

    // A term or a text cut short by its row or field is its tooltip and its
    // accessible description; one that fits has neither.
    void clippedTextsCanBeReadWhole()
    {
        const QString court = QStringLiteral("text/plain");
        const QString long_ = QStringLiteral("application/vnd.openxmlformats-officedocument");
        QListView vue;
        vue.resize(100, 80);
        ui::ListBox liste(&vue);
        fixture::remplir(liste, {court, long_});
        vue.show(); // the rows' width is laid out on screen
        QVERIFY(fixture::expose(&vue));
        QLineEdit ligne;
        ligne.resize(100, 20);
        ui::TextField champ(&ligne);
        for (const QString& texte : {court, long_}) {
            const QString attendu = texte == long_ ? texte : QString();
            const QModelIndex rang = vue.model()->index(texte == long_ ? 0 : 1, 0);
            QCOMPARE(rang.data().toString(), texte);
            QCOMPARE(rang.data(Qt::ToolTipRole).toString(), attendu);
            QCOMPARE(rang.data(Qt::AccessibleDescriptionRole).toString(), attendu);
            champ.setText(texte);
            QCOMPARE(ligne.toolTip(), attendu);
            QCOMPARE(ligne.accessibleDescription(), attendu);
        }
    }

    // A long text shows its beginning; a caption turns its carriage returns
    // (alone or before a line feed) into line breaks and never reads as markup.
    void textsAndCaptionsShowAsReaderExpects()
    {
        QLineEdit ligne;
        ui::TextField champ(&ligne);
        champ.setText(QString(300, 'x'));
        QCOMPARE(ligne.cursorPosition(), 0);

        QLabel widget;
        ui::Label etiquette(&widget);
        etiquette.setCaption("\r<b>AT&T</b>\r\n\rfin");
        QCOMPARE(widget.text(), "\n<b>AT&T</b>\n\nfin");
        QCOMPARE(widget.textFormat(), Qt::PlainText);
    }

    // The classic face, 11 pixels, regular or bold. On Windows it asks for
    // vertical hinting: at full hinting, Wine's GDI draws its regular capital
    // "I" blank, and the case box read "gnore Majuscules/Minuscules".
    void classicFontIsElevenPixelsWithEveryGlyphDrawn()
    {
#ifdef Q_OS_WIN
        const QFont::HintingPreference lissage = QFont::PreferVerticalHinting;
#else
        const QFont::HintingPreference lissage = QFont::PreferDefaultHinting;
#endif
        for (const bool gras : {false, true}) {
            const QFont police = ui::policeClassique(gras);
            QCOMPARE(police.pixelSize(), 11);
            QCOMPARE(police.bold(), gras);
            QCOMPARE(police.hintingPreference(), lissage);
        }
    }
};

QTEST_MAIN(TstUiControls)
#include "tst_ui_controls.moc"
