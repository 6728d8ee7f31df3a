// Installs this build into a scratch DESTDIR and checks the installed tree: the
// files and their modes, the menu entry, the icons, and the launcher that
// gives each user a copy of the catalogue.
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

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
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAll().constData());
    }

    void installsEachFileWithItsMode_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("executable");
        QTest::newRow("launcher") << "bin/listora" << true;
        QTest::newRow("program") << "libexec/listora/listora" << true;
        QTest::newRow("catalogue") << "share/listora/LISTORA.DAT" << false;
        QTest::newRow("menu entry") << "share/applications/" + appId + ".desktop" << false;
        QTest::newRow("metainfo") << "share/metainfo/" + appId + ".metainfo.xml" << false;
        QTest::newRow("manual page") << "share/man/man1/listora.1" << false;
        QTest::newRow("README") << "share/doc/listora/README.md" << false;
        QTest::newRow("look-up") << "bin/listora-cherche" << true;
        QTest::newRow("look-up's manual page") << "share/man/man1/listora-cherche.1" << false;
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

    void menuEntryStartsTheLauncherWithTheInstalledIcon()
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
    // with no display, and prepares no catalogue for them; anything else is
    // refused in one line.
    void commandAnswersHelpAndVersionWithoutAWindow_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>(
            "output"); // the start of standard output, or a line of standard error
        QTest::newRow("help") << "--help" << 0 << "Usage : listora [OPTION]\n";
        QTest::newRow("short help") << "-h" << 0 << "Usage : listora [OPTION]\n";
        QTest::newRow("version") << "--version" << 0 << "listora " LISTORA_VERSION "\n";
        QTest::newRow("unknown option")
            << "--aidez" << 2
            << "listora : option inconnue « --aidez » ; « listora --help » donne les options.\n";
    }
    void commandAnswersHelpAndVersionWithoutAWindow()
    {
        QFETCH(QString, argument);
        QFETCH(int, status);
        QFETCH(QString, output);
        QTemporaryDir home;
        QProcessEnvironment env;
        env.insert("PATH", "/usr/bin:/bin");
        env.insert("HOME", home.path());
        env.insert("QT_QPA_PLATFORM", "offscreen"); // none is needed but for the refusal
        QProcess command;
        command.setProcessEnvironment(env);
        command.start(installed("bin/listora"), {argument});
        QVERIFY(command.waitForFinished());
        QCOMPARE(command.exitCode(), status);
        const QString said = QString::fromUtf8(status == 0 ? command.readAllStandardOutput()
                                                           : command.readAllStandardError());
        QVERIFY2(status == 0 ? said.startsWith(output)
                             : said.split('\n').contains(output.chopped(1)),
                 qPrintable(said));
        if (status == 0)
            QCOMPARE(
                QDir(home.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                QStringList());
    }

    // `dataHome` empty leaves XDG_DATA_HOME unset, "@share" is the folder the
    // shipped catalogue's folder is in; `folder` is relative to the scratch
    // home, or "@shipped" for the installed catalogue's. A "relative home"
    // row starts the launcher with HOME=home, relative to its current folder.
    void launcherGivesTheUserACopyOnce_data()
    {
        QTest::addColumn<QString>("dataHome");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("folder");
        const auto row = [](const char* name, QString dataHome, QString setup, QString folder) {
            QTest::newRow(name) << dataHome << setup << folder;
        };
        row("first start copies the shipped file", "@home/data", "", "data/listora");
        row("without XDG_DATA_HOME it goes to ~/.local/share", "", "", ".local/share/listora");
        row("a relative XDG_DATA_HOME is ignored", "data", "", ".local/share/listora");
        row("the user's own copy is kept", "@home/data", "file", "data/listora");
        row("a dangling link in its place is kept", "@home/data", "link", "data/listora");
        row("an unusable data home falls back", "@home/blocker/data", "blocker", "@shipped");
        row("a data home holding the shipped catalogue is passed over", "@share", "",
            ".local/share/listora");
        row("a relative home is ignored", "", "relative home", "@shipped");
    }
    void launcherGivesTheUserACopyOnce()
    {
        QFETCH(QString, dataHome);
        QFETCH(QString, setup);
        QFETCH(QString, folder);
        // The real program would open a window: a stand-in prints where it was started.
        const QString program = installed("libexec/listora/listora");
        QFile::remove(program);
        QVERIFY(writeFile(program, "#!/bin/sh\npwd -P\n"));
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));

        QTemporaryDir scratch;
        const QString home = QDir(scratch.path()).canonicalPath();
        const QString shippedFile = installed("share/listora/LISTORA.DAT");
        const bool fallsBack = folder == "@shipped";
        const QString userFolder =
            fallsBack ? QFileInfo(shippedFile).canonicalPath() : home + '/' + folder;
        const QString userFile = userFolder + "/LISTORA.DAT";
        const QByteArray own("[ACRONYMES]\nACRO1=MON,mien\n");
        if (setup == "file")
            QVERIFY(QDir().mkpath(userFolder) && writeFile(userFile, own));
        if (setup == "link")
            QVERIFY(QDir().mkpath(userFolder) && QFile::link(home + "/gone.dat", userFile));
        if (setup == "blocker")
            QVERIFY(writeFile(home + "/blocker", "a file, not a folder"));

        // The launcher runs with nothing but PATH, HOME and XDG_DATA_HOME.
        QProcessEnvironment env;
        env.insert("PATH", "/usr/bin:/bin");
        const bool relative = setup == "relative home";
        env.insert("HOME", relative ? "home" : home);
        if (!dataHome.isEmpty())
            env.insert("XDG_DATA_HOME",
                       dataHome.replace("@home", home)
                           .replace("@share", QFileInfo(shippedFile).dir().path() + "/.."));
        QProcess launcher;
        launcher.setProcessEnvironment(env);
        launcher.setWorkingDirectory(home);
        launcher.start(installed("bin/listora"), {});
        QVERIFY(launcher.waitForFinished());
        QCOMPARE(launcher.exitCode(), 0);
        QCOMPARE(QString::fromLocal8Bit(launcher.readAllStandardOutput()).trimmed(), userFolder);
        QCOMPARE(launcher.readAllStandardError().contains("lecture seule"), fallsBack);
        QVERIFY(!QFileInfo::exists(home + "/home")); // nothing made under the current folder
        if (setup == "link") {
            QVERIFY(QFileInfo(userFile).isSymLink());
        } else if (!fallsBack) {
            QCOMPARE(readAll(userFile), setup.isEmpty() ? readAll(shippedFile) : own);
            // No scratch copy is left behind beside the catalogue.
            QCOMPARE(QDir(userFolder).entryList(QDir::Files | QDir::Hidden),
                     QStringList{"LISTORA.DAT"});
        }
    }
};

QTEST_GUILESS_MAIN(TstInstall)
#include "tst_install.moc"
