// The main window when memory runs out while a catalogue button reads the
// file: the press ends in "Erreur Fichier", the list empty and the program
// going on, or it loads as usual; it never aborts. Each large allocation of
// the press is failed in turn, through this program's own operator new.
#include "app/listora.h"
#include "enregistreur_msgbox.h"
#include "window_fixture.h"

#include <QStringEncoder>

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{

// The reading layer's buffers are the allocations of the file's size; the
// widgets' small ones are left alone, as a system short of memory would
// more likely refuse a large block.
constexpr std::size_t Grande = 512 * 1024;
std::atomic<long> grandes{0};     // large allocations made so far
std::atomic<long> avantEchec{-1}; // at n >= 0, the large one after n more fails

} // namespace

void* operator new(std::size_t taille)
{
    if (taille >= Grande) {
        grandes.fetch_add(1);
        if (avantEchec.load() >= 0 && avantEchec.fetch_sub(1) == 0)
            throw std::bad_alloc();
    }
    if (void* p = std::malloc(taille ? taille : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t taille, const std::nothrow_t&) noexcept
{
    try {
        return operator new(taille);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace
{

// 40,000 acronyms (the walk loads 32,767), about 2 MiB, in `encodage`,
// after a comment that makes each file new: the reader would only compare a
// file that holds the text it read last.
QByteArray fichier(const QString& encodage)
{
    static int numero = 0;
    QString texte = QStringLiteral("; %1\r\n[ACRONYMES]\r\n").arg(++numero);
    for (int i = 1; i <= 40000; ++i)
        texte += QStringLiteral("ACRO%1=A%2,sens n\u00B0 %1 de l'entr\u00E9e\r\n")
                     .arg(i)
                     .arg(i, 5, 10, QLatin1Char('0'));
    if (encodage == "UTF-8")
        return texte.toUtf8();
    if (encodage == "Windows-1252")
        return texte.toLatin1(); // the same bytes for these characters
    return QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom)(texte);
}

struct Issue {
    QStringList titres; // of the boxes the press showed
    int entrees = 0;
    bool decharge = false;
};

// A press of "&Acronymes" on a fresh window, in a folder of its own so that
// no version read before is at hand.
Issue presser(const QString& encodage)
{
    const QByteArray octets = fichier(encodage);
    fixture::DossierParTest dossier;
    dossier.entrer();
    fixture::ecrireDat(octets);
    Listora f;
    f.Form_Load();
    f.Timer1.setEnabled(false);
    fixture::EnregistreurMsgBox boites;
    f.CMD_Acronyme_Click();
    Issue issue{{}, f.LST_Liste1.ListCount(), f.estDecharge()};
    for (const ui::MessageAffiche& m : boites.messages()) {
        issue.titres << m.titre;
        if (m.titre == "Erreur Fichier" &&
            !m.prompt.startsWith(QStringLiteral("Le fichier LISTORA.DAT est absent ou corrompu.")))
            issue.titres << m.prompt;
    }
    return issue;
}

} // namespace

class TstWindowMemory : public QObject
{
    Q_OBJECT

private slots:
    void aFailedAllocationReadsAsAnAbsentFile_data()
    {
        QTest::addColumn<QString>("encodage");
        for (const char* e : {"UTF-8", "Windows-1252", "UTF-16LE"})
            QTest::newRow(e) << QString::fromLatin1(e);
    }
    void aFailedAllocationReadsAsAnAbsentFile()
    {
        QFETCH(QString, encodage);
        presser(encodage); // the first press also sets up what later ones reuse
        const long avant = grandes.load();
        const Issue normale = presser(encodage);
        const long nombre = grandes.load() - avant;
        QCOMPARE(normale.titres, QStringList());
        QCOMPARE(normale.entrees, 32767);
        QVERIFY(nombre > 0);
        int absents = 0;
        for (long n = 0; n < nombre; ++n) {
            avantEchec = n;
            const Issue issue = presser(encodage);
            const bool echoue = avantEchec.exchange(-1) < 0;
            QVERIFY(echoue);
            QVERIFY(!issue.decharge);
            if (issue.titres.isEmpty()) { // a failure the press could do without
                QCOMPARE(issue.entrees, 32767);
                continue;
            }
            QCOMPARE(issue.titres, QStringList{"Erreur Fichier"});
            QCOMPARE(issue.entrees, 0);
            ++absents;
        }
        QVERIFY(absents > 0); // the file's bytes at least cannot do without memory
    }
};

QTEST_MAIN(TstWindowMemory)
#include "tst_window_memory.moc"
