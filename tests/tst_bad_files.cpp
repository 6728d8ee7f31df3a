// The whole program on data files that are anything but a good catalogue:
// each one pressed through the three catalogue buttons, its list selected
// and searched, with the outcome a user must see (a message box, an empty
// list, or the entries the file does hold) and never a crash or a hang.
#include "app/listora.h"
#include "search/recherche.h"
#include "ui/msgbox.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <fcntl.h>
#include <linux/capability.h>
#include <random>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{

// Makes the data file, or whatever stands in its place, in a folder.
using Fabrique = void (*)(const QString& dossier);

// What a press of one catalogue button must give, then its list's first
// selection and an empty-string search (which lists every entry).
struct Issue {
    QString titre;       // title of the one box the press shows; empty: none
    bool fin = false;    // that box ends the program
    int entrees = 0;     // terms in the list after the press
    QString premierSens; // the description shown for the first term
    int trouves = -1;    // terms the search lists; -1: as many as loaded
};
using Issues = std::array<Issue, 3>; // IP ports, acronyms, MIME types

Issue absent()
{
    return {QStringLiteral("Erreur Fichier"), false, 0, {}, 0};
}
Issue syntaxe()
{
    return {QStringLiteral(" Erreur de Syntaxe"), true, 0, {}, 0};
}
Issue charge(int entrees, const QString& premierSens, int trouves = -1)
{
    return {{}, false, entrees, premierSens, trouves};
}

QString fichier(const QString& dossier)
{
    return dossier + QStringLiteral("/LISTORA.DAT");
}

// Dated an hour back, as a user's file is when the program starts; a file
// written this instant is checked byte for byte at every read for a while.
void vieillir(const QString& chemin)
{
    timespec heure{};
    clock_gettime(CLOCK_REALTIME, &heure);
    heure.tv_sec -= 3600;
    const timespec dates[2] = {heure, heure};
    ::utimensat(AT_FDCWD, QFile::encodeName(chemin).constData(), dates, AT_SYMLINK_NOFOLLOW);
}

void ecrire(const QString& chemin, const QByteArray& octets, bool ancien = true)
{
    QFile f(chemin);
    if (!f.open(QIODevice::WriteOnly) || f.write(octets) != octets.size())
        qFatal("cannot write %s", qPrintable(chemin));
    f.close();
    if (ancien)
        vieillir(chemin);
}

// A small good catalogue; `sens` ends the first acronym's meaning.
QByteArray bonCatalogue(const char* sens = "Domain Name System")
{
    return QByteArray("[IP-PORTS]\r\nPROTO1=http,TCP,80,TCP,1024-65535,Web\r\n"
                      "PROTO2=dns,UDP,53,UDP,1024-65535,Noms\r\n"
                      "[ACRONYMES]\r\nACRO1=DNS,") +
           sens +
           "\r\nACRO2=IP,Internet Protocol\r\nACRO3=TCP,Transmission Control Protocol\r\n"
           "[MIME-TYPES]\r\nMIME1=text/plain,Texte brut\r\n";
}

// `n` acronyms whose terms sort in key order.
QByteArray acronymes(int n)
{
    QByteArray o = "[ACRONYMES]\n";
    o.reserve(n * 32);
    for (int i = 1; i <= n; ++i)
        o += "ACRO" + QByteArray::number(i) + "=A" + QByteArray::number(i).rightJustified(5, '0') +
             ",sens " + QByteArray::number(i) + '\n';
    return o;
}

void octetsAleatoires(const QString& d)
{
    std::mt19937 hasard(20240501);
    QByteArray o(1 << 20, '\0');
    for (char& c : o)
        c = static_cast<char>(hasard());
    ecrire(fichier(d), o);
}

void nulsDansLesValeurs(const QString& d)
{
    static const char o[] = "[IP-PORTS]\nPROTO1=http,TCP,80,TCP,1024-65535,Web\0 cache\n"
                            "[ACRONYMES]\nACRO1=DNS,Domain\0Name System\nACRO2=IP,Internet\0\n"
                            "[MIME-TYPES]\nMIME1=text/plain\0,Texte\n";
    ecrire(fichier(d), QByteArray(o, sizeof o - 1));
}

// 50 MB: the three catalogues, then a long archive section nobody asks for.
void cinquanteMegaOctets(const QString& d)
{
    QByteArray o = bonCatalogue();
    const QByteArray ligne = "=" + QByteArray(990, 'z') + "\r\n";
    o.reserve(50 << 20);
    o += "[ARCHIVES]\r\n";
    for (int i = 1; o.size() < (50 << 20); ++i)
        o += "NOTE" + QByteArray::number(i) + ligne;
    ecrire(fichier(d), o);
}

