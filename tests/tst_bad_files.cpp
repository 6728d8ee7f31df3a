// Data files that are anything but a good catalogue, pressed through each
// catalogue button, its list selected and searched: the user sees a message
// box, an empty list or the entries the file does hold; never a crash or hang.
#include "app/listora.h"
#include "fenetre_fixture.h"
#include "search/recherche.h"
#include "ui/msgbox.h"

#include <QPushButton>
#include <QTest>

#include <array>
#include <linux/capability.h>
#include <random>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{

// What a press of one catalogue button gives, then the first term's
// selection and an empty-string search (which lists every entry).
struct Issue {
    QString titre;       // title of the one box the press shows; empty: none
    bool fin = false;    // that box ends the program
    int entrees = 0;     // terms in the list after the press
    QString premierSens; // description shown for the first term
    int trouves = -1;    // terms the search lists; -1: as many as loaded
};
using Issues = std::array<Issue, 3>; // IP ports, acronyms, MIME types

const Issue absent{QStringLiteral("Erreur Fichier"), false, 0, {}, 0};
const Issue syntaxe{QStringLiteral(" Erreur de Syntaxe"), true, 0, {}, 0};
const Issues rien{absent, absent, absent};
Issue charge(int entrees, const QString& premierSens, int trouves = -1)
{
    return {{}, false, entrees, premierSens, trouves};
}

void ecrire(const QString& chemin, const QByteArray& octets)
{
    QFile f(chemin);
    if (!f.open(QIODevice::WriteOnly) || f.write(octets) != octets.size())
        qFatal("cannot write %s", qPrintable(chemin));
}

// A small good catalogue; `sens` ends the first acronym's meaning.
QByteArray bon(const char* sens = "Domain Name System")
{
    return QByteArray("[IP-PORTS]\r\nPROTO1=http,TCP,80,TCP,1024-65535,Web\r\n"
                      "PROTO2=dns,UDP,53,UDP,1024-65535,Noms\r\n[ACRONYMES]\r\nACRO1=DNS,") +
           sens +
           "\r\nACRO2=IP,Internet Protocol\r\nACRO3=TCP,Transmission Control Protocol\r\n"
           "[MIME-TYPES]\r\nMIME1=text/plain,Texte brut\r\n";
}

// `n` acronyms whose terms sort in key order.
QByteArray acronymes(int n)
{
    QByteArray o = "[ACRONYMES]\n";
    for (int i = 1; i <= n; ++i)
        o += "ACRO" + QByteArray::number(i) + "=A" + QByteArray::number(i).rightJustified(5, '0') +
             ",sens " + QByteArray::number(i) + '\n';
    return o;
}

QByteArray utf16(const QByteArray& utf8, bool grandBoutiste)
{
    QByteArray o(grandBoutiste ? "\xFE\xFF" : "\xFF\xFE");
    for (QChar c : QString::fromUtf8(utf8)) {
        const char fort = char(c.unicode() >> 8), faible = char(c.unicode() & 0xFF);
        o += grandBoutiste ? fort : faible;
        o += grandBoutiste ? faible : fort;
    }
    return o;
}

// clang-format off
enum Forme { Fichier, Dossier, SansDroit, LectureEnEchec, Fifo, BoucleDeLiens, TropGrand,
             Supprime, Remplace };
// clang-format on

// Puts what the row names at the data file's path.
void fabriquer(Forme forme, const QString& dat, const QByteArray& octets)
{
    if (forme == Dossier)
        QDir().mkdir(dat);
    if (forme == LectureEnEchec) // a regular file for stat() that opens; its first read fails
        QFile::link(QStringLiteral("/proc/self/mem"), dat);
    else if (forme == Fifo)
        ::mkfifo(QFile::encodeName(dat).constData(), 0644);
    else if (forme == BoucleDeLiens)
        QFile::link(dat + ".2", dat), QFile::link(dat, dat + ".2");
    else
        ecrire(forme == Dossier ? dat + "/LISTORA.DAT" : dat, octets);
    if (forme == SansDroit)
        QFile::setPermissions(dat, {});
    if (forme == TropGrand) // larger than the program reads; sparse
        ::truncate(QFile::encodeName(dat).constData(), 70 << 20);
}

// After the load, before the selection: deleted, or renamed over as editors save.
void apresChargement(Forme forme, const QString& dat)
{
    if (forme == Supprime)
        QFile::remove(dat);
    if (forme != Remplace)
        return;
    ecrire(dat + ".tmp", bon("Serveur de noms") + "MIME2=text/css,Feuille de style\r\n");
    ::rename(QFile::encodeName(dat + ".tmp").constData(), QFile::encodeName(dat).constData());
}

