// Installs this build into a scratch DESTDIR and checks the installed tree: the
// files and their modes, the menu entry's links to them, the icons, and the
// launcher that gives each user a copy of the catalogue.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
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

// A key of the menu entry, read as plain lines: QSettings mangles its lists.
QString desktopValue(const QByteArray& entry, const QByteArray& key)
{
    for (const QByteArray& line : entry.split('\n')) {
        if (line.startsWith(key + '='))
            return QString::fromUtf8(line.mid(key.size() + 1)).trimmed();
    }
    return {};
}

bool isYellow(QRgb p)
{
    return qAlpha(p) == 255 && qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) < 80;
}
bool isInk(QRgb p)
{
    return qAlpha(p) > 200 && qRed(p) < 60 && qGreen(p) < 60 && qBlue(p) < 60;
}

} // namespace

class TstInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir destDir_;

    QString installed(const QString& relative) const
    {
        return destDir_.path() + QStringLiteral("/usr/") + relative;
    }

    // Runs the installed launcher with only the given variables set, and
    // returns what the program it starts prints.
    QString launch(const QStringList& environment, QString* errors) const
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        for (const QString& assignment : environment)
            env.insert(assignment.section(QLatin1Char('='), 0, 0),
                       assignment.section(QLatin1Char('='), 1));
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(installed(QStringLiteral("bin/listora")), {});
        if (!process.waitForFinished() || process.exitCode() != 0)
            return QStringLiteral("(launcher failed)");
        *errors = QString::fromLocal8Bit(process.readAllStandardError());
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(destDir_.isValid());
        QProcess install;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), destDir_.path());
        install.setProcessEnvironment(env);
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(LISTORA_CMAKE),
                      {QStringLiteral("--install"), QStringLiteral(LISTORA_BINARY_DIR),
                       QStringLiteral("--prefix"), QStringLiteral("/usr")});
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
    }
    void installsEachFileWithItsMode()
    {
        QFETCH(QString, path);
        QFETCH(bool, executable);
        const QFileInfo file(installed(path));
        QVERIFY2(file.isFile(), qPrintable(path));
        QCOMPARE(file.isExecutable(), executable);
        QVERIFY(file.permissions().testFlag(QFileDevice::ReadOther));
    }

    void shipsTheProjectsCatalogueUnchanged()
    {
        const QByteArray source = readAll(QStringLiteral(LISTORA_SOURCE_DIR "/data/LISTORA.DAT"));
        QVERIFY(!source.isEmpty());
        QCOMPARE(readAll(installed(QStringLiteral("share/listora/LISTORA.DAT"))), source);
    }

    void menuEntryStartsTheLauncherWithTheInstalledIcon()
    {
        const QByteArray entry = readAll(installed("share/applications/" + appId + ".desktop"));
        const QString command = desktopValue(entry, "Exec").section(QLatin1Char(' '), 0, 0);
        QVERIFY(QFileInfo(installed("bin/" + command)).isExecutable());
        QCOMPARE(desktopValue(entry, "Icon"), appId);
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
        const QImage icon(installed(
            QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(appId)));
        QCOMPARE(icon.size(), QSize(size, size));
        const int last = size - 1;
        for (QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
            QCOMPARE(qAlpha(icon.pixel(corner)), 0);
        // A yellow face with a dark outline, crisp even at 16 pixels.
        QVERIFY(isYellow(icon.pixel(size / 2, size / 2)));
        QVERIFY(isInk(icon.pixel(size / 2, size / 64)));
        // Eyes above the middle, a mouth below it.
        int inkAbove = 0;
        int inkBelow = 0;
        for (int y = size / 5; y < size - size / 5; ++y) {
            for (int x = size / 5; x < size - size / 5; ++x) {
                if (isInk(icon.pixel(x, y)))
                    ++(y < size / 2 ? inkAbove : inkBelow);
            }
        }
        QVERIFY2(inkAbove > 0 && inkBelow > 0, "eyes or mouth missing");
    }

    void launcherGivesTheUserACopyOnce_data()
    {
        // folder is relative to the scratch home, or "@shipped" for the
        // installed catalogue's own folder; catalogue "@shipped" stands for
        // the installed catalogue's bytes.
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QByteArray>("catalogue");
        QTest::addColumn<bool>("warns");

        const QStringList xdg{"HOME=@home", "XDG_DATA_HOME=@home/data"};
        const QStringList home{"HOME=@home"};
        const QByteArray shipped("@shipped");
        QTest::newRow("first start copies the shipped file") << xdg << ""
                                                             << "data/listora" << shipped << false;
        QTest::newRow("without XDG_DATA_HOME it goes to ~/.local/share")
            << home << ""
            << ".local/share/listora" << shipped << false;
        QTest::newRow("a relative XDG_DATA_HOME is ignored")
            << QStringList{"HOME=@home", "XDG_DATA_HOME=data"} << ""
            << ".local/share/listora" << shipped << false;
        QTest::newRow("the user's own copy is kept")
            << xdg << "file"
            << "data/listora" << QByteArray("[ACRONYMES]\nACRO1=MON,mien\n") << false;
        QTest::newRow("a dangling link in its place is kept")
            << xdg << "link"
            << "data/listora" << QByteArray() << false;
        QTest::newRow("an unusable data home falls back to the shipped file")
            << QStringList{"HOME=@home", "XDG_DATA_HOME=@home/blocker/data"} << "blocker"
            << "@shipped" << QByteArray() << true;
    }
    void launcherGivesTheUserACopyOnce()
    {
        QFETCH(QStringList, environment);
        QFETCH(QString, setup);
        QFETCH(QString, folder);
        QFETCH(QByteArray, catalogue);
        QFETCH(bool, warns);

        // The real program would open a window: a stand-in prints where it
        // was started instead.
        const QString program = installed(QStringLiteral("libexec/listora/listora"));
        QFile::remove(program);
        QVERIFY(writeFile(program, "#!/bin/sh\npwd -P\n"));
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));

        QTemporaryDir scratch;
        const QString home = QDir(scratch.path()).canonicalPath();
        const QString shippedFile = installed(QStringLiteral("share/listora/LISTORA.DAT"));
        environment.replaceInStrings(QStringLiteral("@home"), home);
        const QString userFolder = folder == QStringLiteral("@shipped")
                                       ? QFileInfo(shippedFile).canonicalPath()
                                       : home + QLatin1Char('/') + folder;
        const QString userFile = userFolder + QStringLiteral("/LISTORA.DAT");
        if (catalogue == "@shipped")
            catalogue = readAll(shippedFile);

        if (setup == QStringLiteral("file") || setup == QStringLiteral("link"))
            QVERIFY(QDir().mkpath(userFolder));
        if (setup == QStringLiteral("file"))
            QVERIFY(writeFile(userFile, catalogue));
        if (setup == QStringLiteral("link"))
            QVERIFY(QFile::link(home + QStringLiteral("/gone.dat"), userFile));
        if (setup == QStringLiteral("blocker"))
            QVERIFY(writeFile(home + QStringLiteral("/blocker"), "a file, not a folder"));

        QString errors;
        QCOMPARE(launch(environment, &errors), userFolder);
        QCOMPARE(errors.contains(QStringLiteral("lecture seule")), warns);
        if (setup == QStringLiteral("link")) {
            QVERIFY(QFileInfo(userFile).isSymLink());
        } else if (!warns) {
            QCOMPARE(readAll(userFile), catalogue);
            // No scratch copy is left behind beside the catalogue.
            QCOMPARE(QDir(userFolder).entryList(QDir::Files | QDir::Hidden),
                     QStringList{QStringLiteral("LISTORA.DAT")});
        }
    }
};

QTEST_GUILESS_MAIN(TstInstall)
#include "tst_install.moc"