void ligneDeDixMegaOctets(const QString& d)
{
    ecrire(fichier(d), "[ACRONYMES]\nACRO1=AAA," + QByteArray(10 << 20, 'x') + "\nACRO2=ZZZ,fin\n");
}

void centMilleSections(const QString& d)
{
    QByteArray o;
    o.reserve(100000 * 24);
    for (int i = 1; i <= 100000; ++i) {
        if (i == 50000)
            o += "[ACRONYMES]\nACRO1=MID,au milieu\nACRO2=NUL,\n";
        else if (i == 100000)
            o += "[MIME-TYPES]\nMIME1=text/css,Feuille de style\n";
        else
            o += "[S" + QByteArray::number(i) + "]\nK=v\n";
    }
    ecrire(fichier(d), o);
}

void cles32767(const QString& d)
{
    ecrire(fichier(d), acronymes(32767));
}

void cles40000(const QString& d)
{
    ecrire(fichier(d), acronymes(40000));
}

void retoursChariotSeuls(const QString& d)
{
    ecrire(fichier(d), bonCatalogue().replace("\r\n", "\r"));
}

void utf8Invalide(const QString& d)
{
    // Not UTF-8 as a whole, so read as Windows-1252, byte for character.
    ecrire(fichier(d), "[ACRONYMES]\nACRO1=CAF\xC3\xA9,caf\xC3\xA9 cr\xC3\xA8me\n"
                       "ACRO2=BAD\xFF\xFE,octets \xC0\xAF invalides\n");
}

void utf8InvalideAvecMarque(const QString& d)
{
    // Marked UTF-8: each malformed sequence becomes U+FFFD.
    ecrire(fichier(d), "\xEF\xBB\xBF[ACRONYMES]\nACRO1=CAF\xC3\xA9,caf\xC3\xA9 cr\xC3\xA8me\n"
                       "ACRO2=BAD\xFF,octets \xC0\xAF invalides\n");
}

void utf16(const QString& d)
{
    const QString texte = QString::fromUtf8(bonCatalogue("Système de noms"));
    QByteArray o("\xFF\xFE");
    for (QChar c : texte)
        o += char(c.unicode() & 0xFF), o += char(c.unicode() >> 8);
    ecrire(fichier(d), o);
}

void utf16GrandBoutiste(const QString& d)
{
    const QString texte = QString::fromUtf8(bonCatalogue());
    QByteArray o("\xFE\xFF");
    for (QChar c : texte)
        o += char(c.unicode() >> 8), o += char(c.unicode() & 0xFF);
    ecrire(fichier(d), o);
}

void dossierDuMemeNom(const QString& d)
{
    QDir(d).mkdir(QStringLiteral("LISTORA.DAT"));
    ecrire(fichier(d) + QStringLiteral("/LISTORA.DAT"), bonCatalogue());
}

void sansDroitDeLecture(const QString& d)
{
    ecrire(fichier(d), bonCatalogue());
    QFile::setPermissions(fichier(d), {});
}

// A regular file for stat(), that opens, and whose first read fails: the
// program's own memory at address 0. Unreadable for root as well.
void lectureEnEchec(const QString& d)
{
    QFile::link(QStringLiteral("/proc/self/mem"), fichier(d));
}

void fifo(const QString& d)
{
    ::mkfifo(QFile::encodeName(fichier(d)).constData(), 0644);
}

void boucleDeLiens(const QString& d)
{
    QFile::link(d + QStringLiteral("/AUTRE.DAT"), fichier(d));
    QFile::link(fichier(d), d + QStringLiteral("/AUTRE.DAT"));
}

// Larger than the program reads (64 MB); sparse, so it costs no disk.
void tropGrand(const QString& d)
{
    ecrire(fichier(d), bonCatalogue());
    ::truncate(QFile::encodeName(fichier(d)).constData(), 70 << 20);
}

void bonFichier(const QString& d)
{
    ecrire(fichier(d), bonCatalogue());
}

void supprimer(const QString& d)
{
    QFile::remove(fichier(d));
}

// Renamed over the loaded file, as editors save, a moment after the load.
void remplacer(const QString& d)
{
    ecrire(d + QStringLiteral("/nouveau.tmp"),
           bonCatalogue("Serveur de noms") + "MIME2=text/css,Feuille de style\r\n", false);
    ::rename(QFile::encodeName(d + QStringLiteral("/nouveau.tmp")).constData(),
             QFile::encodeName(fichier(d)).constData());
}

