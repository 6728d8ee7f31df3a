// The data file is the user's: a whole session (the three loads, selections,
// a search, a reset) leaves it and its folder as they were, dates included;
// under strace, nothing in the folder is opened for writing, created, renamed
// or removed. `tst_read_only --session FOLDER` runs the traced session alone.
// Linux only: strace watches the session.
// Labels: posix
#include "app/listora.h"
#include "enregistreur_msgbox.h"
#include "search/recherche.h"
#include "window_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <sys/stat.h>

namespace
{

// Every handler that reads the file, in the current folder, the duplicate
// check off then on. Returns the entries loaded, or -1 if a message box showed.
int seance()
{
    fixture::EnregistreurMsgBox boites;
    Listora f;
    f.Form_Load();
    f.Me.Show();
    f.Timer1.setEnabled(false);
    const auto cliquer = [](QWidget* w, const char* nom) {
        w->findChild<QAbstractButton*>(QLatin1String(nom))->click(); // none: a crash, a failure
    };
    const auto choisirPremierEtDernier = [](ui::ListBox& liste) {
        for (int i : {0, liste.ListCount() - 1})
            if (i >= 0)
                liste.setListIndex(i);
    };
    int chargees = 0;
    for (auto [bouton, liste] : {std::pair{"CMD_IpPort", &f.LST_Liste},
                                 {"CMD_Acronyme", &f.LST_Liste1},
                                 {"CMD_MIMEType", &f.LSt_Liste2}}) {
        cliquer(&f, bouton);
        choisirPremierEtDernier(*liste);
        chargees += liste->ListCount();
    }
    cliquer(&f, "CMD_Recherche");
    Recherche* recherche = f.recherche();
    recherche->TXT_recherche.setText(QStringLiteral("ht"));
    cliquer(recherche, "CMD_Recherche");
    choisirPremierEtDernier(f.LSt_Liste2);
    cliquer(recherche, "CMD_Abandon");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    cliquer(&f, "CHK_Doublon");
    cliquer(&f, "CHK_Raz");
    choisirPremierEtDernier(f.LSt_Liste2);
    cliquer(&f, "CMD_Acronyme");
    choisirPremierEtDernier(f.LST_Liste1);
    cliquer(&f, "CMD_Quitter");
    return boites.messages().isEmpty() ? chargees : -1;
}

// The bytes, the inode, mode and times of the file, and its folder's names.
QStringList empreinte(const QString& chemin)
{
    QFile f(chemin);
    struct stat e {
    };
    ::stat(QFile::encodeName(chemin).constData(), &e);
    const auto ns = [](timespec t) { return QString::number(t.tv_sec * 1000000000LL + t.tv_nsec); };
    return QStringList{QString::number(qHash(f.open(QIODevice::ReadOnly) ? f.readAll() : "")),
                       QString::number(e.st_ino), QString::number(e.st_mode), ns(e.st_mtim),
                       ns(e.st_ctim)} +
           QFileInfo(chemin).dir().entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                             QDir::NoDotAndDotDot);
}

} // namespace

class TstReadOnly : public QObject
{
    Q_OBJECT

private slots:
    // Run as a program of its own, under strace when there is one.
    void aSessionLeavesTheFileAndItsFolderAsTheyWere()
    {
        // The shipped catalogue (UTF-8, LF, about 2,600 entries), writable,
        // so that any attempt to write would succeed and show.
        QTemporaryDir dossier;
        const QString chemin = dossier.filePath(QStringLiteral("LISTORA.DAT"));
        QVERIFY(QFile::copy(QStringLiteral(LISTORA_SOURCE_DIR "/data/LISTORA.DAT"), chemin));
        QFile::setPermissions(chemin, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        const QStringList avant = empreinte(chemin);

        const QString trace = dossier.path() + QStringLiteral(".trace");
        const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
        QStringList arguments{QCoreApplication::applicationFilePath(), "--session", dossier.path()};
        if (!strace.isEmpty())
            arguments = QStringList{"-f", "-qq", "-o", trace, "-e", "trace=%file"} + arguments;
        QProcess programme;
        programme.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // LeakSanitizer cannot run under ptrace; the other sanitizer checks can.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":detect_leaks=0");
        programme.setProcessEnvironment(env);
        const QString executable = strace.isEmpty() ? arguments.takeFirst() : strace;
        programme.start(executable, arguments);
        QVERIFY(programme.waitForFinished(-1));
        QFile journal(trace);
        const QStringList lignes = journal.open(QIODevice::ReadOnly)
                                       ? QString::fromLocal8Bit(journal.readAll()).split(u'\n')
                                       : QStringList();
        journal.remove();
        if (!strace.isEmpty() && programme.exitCode() != 0 && lignes.size() < 5)
            QSKIP("strace cannot trace here (no ptrace in this sandbox?)");
        QVERIFY2(programme.exitCode() == 0,
                 "the session showed a message or loaded next to nothing");
        QCOMPARE(empreinte(chemin), avant);
        if (strace.isEmpty())
            QSKIP("unchanged; strace is not installed to watch closer (scripts/deps installs it)");

        // No call naming the folder or the file (relative to the folder, the
        // session's current one) changes them; at least one opens the file.
        const QRegularExpression ecriture(QStringLiteral(
            R"(\b(creat|rename|unlink|truncate|link|symlink|mkdir|mknod|f?chmod|f?chown|utime)\w*\()"
            "|O_WRONLY|O_RDWR|O_CREAT|O_TRUNC"));
        int lectures = 0;
        for (const QString& ligne : lignes) {
            if (ligne.contains(dossier.path()) || ligne.contains(u"LISTORA.DAT"))
                QVERIFY2(!ecriture.match(ligne).hasMatch(), qPrintable(ligne));
            lectures += ligne.contains(u"LISTORA.DAT\", O_RDONLY") && !ligne.contains(u"= -1");
        }
        QVERIFY2(lectures >= 1, "the trace shows no read of the data file");
    }
};

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--session") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication application(argc, argv);
        return QDir::setCurrent(QString::fromLocal8Bit(argv[2])) && seance() > 1000 ? 0 : 1;
    }
    QApplication application(argc, argv);
    TstReadOnly test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_read_only.moc"
