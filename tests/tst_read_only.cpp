// The data file is the user's: a whole session (the three loads, selections,
// a search, a reset) leaves it byte for byte as it was, with the same dates,
// and leaves nothing new beside it; traced at the system-call level, the
// program never opens it for writing nor creates, renames or removes
// anything in its folder.
//
// Started as `tst_read_only --session FOLDER`, the program runs the session
// alone in FOLDER and exits: that is what the trace watches.
#include "app/listora.h"
#include "catalogue/constant.h"
#include "search/recherche.h"
#include "ui/msgbox.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace
{

void cliquer(QWidget* fenetre, const char* nom)
{
    if (auto* bouton = fenetre->findChild<QPushButton*>(QLatin1String(nom)))
        bouton->click();
    else if (auto* caseACocher = fenetre->findChild<QCheckBox*>(QLatin1String(nom)))
        caseACocher->click();
    else
        qFatal("no button %s", nom);
}

void choisirPremierEtDernier(ui::ListBox& liste)
{
    if (liste.ListCount() == 0)
        return;
    liste.setListIndex(0);
    liste.setListIndex(liste.ListCount() - 1);
}

// A session over every handler that reads the file, in the current
// directory; with `doublons`, the duplicate check is on throughout. Returns
// how many entries were loaded in all, or -1 when a message box appeared.
int seance(bool doublons)
{
    ui::EnregistreurMsgBox boites;
    Listora f;
    f.Form_Load();
    f.Me.Show();
    f.Timer1.setEnabled(false);
    if (doublons)
        cliquer(&f, "CHK_Doublon");

    cliquer(&f, "CMD_IpPort");
    choisirPremierEtDernier(f.LST_Liste);
    cliquer(&f, "CMD_Acronyme");
    choisirPremierEtDernier(f.LST_Liste1);
    cliquer(&f, "CMD_MIMEType");
    choisirPremierEtDernier(f.LSt_Liste2);
    const int chargees =
        f.LST_Liste.ListCount() + f.LST_Liste1.ListCount() + f.LSt_Liste2.ListCount();

    cliquer(&f, "CMD_Recherche");
    Recherche* recherche = Recherche::ouverte();
    if (!recherche)
        qFatal("the search window did not open");
    recherche->TXT_recherche.setText(QStringLiteral("ht"));
    cliquer(recherche, "CMD_Recherche");
    choisirPremierEtDernier(f.LSt_Liste2);
    cliquer(recherche, "CMD_Abandon");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    cliquer(&f, "CHK_Raz");
    choisirPremierEtDernier(f.LSt_Liste2);
    cliquer(&f, "CMD_Acronyme");
    choisirPremierEtDernier(f.LST_Liste1);
    cliquer(&f, "CMD_Quitter");
    return boites.messages().isEmpty() ? chargees : -1;
}

// The shipped catalogue (Windows-1252, CRLF, 1,800 entries or so), copied
// into `dossier`.
QString copierLeCatalogue(const QString& dossier)
{
    const QString copie = dossier + QStringLiteral("/LISTORA.DAT");
    if (!QFile::copy(QStringLiteral(LISTORA_SOURCE_DIR "/data/LISTORA.DAT"), copie))
        qFatal("cannot copy the shipped catalogue");
    QFile::setPermissions(copie, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                     QFile::ReadOther);
    return copie;
}

struct Empreinte {
    QByteArray octets;
    struct stat etat {
    };
    QStringList dossier;
};

Empreinte prendreEmpreinte(const QString& chemin)
{
    Empreinte e;
    QFile f(chemin);
    if (f.open(QIODevice::ReadOnly))
        e.octets = f.readAll();
    ::stat(QFile::encodeName(chemin).constData(), &e.etat);
    e.dossier = QFileInfo(chemin).dir().entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                  QDir::NoDotAndDotDot);
    return e;
}

qint64 nanosecondes(const timespec& t)
{
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// Calls of the trace that change the file system, or open a file for writing.
const QRegularExpression Ecriture(
    QStringLiteral(R"(\b(creat|rename|renameat2?|unlink|unlinkat|truncate|link|linkat|symlink|)"
                   R"(symlinkat|mkdir|mkdirat|mknod|mknodat)\()"));
const QRegularExpression OuvertureEcriture(
    QStringLiteral(R"(\bopen(at2?)?\(.*(O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|O_APPEND))"));

} // namespace

