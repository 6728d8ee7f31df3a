// Set-up shared by the window tests: an empty current folder per test and
// row, the data file written there, a list's items read back.
#pragma once
#include "ui/listbox.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace fixture
{

inline QStringList termes(const ui::ListBox& liste)
{
    QStringList t;
    for (int i = 0; i < liste.ListCount(); ++i)
        t << liste.List(i);
    return t;
}

inline void ecrireDat(const QByteArray& octets) // empty: no file
{
    QFile f("LISTORA.DAT");
    QVERIFY(octets.isEmpty() || (f.open(QIODevice::WriteOnly) && f.write(octets) == octets.size()));
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
