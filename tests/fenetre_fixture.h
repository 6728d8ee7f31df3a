// Set-up shared by the window tests: a current folder of their own per test
// and data row, the data file written there, a list's items read back.
#pragma once
#include "ui/listbox.h"

#include <QDir>
#include <QFile>
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

// Writes LISTORA.DAT in the current folder; empty content writes no file.
inline void ecrireDat(const QByteArray& octets)
{
    QFile f("LISTORA.DAT");
    QVERIFY(octets.isEmpty() || (f.open(QIODevice::WriteOnly) && f.write(octets) == octets.size()));
}

// entrer() makes an empty folder for the running test and row the current
// one; the starting folder comes back before the folders are removed.
struct DossierParTest {
    QTemporaryDir dossier;
    QString depart = QDir::currentPath();
    ~DossierParTest() { QDir::setCurrent(depart); }
    void entrer()
    {
        const QString ici =
            dossier.filePath(QTest::currentTestFunction() + QString(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(ici) && QDir::setCurrent(ici));
    }
};

} // namespace fixture
