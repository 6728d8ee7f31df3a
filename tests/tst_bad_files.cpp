// Data files that are anything but a good catalogue, pressed through each
// catalogue button, its list selected and searched: the user sees a message
// box, an empty list or the entries the file does hold; never a crash or hang.
// POSIX only: it drops rights with capset and edits memory through /proc.
// Labels: posix
#include "app/listora.h"
#include "catalogue/ini_file.h"
#include "enregistreur_msgbox.h"
#include "search/recherche.h"
#include "window_fixture.h"

#include <QPushButton>
#include <QScopeGuard>
#include <QStringEncoder>
#include <QTest>

#include <QRandomGenerator>
#include <array>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{

// What a press of one catalogue button gives, then the first term's
// selection and an empty-string search (which lists every entry).
struct Issue {
    QString titre;       // title of the one box the press shows; empty: none
    int entrees = 0;     // terms in the list after the press
    QString premierSens; // description shown for the first term
    int trouves = -1;    // terms the search lists; -1: as many as loaded
};
using Issues = std::array<Issue, 3>; // IP ports, acronyms, MIME types
constexpr std::array<const char*, 3> boutons{"CMD_IpPort", "CMD_Acronyme", "CMD_MIMEType"};

const QString syntaxe = QStringLiteral(" Erreur de Syntaxe"); // this box ends the program
const Issue absent{QStringLiteral("Erreur Fichier"), 0, {}, 0};
const Issues rien{absent, absent, absent};

void ecrire(const QString& chemin, const QByteArray& octets)
{
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(octets) == octets.size());
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

// clang-format off
enum Forme { Fichier, Dossier, SansDroit, LectureEnEchec, Fifo, BoucleDeLiens, TropGrand,
             GranditPendantLaLecture, ChangeDansLeFutur, Supprime, Remplace };
// clang-format on

// The system's clocks, the wall one a day behind: the file's times lie ahead.
struct HorlogeEnRetard : plateforme::Horloge {
    plateforme::Horloge& systeme = plateforme::horlogeDuSysteme();
    int64_t murale() const override { return systeme.murale() - 86'400'000'000'000; }
    int64_t monotone() const override { return systeme.monotone(); }
    void attendre(int64_t ns) override { systeme.attendre(ns); }
} enRetard;

// Puts what the row names at the data file's path, in the current folder.
const QString dat = QStringLiteral("LISTORA.DAT");
void fabriquer(Forme forme, const QByteArray& octets)
{
    if (forme == Dossier)
        QDir().mkdir(dat);
    else if (forme == LectureEnEchec) // a regular file for stat() that opens; its first read fails
        QFile::link(QStringLiteral("/proc/self/mem"), dat);
    else if (forme == Fifo)
        ::mkfifo(QFile::encodeName(dat).constData(), 0644);
    else if (forme == BoucleDeLiens)
        QFile::link(dat + ".2", dat), QFile::link(dat, dat + ".2");
    else
        ecrire(dat, octets);
    if (forme == SansDroit)
        QFile::setPermissions(dat, {});
    if (forme == TropGrand) // larger than the program reads; sparse
        ::truncate(QFile::encodeName(dat).constData(), 70 << 20);
    if (forme == GranditPendantLaLecture) // so between the reader's first look and its read
        ini::observerLecture([](ini::Etape etape) {
            if (etape == ini::Etape::ApresPremiereSignature)
                ::truncate(QFile::encodeName(dat).constData(), 70 << 20);
        });
    if (forme == ChangeDansLeFutur) // a clock put back, a file server ahead
        ini::utiliserHorloge(&enRetard);
}

// After the load, before the selection: deleted, or renamed over as editors save.
void apresChargement(Forme forme)
{
    if (forme == Supprime)
        QFile::remove(dat);
    if (forme != Remplace)
        return;
    ecrire(dat + ".tmp", bon("Serveur de noms") + "MIME2=text/css,Feuille de style\r\n");
    ::rename(QFile::encodeName(dat + ".tmp").constData(), QFile::encodeName(dat).constData());
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

} // namespace