// Drops, for this thread, the privilege that lets root read any file, so
// that a file without read permission is one for root too. Restored when
// destroyed.
class SansPassePartout
{
public:
    explicit SansPassePartout(bool voulu)
    {
        if (!voulu || ::geteuid() != 0)
            return;
        if (::syscall(SYS_capget, &entete_, avant_.data()) != 0)
            return;
        auto reduit = avant_;
        reduit[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        actif_ = ::syscall(SYS_capset, &entete_, reduit.data()) == 0;
    }
    ~SansPassePartout()
    {
        if (actif_)
            ::syscall(SYS_capset, &entete_, avant_.data());
    }
    SansPassePartout(const SansPassePartout&) = delete;
    SansPassePartout& operator=(const SansPassePartout&) = delete;

private:
    __user_cap_header_struct entete_{_LINUX_CAPABILITY_VERSION_3, 0};
    std::array<__user_cap_data_struct, _LINUX_CAPABILITY_U32S_3> avant_{};
    bool actif_ = false;
};

bool lisible(const QString& chemin)
{
    const int fd = ::open(QFile::encodeName(chemin).constData(), O_RDONLY | O_NONBLOCK);
    if (fd >= 0)
        ::close(fd);
    return fd >= 0;
}

// The current directory for the time of a test, put back afterwards.
class DansLeDossier
{
public:
    explicit DansLeDossier(const QString& dossier) : avant_(QDir::currentPath())
    {
        QDir::setCurrent(dossier);
    }
    ~DansLeDossier() { QDir::setCurrent(avant_); }

private:
    QString avant_;
};

constexpr std::array<const char*, 3> Boutons{"CMD_IpPort", "CMD_Acronyme", "CMD_MIMEType"};

ui::ListBox& listeDe(Listora& f, int rang)
{
    ui::ListBox* listes[] = {&f.LST_Liste, &f.LST_Liste1, &f.LSt_Liste2};
    return *listes[rang];
}

void cliquer(QWidget* fenetre, const char* bouton)
{
    auto* b = fenetre->findChild<QPushButton*>(QLatin1String(bouton));
    QVERIFY2(b, bouton);
    QVERIFY2(b->isEnabled(), bouton);
    b->click();
}

// What the description field shows: the meaning, or for an IP port the
// description after the fifth comma.
QString sensAffiche(Listora& f)
{
    return f.TXT_Acronyme.Text();
}

} // namespace

Q_DECLARE_METATYPE(Fabrique)
Q_DECLARE_METATYPE(Issues)

class TstBadFiles : public QObject
{
    Q_OBJECT

private slots:
    void eachCatalogueGivesItsDocumentedOutcome_data();
    void eachCatalogueGivesItsDocumentedOutcome();
};