QByteArray aleatoire()
{
    std::mt19937 hasard(20240501);
    QByteArray o;
    for (int i = 0; i < (1 << 20); ++i)
        o += char(hasard());
    return o;
}

// The catalogues, then a long section nobody asks for.
QByteArray cinquanteMo()
{
    QByteArray o = bon() + "[ARCHIVES]\r\n";
    for (int i = 1; o.size() < (50 << 20); ++i)
        o += "NOTE" + QByteArray::number(i) + '=' + QByteArray(990, 'z') + "\r\n";
    return o;
}

QByteArray centMilleSections()
{
    QByteArray o;
    for (int i = 1; i < 100000; ++i)
        o += i == 50000 ? QByteArray("[ACRONYMES]\nACRO1=MID,au milieu\nACRO2=NUL,\n")
                        : "[S" + QByteArray::number(i) + "]\nK=v\n";
    return o + "[MIME-TYPES]\nMIME1=text/css,Feuille de style\n";
}

void cliquer(QWidget* fenetre, const char* bouton)
{
    auto* b = fenetre->findChild<QPushButton*>(QLatin1String(bouton));
    QVERIFY2(b && b->isEnabled(), bouton);
    b->click();
}

} // namespace

Q_DECLARE_METATYPE(Forme)
Q_DECLARE_METATYPE(Issues)

