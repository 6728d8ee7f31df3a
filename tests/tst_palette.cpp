// Every text of both windows, as rendered, against what is behind it, under
// a light and a dark desktop palette.
#include "app/listora.h"
#include "catalogue/constant.h"
#include "enregistreur_msgbox.h"
#include "search/recherche.h"
#include "ui/toolkit.h"
#include "window_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>

namespace
{

// A dark scheme as desktop themes give it.
QPalette paletteSombre()
{
    QPalette p;
    const QColor fond(53, 53, 53), champ(42, 42, 42), texte(Qt::white);
    p.setColor(QPalette::Window, fond);
    p.setColor(QPalette::WindowText, texte);
    p.setColor(QPalette::Base, champ);
    p.setColor(QPalette::AlternateBase, fond);
    p.setColor(QPalette::Text, texte);
    p.setColor(QPalette::Button, fond);
    p.setColor(QPalette::ButtonText, texte);
    p.setColor(QPalette::Light, QColor(90, 90, 90));
    p.setColor(QPalette::Midlight, QColor(70, 70, 70));
    p.setColor(QPalette::Mid, QColor(40, 40, 40));
    p.setColor(QPalette::Dark, QColor(30, 30, 30));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::black);
    return p;
}

// Where a control draws its text, inside its own rectangle: the rest (its
// frame, its check box, its bevel) is not what the text stands on.
QRect zoneDuTexte(QWidget* w)
{
    if (auto* cadre = qobject_cast<QGroupBox*>(w)) {
        QStyleOptionGroupBox option;
        option.initFrom(cadre);
        option.text = cadre->title();
        option.subControls = QStyle::SC_GroupBoxLabel;
        return w->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel,
                                          cadre);
    }
    if (qobject_cast<QCheckBox*>(w)) {
        QStyleOptionButton option;
        option.initFrom(w);
        return w->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, w);
    }
    if (auto* liste = qobject_cast<QListView*>(w))
        return liste->viewport()->geometry().adjusted(1, 1, -1, -1);
    return w->rect().adjusted(4, 4, -4, -4);
}

// The contrast between the commonest colour of the text's zone, what the
// text stands on, and the colour that stands out most from it, the text.
double contrasteRendu(QWidget* w)
{
    const QImage image = w->grab(zoneDuTexte(w)).toImage();
    QHash<QRgb, int> nombres;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++nombres[image.pixel(x, y)];
    QRgb fond = 0;
    for (auto i = nombres.cbegin(); i != nombres.cend(); ++i)
        if (i.value() > nombres.value(fond))
            fond = i.key();
    double meilleur = 1;
    for (auto i = nombres.cbegin(); i != nombres.cend(); ++i)
        meilleur = std::max(meilleur, ui::contraste(QColor(i.key()), QColor(fond)));
    return meilleur;
}

// Every enabled control of `fenetre` that shows some text now.
QList<QWidget*> textesVisibles(QWidget* fenetre)
{
    QList<QWidget*> textes;
    for (QWidget* w : fenetre->findChildren<QWidget*>()) {
        if (!w->isVisible() || !w->isEnabled() || w->objectName().isEmpty())
            continue;
        const QVariant texte = w->inherits("QGroupBox")   ? QVariant(w->property("title"))
                               : w->inherits("QListView") ? QVariant(QStringLiteral("rows"))
                                                          : w->property("text");
        if (!texte.toString().isEmpty())
            textes << w;
    }
    return textes;
}

} // namespace

class TstPalette : public QObject
{
    Q_OBJECT
    fixture::DossierParTest dossier;

private slots:
    void cleanup() { QApplication::setPalette(QApplication::style()->standardPalette()); }

    void everyTextReadsOnItsBackground_data()
    {
        QTest::addColumn<bool>("sombre");
        QTest::newRow("light palette") << false;
        QTest::newRow("dark palette") << true;
    }
    void everyTextReadsOnItsBackground()
    {
        QFETCH(bool, sombre);
        dossier.entrer();
        fixture::ecrireDat(
            fixture::section(catalogue::IpPorts, "ssh,TCP,22,TCP,1024-65535,Secure Shell"));
        Listora f;
        // Switched once the window exists, as a desktop switches its theme.
        QApplication::setPalette(sombre ? paletteSombre()
                                        : QApplication::style()->standardPalette());
        f.Timer1.setEnabled(false);
        f.Form_Load();
        f.Me.Show();
        QVERIFY(fixture::expose(&f));
        QStringList lus;
        const auto mesurer = [&](QWidget* fenetre) {
            for (QWidget* w : textesVisibles(fenetre)) {
                const double c = contrasteRendu(w);
                lus << QStringLiteral("%1 %2").arg(w->objectName()).arg(c, 0, 'f', 1);
                QVERIFY2(c >= ui::ContrasteLisible, qPrintable(lus.last()));
            }
        };
        // The about box at start-up, then an IP port's fields and frames.
        mesurer(&f);
        f.CMD_IpPort.bouton()->click();
        f.LST_Liste.setListIndex(0);
        f.LST_Liste.setListIndex(-1);
        QCOMPARE(f.LBL_Source.Caption(), QStringLiteral("TCP"));
        mesurer(&f);
        f.CMD_Recherche.bouton()->click();
        Recherche* r = f.recherche();
        QVERIFY(r && fixture::expose(r));
        r->TXT_recherche.setText(QStringLiteral("ssh"));
        mesurer(r);
        qInfo("%s", qPrintable(lus.join(", ")));
        r->CMD_Abandon.bouton()->click();

        // A light desktop keeps the colours the windows always had.
        if (!sombre) {
            QCOMPARE(f.LBL_Source.widget()->palette().color(QPalette::WindowText),
                     QColor(0, 0, 255));
            QCOMPARE(f.LBL_Apropos.widget()->palette().color(QPalette::WindowText),
                     QApplication::palette().color(QPalette::WindowText));
        }
    }
};

QTEST_MAIN(TstPalette)
#include "tst_palette.moc"