class TstReadOnly : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        CONSTANT::Liste_Active = CONSTANT::Liste_A_Recharger = CONSTANT::Verif_Doublon = 0;
    }

    void aWholeSessionLeavesTheFileAndItsFolderAsTheyWere_data()
    {
        QTest::addColumn<bool>("doublons");
        QTest::newRow("duplicate check off") << false;
        QTest::newRow("duplicate check on") << true;
    }

    void aWholeSessionLeavesTheFileAndItsFolderAsTheyWere()
    {
        QFETCH(bool, doublons);
        QTemporaryDir dossier;
        QVERIFY(dossier.isValid());
        const QString chemin = copierLeCatalogue(dossier.path());
        const Empreinte avant = prendreEmpreinte(chemin);
        QVERIFY(avant.octets.size() > 100000);

        const QString ici = QDir::currentPath();
        QDir::setCurrent(dossier.path());
        const int chargees = seance(doublons);
        QDir::setCurrent(ici);
        QVERIFY2(chargees > 1000, "the session showed a message or loaded next to nothing");

        const Empreinte apres = prendreEmpreinte(chemin);
        QVERIFY(apres.octets == avant.octets);
        QCOMPARE(apres.etat.st_ino, avant.etat.st_ino);
        QCOMPARE(apres.etat.st_mode, avant.etat.st_mode);
        QCOMPARE(nanosecondes(apres.etat.st_mtim), nanosecondes(avant.etat.st_mtim));
        QCOMPARE(nanosecondes(apres.etat.st_ctim), nanosecondes(avant.etat.st_ctim));
        QCOMPARE(apres.dossier, avant.dossier);
    }

    void underATraceTheFileIsNeverOpenedForWriting()
    {
        const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
        if (strace.isEmpty())
            QSKIP("strace is not installed (scripts/deps installs it)");
        QTemporaryDir dossier;
        QVERIFY(dossier.isValid());
        copierLeCatalogue(dossier.path());
        const QString trace = dossier.path() + QStringLiteral(".trace");

        QProcess programme;
        programme.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // LeakSanitizer cannot run under ptrace; the sanitizer build's other
        // checks still do.
        QProcessEnvironment environnement = QProcessEnvironment::systemEnvironment();
        const QString asan = environnement.value(QStringLiteral("ASAN_OPTIONS"));
        environnement.insert(QStringLiteral("ASAN_OPTIONS"),
                             asan + (asan.isEmpty() ? "" : ":") + "detect_leaks=0");
        programme.setProcessEnvironment(environnement);
        programme.start(strace, {QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-o"),
                                 trace, QStringLiteral("-e"),
                                 QStringLiteral("trace=open,openat,openat2,creat,rename,renameat,"
                                                "renameat2,unlink,unlinkat,truncate,link,linkat,"
                                                "symlink,symlinkat,mkdir,mkdirat,mknod,mknodat"),
                                 QCoreApplication::applicationFilePath(),
                                 QStringLiteral("--session"), dossier.path()});
        QVERIFY(programme.waitForFinished(240000));
        QFile journal(trace);
        QVERIFY(journal.open(QIODevice::ReadOnly));
        const QStringList lignes = QString::fromLocal8Bit(journal.readAll()).split(u'\n');
        journal.remove();
        if (programme.exitCode() != 0 && lignes.size() < 5)
            QSKIP("strace cannot trace here (no ptrace in this sandbox?)");
        QCOMPARE(programme.exitCode(), 0);

        // The file may be named from the folder or relative to it (the
        // session runs in the folder): every line naming either is checked.
        qsizetype lectures = 0;
        for (const QString& ligne : lignes) {
            const bool ici = ligne.contains(dossier.path()) || ligne.contains(u"LISTORA.DAT");
            if (!ici)
                continue;
            QVERIFY2(!Ecriture.match(ligne).hasMatch(), qPrintable(ligne));
            QVERIFY2(!OuvertureEcriture.match(ligne).hasMatch(), qPrintable(ligne));
            if (ligne.contains(u"LISTORA.DAT\"") && ligne.contains(u"O_RDONLY") &&
                !ligne.contains(u"= -1"))
                ++lectures;
        }
        // The trace did see the program at work: the file is read (again
        // whenever its dates are too recent to trust), at least once.
        QVERIFY2(lectures >= 1, "the trace shows no read of the data file");
    }
};

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--session") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication application(argc, argv);
        if (!QDir::setCurrent(QString::fromLocal8Bit(argv[2])))
            return 2;
        return seance(false) > 1000 ? 0 : 1;
    }
    QApplication application(argc, argv);
    TstReadOnly test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_read_only.moc"