class TstBadFiles : public QObject
{
    Q_OBJECT

private slots:
    // Without root's right to read any file, so that a file without read
    // permission is one for these tests too.
    void initTestCase()
    {
        __user_cap_header_struct entete{_LINUX_CAPABILITY_VERSION_3, 0};
        std::array<__user_cap_data_struct, _LINUX_CAPABILITY_U32S_3> droits{};
        if (::syscall(SYS_capget, &entete, droits.data()) == 0) {
            droits[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
            ::syscall(SYS_capset, &entete, droits.data());
        }
    }
    void eachCatalogueGivesItsOutcome_data();
    void eachCatalogueGivesItsOutcome();
};

void TstBadFiles::eachCatalogueGivesItsOutcome_data()
{
    QTest::addColumn<Forme>("forme");
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<Issues>("issues");
    const Issue bonIp = charge(2, QStringLiteral("Noms")); // "dns" sorts first
    const Issue bonMime = charge(1, QStringLiteral("Texte brut"));
    const Issues bons{bonIp, charge(3, QStringLiteral("Domain Name System")), bonMime};
    const Issues cles{absent, charge(32767, QStringLiteral("sens 1")), absent};
    const QByteArray nuls =
        QByteArrayLiteral("[IP-PORTS]\nPROTO1=http,TCP,80,TCP,1024-65535,Web\0 cache\n[ACRONYMES]\n"
                          "ACRO1=DNS,Domain\0Name System\nACRO2=IP,Internet\0\n"
                          "[MIME-TYPES]\nMIME1=text/plain\0,Texte\n");
    const QByteArray mauvaisUtf8("[ACRONYMES]\nACRO1=CAF\xC3\xA9,caf\xC3\xA9 cr\xC3\xA8me\n"
                                 "ACRO2=BAD\xFF,octets \xC0\xAF invalides\n");

    QTest::newRow("random binary bytes") << Fichier << aleatoire() << rien;
    QTest::newRow("NUL bytes inside values")
        << Fichier << nuls << Issues{charge(1, "Web"), charge(2, "Domain"), syntaxe};
    QTest::newRow("a 50 MB file") << Fichier << cinquanteMo() << bons;
    QTest::newRow("one line of 10 MB")
        << Fichier << "[ACRONYMES]\nACRO1=AAA," + QByteArray(10 << 20, 'x') + "\nACRO2=ZZZ,fin\n"
        << Issues{absent, charge(2, QString(195, QLatin1Char('x'))), absent};
    QTest::newRow("100,000 sections")
        << Fichier << centMilleSections()
        << Issues{absent, charge(2, "au milieu"), charge(1, "Feuille de style")};
    QTest::newRow("32,767 keys in one section") << Fichier << acronymes(32767) << cles;
    QTest::newRow("40,000 keys: the walk stops at key 32,767")
        << Fichier << acronymes(40000) << cles;
    QTest::newRow("only CR line ends") << Fichier << bon().replace("\r\n", "\r") << bons;
    QTest::newRow("UTF-8 with invalid sequences: Windows-1252")
        << Fichier << mauvaisUtf8
        << Issues{absent, charge(2, "octets \u00C0\u00AF invalides"), absent};
    QTest::newRow("marked UTF-8 with invalid sequences")
        << Fichier << "\xEF\xBB\xBF" + mauvaisUtf8
        << Issues{absent, charge(2, "octets \uFFFD invalides"), absent};
    QTest::newRow("UTF-16 with its mark") << Fichier << utf16(bon("Système de noms"), false)
                                          << Issues{bonIp, charge(3, "Système de noms"), bonMime};
    QTest::newRow("big-endian UTF-16 is not understood") << Fichier << utf16(bon(), true) << rien;
    QTest::newRow("a directory named LISTORA.DAT") << Dossier << bon() << rien;
    QTest::newRow("no read permission") << SansDroit << bon() << rien;
    QTest::newRow("a regular file whose reads fail") << LectureEnEchec << QByteArray() << rien;
    QTest::newRow("a FIFO named LISTORA.DAT") << Fifo << QByteArray() << rien;
    QTest::newRow("a symbolic link loop") << BoucleDeLiens << QByteArray() << rien;
    QTest::newRow("larger than 64 MB") << TropGrand << bon() << rien;
    QTest::newRow("deleted between loading and selecting")
        << Supprime << bon() << Issues{charge(2, {}, 0), charge(3, {}, 0), charge(1, {}, 0)};
    QTest::newRow("replaced between loading and selecting")
        << Remplace << bon()
        << Issues{bonIp, charge(3, "Serveur de noms"), charge(1, "Texte brut", 2)};
}

void TstBadFiles::eachCatalogueGivesItsOutcome()
{
    QFETCH(Forme, forme);
    QFETCH(QByteArray, octets);
    QFETCH(Issues, issues);
    constexpr std::array<const char*, 3> boutons{"CMD_IpPort", "CMD_Acronyme", "CMD_MIMEType"};

    for (size_t rang = 0; rang < 3; ++rang) {
        const Issue& issue = issues[rang];
        const QByteArray ou = QByteArray("catalogue ") + boutons[rang];
        fixture::DossierParTest dossier;
        dossier.entrer();
        const QString dat = dossier.ici->filePath(QStringLiteral("LISTORA.DAT"));
        fabriquer(forme, dat, octets);
        if (forme == SansDroit && QFile(dat).open(QIODevice::ReadOnly))
            QSKIP("this process may read any file (it cannot drop CAP_DAC_OVERRIDE)");

        Listora f;
        f.Form_Load();
        f.Me.Show();
        f.Timer1.setEnabled(false);
        ui::EnregistreurMsgBox boites;

        cliquer(&f, boutons[rang]);
        QCOMPARE(boites.messages().size(), issue.titre.isEmpty() ? 0 : 1);
        if (!issue.titre.isEmpty())
            QVERIFY2(boites.messages().constFirst().titre == issue.titre, ou);
        QVERIFY2(f.estDecharge() == issue.fin, ou);
        if (issue.fin)
            continue;
        ui::ListBox& liste = *std::array{&f.LST_Liste, &f.LST_Liste1, &f.LSt_Liste2}[rang];
        QVERIFY2(liste.ListCount() == issue.entrees,
                 ou + " holds " + QByteArray::number(liste.ListCount()));
        QCOMPARE(f.Me.MousePointer(), 0);

        apresChargement(forme, dat);
        if (liste.ListCount() > 0) {
            liste.setListIndex(0);
            QVERIFY2(f.TXT_Acronyme.Text() == issue.premierSens,
                     ou + ": " + f.TXT_Acronyme.Text().toUtf8());
            liste.setListIndex(liste.ListCount() - 1);
            QCOMPARE(f.Me.MousePointer(), 0);
        }

        cliquer(&f, "CMD_Recherche");
        Recherche* recherche = Recherche::ouverte();
        QVERIFY(recherche && !f.Me.Enabled());
        cliquer(recherche, "CMD_Recherche");
        const int trouves = issue.trouves < 0 ? issue.entrees : issue.trouves;
        QVERIFY2(liste.ListCount() == trouves,
                 ou + " search lists " + QByteArray::number(liste.ListCount()));
        cliquer(recherche, "CMD_Abandon");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Recherche::ouverte() && f.Me.Enabled());
        QCOMPARE(boites.messages().size(), issue.titre.isEmpty() ? 0 : 1);
    }
}

QTEST_MAIN(TstBadFiles)
#include "tst_bad_files.moc"