void TstBadFiles::eachCatalogueGivesItsDocumentedOutcome_data()
{
    QTest::addColumn<Fabrique>("fabrique");
    QTest::addColumn<Fabrique>("apresChargement"); // may be nullptr
    QTest::addColumn<Issues>("issues");

    const auto row = [](const char* nom, Fabrique f, Issues i, Fabrique apres = nullptr) {
        QTest::newRow(nom) << f << apres << i;
    };
    const Issue bonIp = charge(2, QStringLiteral("Noms")); // "dns" sorts first
    const Issue bonMime = charge(1, QStringLiteral("Texte brut"));

    row("random binary bytes", octetsAleatoires, {absent(), absent(), absent()});
    row("NUL bytes inside values", nulsDansLesValeurs,
        {charge(1, QStringLiteral("Web")), charge(2, QStringLiteral("Domain")), syntaxe()});
    row("a 50 MB file", cinquanteMegaOctets,
        {bonIp, charge(3, QStringLiteral("Domain Name System")), bonMime});
    row("one line of 10 MB", ligneDeDixMegaOctets,
        {absent(), charge(2, QString(195, QLatin1Char('x'))), absent()});
    row("100,000 sections", centMilleSections,
        {absent(), charge(2, QStringLiteral("au milieu")), charge(1, "Feuille de style")});
    row("32,767 keys in one section", cles32767,
        {absent(), charge(32767, QStringLiteral("sens 1")), absent()});
    row("40,000 keys: the walk stops at key 32,767", cles40000,
        {absent(), charge(32767, QStringLiteral("sens 1")), absent()});
    row("only CR line ends", retoursChariotSeuls,
        {bonIp, charge(3, QStringLiteral("Domain Name System")), bonMime});
    row("UTF-8 with invalid sequences", utf8Invalide,
        {absent(), charge(2, QStringLiteral("octets \u00C0\u00AF invalides")), absent()});
    row("marked UTF-8 with invalid sequences", utf8InvalideAvecMarque,
        {absent(), charge(2, QStringLiteral("octets \uFFFD invalides")), absent()});
    row("UTF-16 with its mark", utf16,
        {bonIp, charge(3, QStringLiteral("Système de noms")), bonMime});
    row("big-endian UTF-16 is not understood", utf16GrandBoutiste, {absent(), absent(), absent()});
    row("a directory named LISTORA.DAT", dossierDuMemeNom, {absent(), absent(), absent()});
    row("no read permission", sansDroitDeLecture, {absent(), absent(), absent()});
    row("a regular file whose reads fail", lectureEnEchec, {absent(), absent(), absent()});
    row("a FIFO named LISTORA.DAT", fifo, {absent(), absent(), absent()});
    row("a symbolic link loop", boucleDeLiens, {absent(), absent(), absent()});
    row("larger than 64 MB", tropGrand, {absent(), absent(), absent()});
    row("deleted between loading and selecting", bonFichier,
        {charge(2, QString(), 0), charge(3, QString(), 0), charge(1, QString(), 0)}, supprimer);
    row("replaced between loading and selecting", bonFichier,
        {bonIp, charge(3, QStringLiteral("Serveur de noms")), charge(1, "Texte brut", 2)},
        remplacer);
}

void TstBadFiles::eachCatalogueGivesItsDocumentedOutcome()
{
    QFETCH(Fabrique, fabrique);
    QFETCH(Fabrique, apresChargement);
    QFETCH(Issues, issues);

    for (int rang = 0; rang < 3; ++rang) {
        const Issue& issue = issues[size_t(rang)];
        const QByteArray ou = QByteArray("catalogue ") + Boutons[size_t(rang)];
        QTemporaryDir dossier;
        QVERIFY(dossier.isValid());
        fabrique(dossier.path());
        const DansLeDossier ici(dossier.path());
        const bool sansDroit = QTest::currentDataTag() == QByteArray("no read permission");
        const SansPassePartout sansPassePartout(sansDroit);
        if (sansDroit && lisible(fichier(dossier.path())))
            QSKIP("this process may read any file (root with CAP_DAC_OVERRIDE it cannot drop)");

        Listora f;
        f.Form_Load();
        f.Me.Show();
        f.Timer1.setEnabled(false);
        ui::EnregistreurMsgBox boites;

        cliquer(&f, Boutons[size_t(rang)]);
        QCOMPARE(boites.messages().size(), issue.titre.isEmpty() ? 0 : 1);
        if (!issue.titre.isEmpty())
            QVERIFY2(boites.messages().constFirst().titre == issue.titre, ou);
        QVERIFY2(f.estDecharge() == issue.fin, ou);
        if (issue.fin)
            continue;
        ui::ListBox& liste = listeDe(f, rang);
        QVERIFY2(liste.ListCount() == issue.entrees,
                 ou + " holds " + QByteArray::number(liste.ListCount()));
        QCOMPARE(f.Me.MousePointer(), 0);

        if (apresChargement)
            apresChargement(dossier.path());
        if (liste.ListCount() > 0) {
            liste.setListIndex(0);
            QVERIFY2(sensAffiche(f) == issue.premierSens, ou + ": " + sensAffiche(f).toUtf8());
            liste.setListIndex(liste.ListCount() - 1);
            QCOMPARE(f.Me.MousePointer(), 0);
        }

        cliquer(&f, "CMD_Recherche");
        Recherche* recherche = Recherche::ouverte();
        QVERIFY(recherche);
        QVERIFY(!f.Me.Enabled());
        cliquer(recherche, "CMD_Recherche");
        const int trouves = issue.trouves < 0 ? issue.entrees : issue.trouves;
        QVERIFY2(liste.ListCount() == trouves,
                 ou + " search lists " + QByteArray::number(liste.ListCount()));
        cliquer(recherche, "CMD_Abandon");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Recherche::ouverte());
        QVERIFY(f.Me.Enabled());
        QCOMPARE(boites.messages().size(), issue.titre.isEmpty() ? 0 : 1);
    }
}

QTEST_MAIN(TstBadFiles)
#include "tst_bad_files.moc"