Q_DECLARE_METATYPE(Forme)
Q_DECLARE_METATYPE(Issue)

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
    QTest::addColumn<int>("rang");
    QTest::addColumn<Issue>("issue");
    const auto ligne = [](const char* nom, Forme forme, const QByteArray& octets, Issues issues) {
        for (int rang = 0; rang < 3; ++rang)
            QTest::addRow("%s, %s", nom, boutons[rang]) << forme << octets << rang << issues[rang];
    };
    const auto charge = [](int entrees, const QString& premierSens, int trouves = -1) {
        return Issue{{}, entrees, premierSens, trouves};
    };
    const auto utf16 = [](const QByteArray& utf8,
                          QStringConverter::Encoding boutisme) -> QByteArray {
        return QStringEncoder(boutisme, QStringConverter::Flag::WriteBom)(QString::fromUtf8(utf8));
    };
    QByteArray aleatoire(1 << 20, '\0');
    QRandomGenerator(20240501).fillRange(reinterpret_cast<quint32*>(aleatoire.data()), 1 << 18);
    const Issue bonIp = charge(2, QStringLiteral("Noms")); // "dns" sorts first
    const Issue bonMime = charge(1, QStringLiteral("Texte brut"));
    const Issues bons{bonIp, charge(3, QStringLiteral("Domain Name System")), bonMime};
    const QByteArray nuls =
        QByteArrayLiteral("[IP-PORTS]\nPROTO1=http,TCP,80,TCP,1024-65535,Web\0 cache\n[ACRONYMES]\n"
                          "ACRO1=DNS,Domain\0Name System\nACRO2=IP,Internet\0\n"
                          "[MIME-TYPES]\nMIME1=text/plain\0,Texte\n");
    const QByteArray mauvaisUtf8("[ACRONYMES]\nACRO1=CAF\xC3\xA9,caf\xC3\xA9 cr\xC3\xA8me\n"
                                 "ACRO2=BAD\xFF,octets \xC0\xAF invalides\n");

    ligne("random binary bytes", Fichier, aleatoire, rien);
    ligne("NUL bytes inside values", Fichier, nuls,
          {charge(1, "Web"), charge(2, "Domain"), Issue{syntaxe, 0, {}, 0}});
    ligne("a 50 MB file", Fichier, cinquanteMo(), bons);
    ligne("one line of 10 MB", Fichier,
          "[ACRONYMES]\nACRO1=AAA," + QByteArray(10 << 20, 'x') + "\nACRO2=ZZZ,fin\n",
          {absent, charge(2, QString(195, QLatin1Char('x'))), absent});
    ligne("100,000 sections", Fichier, centMilleSections(),
          {absent, charge(2, "au milieu"), charge(1, "Feuille de style")});
    ligne("40,000 keys: the walk stops at key 32,767", Fichier, acronymes(40000),
          {absent, charge(32767, QStringLiteral("sens 1")), absent});
    ligne("only CR line ends", Fichier, bon().replace("\r\n", "\r"), bons);
    // Each line in its own encoding, with or without the mark.
    ligne("UTF-8 with a Windows-1252 line", Fichier, mauvaisUtf8,
          {absent, charge(2, "octets \u00C0\u00AF invalides"), absent});
    ligne("UTF-16 with its mark", Fichier, utf16(bon("Système de noms"), QStringConverter::Utf16LE),
          {bonIp, charge(3, "Système de noms"), bonMime});
    ligne("big-endian UTF-16 is not understood", Fichier, utf16(bon(), QStringConverter::Utf16BE),
          rien);
    ligne("a directory named LISTORA.DAT", Dossier, {}, rien);
    ligne("no read permission", SansDroit, bon(), rien);
    ligne("a regular file whose reads fail", LectureEnEchec, {}, rien);
    ligne("a FIFO named LISTORA.DAT", Fifo, {}, rien);
    ligne("a symbolic link loop", BoucleDeLiens, {}, rien);
    ligne("larger than 64 MB", TropGrand, bon(), rien);
    ligne("grown past 64 MB during the read", GranditPendantLaLecture, bon(), rien);
    ligne("changed in the future", ChangeDansLeFutur, bon(), bons);
    ligne("only CR line ends, in Windows-1252", Fichier,
          bon("Syst\xE8me de noms").replace("\r\n", "\r"),
          {bonIp, charge(3, "Système de noms"), bonMime});
    ligne("a header repeated after a long first header line", Fichier,
          "[ACRONYMES] ;" + QByteArray(1 << 20, 'x') + "\nACRO1=DNS,Noms\n" +
              QByteArray("[ACRONYMES]\n").repeated(20000) + "ACRO2=IP,x\n",
          {absent, charge(1, "Noms"), absent});
    ligne("NUL pairs at the start, read as text", Fichier,
          QByteArray("\0;", 2).repeated(3000) + "\r\n" + bon(), bons);
    ligne("deleted between loading and selecting", Supprime, bon(),
          {charge(2, {}, 0), charge(3, {}, 0), charge(1, {}, 0)});
    ligne("replaced between loading and selecting", Remplace, bon(),
          {bonIp, charge(3, "Serveur de noms"), charge(1, "Texte brut", 2)});
}

