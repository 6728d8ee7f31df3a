// Set-up shared by the tests that read a data file: an empty current folder
// per test and row, the data file written there, a list's items and the main
// window's detail fields read back.
#pragma once
#include "app/listora.h"
#include "catalogue/catalogues.h"
#include "catalogue/loading.h"
#include "ui/listbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <cstdint>
#include <vector>

namespace fixture
{

// Processes the events and timers the code under test posts until
// `condition` holds. The guard only ends a test that would otherwise hang: a
// minute is far beyond any wait the code has (a delayed click is 100 ms), so
// the verdict does not depend on how busy the machine is.
template <class Condition> bool jusqua(Condition condition)
{
    QTimer garde;
    garde.setSingleShot(true);
    garde.start(60000);
    while (!condition() && garde.isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return condition();
}

// Shown and active as the widgets see it, or exposed: what QTest's waits
// check, without their 5-second limit.
inline bool actif(QWidget* w)
{
    return jusqua([w] { return w->isActiveWindow(); });
}
inline bool expose(QWidget* w)
{
    return jusqua([w] { return w->windowHandle() && w->windowHandle()->isExposed(); });
}

inline QStringList termes(const ui::ListBox& liste)
{
    QStringList t;
    for (int i = 0; i < liste.ListCount(); ++i)
        t << liste.List(i);
    return t;
}

inline QStringList termes(const catalogue::Termes& lus)
{
    QStringList t;
    for (qsizetype i = 0; i < lus.nombre(); ++i)
        t << lus.terme(i).toString();
    return t;
}

// Fills `liste` as the program does: its terms end to end in one string.
inline void remplir(ui::ListBox& liste, const QStringList& termes)
{
    QString texte;
    std::vector<uint32_t> fins;
    for (const QString& t : termes) {
        texte += t;
        fins.push_back(static_cast<uint32_t>(texte.size()));
    }
    liste.AddItems(std::move(texte), std::move(fins));
}

inline void ecrireDat(const QByteArray& octets) // empty: no file
{
    QFile f("LISTORA.DAT");
    QVERIFY(octets.isEmpty() || (f.open(QIODevice::WriteOnly) && f.write(octets) == octets.size()));
}

// The main window's detail fields: the description, then the fields as the
// frames show them (LBL_Source and TXT_Source stand under "Destination").
inline QStringList details(const Listora& f)
{
    return {f.TXT_Acronyme.Text(), f.LBL_Source.Caption(), f.TXT_Source.Text(),
            f.LBL_Destination.Caption(), f.TXT_Destination.Text()};
}

inline void remplirDetails(Listora& f, const QString& texte)
{
    for (ui::TextField* t : {&f.TXT_Acronyme, &f.TXT_Source, &f.TXT_Destination})
        t->setText(texte);
    for (ui::Label* l : {&f.LBL_Source, &f.LBL_Destination})
        l->setCaption(texte);
}

// Catalogue `c`'s section holding `valeurs`, one a line, as keys 1, 2, ...
inline QByteArray section(const catalogue::Catalogue& c, const QByteArray& valeurs)
{
    QByteArray octets = QByteArray("[") + c.section + "]\n";
    int cle = 0;
    for (const QByteArray& v : valeurs.split('\n'))
        octets += c.prefixe + QByteArray::number(++cle) + '=' + v + '\n';
    return octets;
}

struct DossierParTest {
    std::unique_ptr<QTemporaryDir> ici;
    QString depart = QDir::currentPath();
    ~DossierParTest() { QDir::setCurrent(depart); }
    void entrer()
    {
        ici = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(ici->path()));
    }
};

} // namespace fixture
