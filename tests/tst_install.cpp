// Installs this build into a scratch DESTDIR and checks the installed tree: the
// files and their modes, the menu entry, the icons, and the program's first
// start, which gives each user a copy of the catalogue.
// Linux only: the install tree and the desktop files.
// Labels: posix
#include "platform/first_start.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace
{

const QString appId = QStringLiteral(LISTORA_APP_ID);

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TstInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir destDir_;
    QString installed(const QString& relative) const
    {
        return destDir_.path() + "/usr/" + relative;
    }

private slots:
    void initTestCase()
    {
        QProcess install;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DESTDIR", destDir_.path());
        install.setProcessEnvironment(env);
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(LISTORA_CMAKE, {"--install", LISTORA_BINARY_DIR, "--prefix", "/usr"});
        QVERIFY(install.waitForFinished(-1));
        QVERIFY2(install.exitCode() == 0, install.readAll().constData());
    }

    void installsEachFileWithItsMode_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("executable");
        QTest::newRow("program") << "bin/listora" << true;
        QTest::newRow("catalogue") << "share/listora/LISTORA.DAT" << false;
        QTest::newRow("menu entry") << "share/applications/" + appId + ".desktop" << false;
        QTest::newRow("metainfo") << "share/metainfo/" + appId + ".metainfo.xml" << false;
        QTest::newRow("manual page") << "share/man/man1/listora.1.gz" << false;
        QTest::newRow("checker's manual page") << "share/man/man1/listora-verifier.1.gz" << false;
        QTest::newRow("changelog") << "share/doc/listora/changelog.gz" << false;
        QTest::newRow("README") << "share/doc/listora/README.md" << false;
        QTest::newRow("look-up") << "bin/listora-cherche" << true;
        QTest::newRow("look-up's manual page") << "share/man/man1/listora-cherche.1.gz" << false;
        QTest::newRow("look-up's completion")
            << "share/bash-completion/completions/listora-cherche" << false;
    }
    void installsEachFileWithItsMode()
    {
        QFETCH(QString, path);
        QFETCH(bool, executable);
        const QFileInfo file(installed(path));
        QVERIFY2(file.isFile(), qPrintable(path));
        QCOMPARE(file.isExecutable(), executable);
        QVERIFY(file.permissions().testFlag(QFileDevice::ReadOther));
        if (path.endsWith("LISTORA.DAT")) // the project's own, unchanged
            QCOMPARE(readAll(file.filePath()), readAll(LISTORA_SOURCE_DIR "/data/LISTORA.DAT"));
    }

    void menuEntryStartsTheProgramWithTheInstalledIcon()
    {
        const QString entry = readAll(installed("share/applications/" + appId + ".desktop"));
        QVERIFY(entry.contains("\nIcon=" + appId + '\n'));
        const QRegularExpression exec("^Exec=(\\S+)", QRegularExpression::MultilineOption);
        QVERIFY(QFileInfo(installed("bin/" + exec.match(entry).captured(1))).isExecutable());
    }

    void drawsTheSmilingFaceAtEverySize_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {16, 32, 48, 64, 128, 256})
            QTest::addRow("%d px", size) << size;
    }
    void drawsTheSmilingFaceAtEverySize()
    {
        QFETCH(int, size);
        const QImage icon(
            installed(QString("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(appId)));
        QCOMPARE(icon.size(), QSize(size, size));
        const auto ink = [&](int x, int y) {
            return qAlpha(icon.pixel(x, y)) > 200 && qGray(icon.pixel(x, y)) < 60;
        };
        const int last = size - 1;
        for (QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
            QCOMPARE(qAlpha(icon.pixel(corner)), 0);
        // A yellow face with a dark outline, crisp even at 16 pixels.
        const QRgb p = icon.pixel(size / 2, size / 2);
        QVERIFY(qAlpha(p) == 255 && qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) < 80);
        QVERIFY(ink(size / 2, size / 64));
        // Eyes above the middle, a mouth below it.
        int inkAbove = 0, inkBelow = 0;
        for (int y = size / 5; y < size - size / 5; ++y)
            for (int x = size / 5; x < size - size / 5; ++x)
                (y < size / 2 ? inkAbove : inkBelow) += ink(x, y);
        QVERIFY2(inkAbove > 0 && inkBelow > 0, "eyes or mouth missing");
    }

    // The installed command answers --help and --version on the terminal,
    // with no display, and prepares no catalogue for them; an argument that
    // is neither its own nor Qt's is refused in one line, display or not; a
    // start without a display says so in one French line, status 1, and
    // never aborts. `environment` is what the command gets besides PATH,
    // HOME and XDG_RUNTIME_DIR.
    void commandAnswersWithoutAWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>(
            "output"); // the start of standard output, or a line of standard error
        const QString unknown =
            "listora : option inconnue « %1 » ; « listora --help » donne les options.";
        const QString noDisplay = "listora : aucun affichage graphique (DISPLAY et "
                                  "WAYLAND_DISPLAY sont vides) ; lancez Listora depuis une "
                                  "session de bureau.";
        const QString cannotOpen = "listora : impossible d'ouvrir l'affichage graphique ; "
                                   "vérifiez DISPLAY, WAYLAND_DISPLAY ou QT_QPA_PLATFORM, ou "
                                   "lancez Listora depuis une session de bureau.";
        const QStringList none;
        const QStringList offscreen{"QT_QPA_PLATFORM=offscreen"};
        QTest::newRow("help") << QStringList{"--help"} << none << 0 << "Usage : listora [OPTION]\n";
        QTest::newRow("short help")
            << QStringList{"-h"} << none << 0 << "Usage : listora [OPTION]\n";
        QTest::newRow("version") << QStringList{"--version"} << none << 0
                                 << "listora " LISTORA_VERSION "\n";
        QTest::newRow("unknown option")
            << QStringList{"--aidez"} << offscreen << 2 << unknown.arg("--aidez");
        QTest::newRow("unknown option, no display")
            << QStringList{"--nimportequoi"} << none << 2 << unknown.arg("--nimportequoi");
        QTest::newRow("a file name, after Qt's options")
            << QStringList{"-style", "Fusion", "--platform", "offscreen", "LISTORA.DAT"} << none
            << 2 << unknown.arg("LISTORA.DAT");
        QTest::newRow("an X11 option on another platform")
            << QStringList{"-platform", "offscreen", "-geometry", "10x10"} << none << 2
            << unknown.arg("-geometry");
        QTest::newRow("no display") << QStringList{} << none << 1 << noDisplay;
        QTest::newRow("Qt's options pass, no display")
            << QStringList{"-style", "Fusion", "-reverse"} << none << 1 << noDisplay;
        QTest::newRow("an X server that is not there")
            << QStringList{} << QStringList{"DISPLAY=:4987"} << 1 << cannotOpen;
        QTest::newRow("a Wayland compositor that is not there")
            << QStringList{} << QStringList{"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=nulle-part"}
            << 1 << cannotOpen;
        QTest::newRow("a platform Qt lacks")
            << QStringList{} << QStringList{"QT_QPA_PLATFORM=inexistante"} << 1 << noDisplay;
    }
    void commandAnswersWithoutAWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(int, status);
        QFETCH(QString, output);
        QTemporaryDir home, runtime;
        QProcessEnvironment env;
        env.insert("PATH", "/usr/bin:/bin");
        env.insert("HOME", home.path());
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        for (const QString& variable : environment)
            env.insert(variable.section('=', 0, 0), variable.section('=', 1));
        QProcess command;
        command.setProcessEnvironment(env);
        command.start(installed("bin/listora"), arguments);
        QVERIFY(command.waitForFinished(-1));
        QCOMPARE(command.exitStatus(), QProcess::NormalExit); // never aborts
        QCOMPARE(command.exitCode(), status);
        if (status == 0) {
            const QString said = QString::fromUtf8(command.readAllStandardOutput());
            QVERIFY2(said.startsWith(output), qPrintable(said));
            QCOMPARE(
                QDir(home.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                QStringList());
            return;
        }
        const QStringList lines =
            QString::fromUtf8(command.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
        QVERIFY2(lines.contains(output), qPrintable(lines.join('\n')));
        // No display: nothing but the program's own French lines (the first
        // start's copy of the catalogue is named too), none of Qt's.
        if (status == 1)
            for (const QString& line : lines)
                QVERIFY2(line.startsWith("listora : "), qPrintable(line));
    }

    // Where the program starts (its first start's copy of the catalogue),
    // and the file listora-verifier checks in the same environment (from a
    // folder without LISTORA.DAT): both must name the same file, or the
    // checker would vouch for a file the program never opens. `dataHome` is
    // XDG_DATA_HOME ("-" leaves it unset), where "@home" is the scratch home,
    // "@share" the folder the shipped catalogue's folder is in and
    // "@sharelink" a link to it; `setup` prepares the home, and "relative
    // home", "empty home", "no home" set HOME so; `folder` is where the
    // program starts, relative to the scratch home, or "@shipped" for the
    // installed catalogue's.
    void programAndCheckerNameOneFile_data()
    {
        QTest::addColumn<QString>("dataHome");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("folder");
        const auto row = [](const char* name, QString dataHome, QString setup, QString folder) {
            QTest::newRow(name) << dataHome << setup << folder;
        };
        row("first start copies the shipped file", "@home/data", "", "data/listora");
        row("without XDG_DATA_HOME it goes to ~/.local/share", "-", "", ".local/share/listora");
        row("an empty XDG_DATA_HOME is ignored", "", "", ".local/share/listora");
        row("a relative XDG_DATA_HOME is ignored", "data", "", ".local/share/listora");
        row("XDG_DATA_HOME ending in a newline is taken as it is", "@home/data\n", "",
            "data\n/listora");
        row("XDG_DATA_HOME ending in a slash", "@home/data/", "", "data/listora");
        row("XDG_DATA_HOME with a blank and an accent", "@home/mes données", "",
            "mes données/listora");
        row("the user's own copy is kept", "@home/data", "file", "data/listora");
        row("a dangling link in its place is kept", "@home/data", "link", "data/listora");
        row("an unusable data home falls back", "@home/blocker/data", "blocker", "@shipped");
        row("a data home holding the shipped catalogue is passed over", "@share", "",
            ".local/share/listora");
        row("a link to that data home is passed over too", "@sharelink", "",
            ".local/share/listora");
        row("a listora folder linked to the shipped one is passed over", "@home/data",
            "listora link", ".local/share/listora");
        row("so is a linked ~/.local/share/listora", "-", "home listora link", "@shipped");
        row("a relative home is ignored", "-", "relative home", "@shipped");
        row("an empty home is ignored", "-", "empty home", "@shipped");
        row("no home at all", "-", "no home", "@shipped");
        row("no home, but an XDG_DATA_HOME", "@home/data", "no home", "data/listora");
    }
    void programAndCheckerNameOneFile()
    {
        QFETCH(QString, dataHome);
        QFETCH(QString, setup);
        QFETCH(QString, folder);
        QTemporaryDir scratch;
        const QString home = QDir(scratch.path()).canonicalPath();
        const QString shippedFile = installed("share/listora/LISTORA.DAT");
        const QString shippedDir = QFileInfo(shippedFile).canonicalPath();
        const QString share = QFileInfo(shippedDir).path();
        const bool fallsBack = folder == "@shipped";
        const QString userFolder = fallsBack ? shippedDir : home + '/' + folder;
        const QString userFile = userFolder + "/LISTORA.DAT";
        const QByteArray own("[ACRONYMES]\nACRO1=MON,mien\n");
        if (setup == "file")
            QVERIFY(QDir().mkpath(userFolder) && writeFile(userFile, own));
        if (setup == "link")
            QVERIFY(QDir().mkpath(userFolder) && QFile::link(home + "/gone.dat", userFile));
        if (setup == "blocker")
            QVERIFY(writeFile(home + "/blocker", "a file, not a folder"));
        if (setup == "listora link")
            QVERIFY(QDir().mkpath(home + "/data") &&
                    QFile::link(shippedDir, home + "/data/listora"));
        if (setup == "home listora link")
            QVERIFY(QDir().mkpath(home + "/.local/share") &&
                    QFile::link(shippedDir, home + "/.local/share/listora"));
        QVERIFY(QFile::link(share, home + "/sharelink"));

        // Both see nothing but PATH, HOME and XDG_DATA_HOME.
        QProcessEnvironment env;
        env.insert("PATH", "/usr/bin:/bin");
        if (setup == "relative home")
            env.insert("HOME", "home");
        else if (setup == "empty home")
            env.insert("HOME", "");
        else if (setup != "no home")
            env.insert("HOME", home);
        if (dataHome != "-")
            env.insert("XDG_DATA_HOME", dataHome.replace("@sharelink", home + "/sharelink")
                                            .replace("@home", home)
                                            .replace("@share", share));
        // The program's own choice, started in the scratch home.
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(home));
        const plateforme::Depart start = plateforme::preparerLeDepart(
            {".", shippedFile.toStdString(), [&](const char* name) -> std::optional<std::string> {
                 if (!env.contains(name))
                     return std::nullopt;
                 return env.value(name).toStdString();
             }});
        QVERIFY(QDir::setCurrent(before));
        const QString started = QString::fromStdString(start.dossier);
        QCOMPARE(QFileInfo(started).canonicalFilePath(), QFileInfo(userFolder).canonicalFilePath());
        const bool copied = !fallsBack && setup != "file" && setup != "link";
        QCOMPARE(start.copie, copied);
        QCOMPARE(start.avertissement, fallsBack);
        if (copied)
            QCOMPARE(QString::fromStdString(start.message),
                     "votre catalogue est " + started + "/LISTORA.DAT");
        QVERIFY(!QFileInfo::exists(home + "/home")); // nothing made under the current folder
        if (setup == "link") {
            QVERIFY(QFileInfo(userFile).isSymLink());
        } else if (!fallsBack) {
            QCOMPARE(readAll(userFile), setup == "file" ? own : readAll(shippedFile));
            // No scratch copy is left behind beside the catalogue.
            QCOMPARE(QDir(userFolder).entryList(QDir::Files | QDir::Hidden),
                     QStringList{"LISTORA.DAT"});
        }
        checkerTakes(env, userFile, fallsBack ? 0 : setup == "link" ? 2 : 1);
    }

    // The installed command itself: it enters the folder of the user's
    // copy, made on its first start, or the shipped catalogue's when that
    // cannot be, before its window, and says which on standard error; a
    // warning goes to the desktop's notifications too.
    void commandStartsInTheCataloguesFolder_data()
    {
        QTest::addColumn<QString>("dataHome"); // below the scratch home
        QTest::addColumn<QString>("folder");   // where it starts, likewise, or "@shipped"
        QTest::addColumn<QString>("said");
        QTest::addColumn<bool>("notified");
        QTest::newRow("first start") << "data"
                                     << "data/listora"
                                     << "listora : votre catalogue est @/LISTORA.DAT" << false;
        QTest::newRow("a data home that cannot be made")
            << "blocker/data"
            << "@shipped"
            << "listora : impossible de préparer votre catalogue dans @home/blocker/data/listora "
               "; ouverture du catalogue fourni, en lecture seule."
            << true;
    }
    void commandStartsInTheCataloguesFolder()
    {
        QFETCH(QString, dataHome);
        QFETCH(QString, folder);
        QFETCH(QString, said);
        QFETCH(bool, notified);
        QTemporaryDir scratch;
        const QString home = QDir(scratch.path()).canonicalPath();
        QVERIFY(writeFile(home + "/blocker", "a file, not a folder"));
        // A stand-in for notify-send writes its arguments into a FIFO, whose
        // reading waits for them.
        const QString fifo = home + "/notified";
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString notifySend = home + "/bin/notify-send";
        QVERIFY(QDir().mkpath(home + "/bin"));
        QVERIFY(writeFile(notifySend, "#!/bin/sh\nprintf '%s\\n' \"$@\" >" + fifo.toUtf8() + '\n'));
        QVERIFY(QFile::setPermissions(notifySend, QFile::ReadOwner | QFile::ExeOwner));
        const QString expected = folder == "@shipped"
                                     ? QFileInfo(installed("share/listora")).canonicalFilePath()
                                     : home + '/' + folder;
        QProcessEnvironment env;
        env.insert("PATH", home + "/bin:/usr/bin:/bin");
        env.insert("HOME", home);
        env.insert("XDG_DATA_HOME", home + '/' + dataHome);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        QProcess command;
        command.setProcessEnvironment(env);
        command.setWorkingDirectory(home);
        command.setReadChannel(QProcess::StandardError);
        command.start(installed("bin/listora"), {});
        // The line is written once the folder is entered.
        while (!command.canReadLine())
            QVERIFY(command.waitForReadyRead(-1));
        const QString line = QString::fromUtf8(command.readLine()).chopped(1);
        const QString cwd =
            QFileInfo(QString("/proc/%1/cwd").arg(command.processId())).symLinkTarget();
        QByteArray notification;
        if (notified) {
            QFile reading(fifo);
            QVERIFY(reading.open(QIODevice::ReadOnly));
            notification = reading.readAll();
        }
        command.kill();
        command.waitForFinished(-1);
        const QString words = QString(said).replace("@home", home).replace("@", expected);
        QCOMPARE(line, words);
        QCOMPARE(cwd, expected);
        if (notified)
            QCOMPARE(QString::fromUtf8(notification),
                     "--app-name=Listora\n--icon=" + appId + "\nListora\n" +
                         words.mid(QString("listora : ").size()) + '\n');
    }

private:
    // The checker, started where there is no LISTORA.DAT, checks the file
    // the program opens: a syntax fault written into the user's copy
    // gives status 1, the shipped file 0, a dangling link 2 ("introuvable").
    void checkerTakes(const QProcessEnvironment& env, const QString& file, int status)
    {
        if (status == 1)
            QVERIFY(writeFile(file, "[ACRONYMES]\nACRO1=sans virgule\n"));
        QTemporaryDir elsewhere;
        QProcess checker;
        checker.setProcessEnvironment(env);
        checker.setWorkingDirectory(elsewhere.path());
        checker.start(installed("bin/listora-verifier"), {});
        QVERIFY(checker.waitForFinished(-1));
        QVERIFY2(checker.exitCode() == status,
                 checker.readAllStandardOutput().left(300).constData());
    }
};

QTEST_GUILESS_MAIN(TstInstall)
#include "tst_install.moc"