void TstBadFiles::eachCatalogueGivesItsOutcome()
{
    QFETCH(Forme, forme);
    QFETCH(QByteArray, octets);
    QFETCH(int, rang);
    QFETCH(Issue, issue);
    fixture::DossierParTest dossier;
    dossier.entrer();
    fabriquer(forme, octets);
    const auto remettre = qScopeGuard([] {
        ini::observerLecture({});
        ini::utiliserHorloge(nullptr);
    });
    if (forme == SansDroit && QFile(dat).open(QIODevice::ReadOnly))
        QSKIP("this process may read any file (it cannot drop CAP_DAC_OVERRIDE)");

    Listora f;
    f.Form_Load();
    f.Me.Show();
    f.Timer1.setEnabled(false);
    fixture::EnregistreurMsgBox boites;
    const auto cliquer = [](QWidget* fenetre, const char* bouton) {
        auto* b = fenetre->findChild<QPushButton*>(QLatin1String(bouton));
        QVERIFY2(b && b->isEnabled(), bouton);
        b->click();
    };
    const int boitesAttendues = issue.titre.isEmpty() ? 0 : 1;

    cliquer(&f, boutons[rang]);
    QCOMPARE(boites.messages().size(), boitesAttendues);
    if (boitesAttendues)
        QCOMPARE(boites.messages().constFirst().titre, issue.titre);
    QCOMPARE(f.estDecharge(), issue.titre == syntaxe);
    QCOMPARE(f.codeDeSortie(), f.estDecharge() ? 1 : 0);
    if (f.estDecharge())
        return;
    ui::ListBox& liste = *std::array{&f.LST_Liste, &f.LST_Liste1, &f.LSt_Liste2}[rang];
    QCOMPARE(liste.ListCount(), issue.entrees);
    QCOMPARE(f.Me.MousePointer(), 0);

    apresChargement(forme);
    if (liste.ListCount() > 0) {
        liste.setListIndex(0);
        QCOMPARE(f.TXT_Acronyme.Text(), issue.premierSens);
        liste.setListIndex(liste.ListCount() - 1);
        QCOMPARE(f.Me.MousePointer(), 0);
    }

    cliquer(&f, "CMD_Recherche");
    Recherche* recherche = f.recherche();
    QVERIFY(recherche);
    cliquer(recherche, "CMD_Recherche");
    QCOMPARE(liste.ListCount(), issue.trouves < 0 ? issue.entrees : issue.trouves);
    cliquer(recherche, "CMD_Abandon");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!f.recherche() && f.Me.Enabled());
    QCOMPARE(boites.messages().size(),
             boitesAttendues); // nothing more from the selection or the search
}

QTEST_MAIN(TstBadFiles)
#include "tst_bad_files.moc"
