// The first start's copy of the shipped catalogue, on every system: made
// once, never over a file or a link of the user's, whole or not at all, and
// the shipped catalogue, read only, with a French warning when the user's
// folder cannot be had. The start's folder and the file the tools take by
// default are one choice.
#include "platform/first_start.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <map>

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace
{

#ifdef _WIN32
const char* const DataVariable = "APPDATA";
const QString UserFolderName = "\\Listora";
const QString Sep = "\\";
#else
const char* const DataVariable = "XDG_DATA_HOME";
const QString UserFolderName = "/listora";
const QString Sep = "/";
#endif

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

class TstFirstStart : public QObject
{
    Q_OBJECT

    QTemporaryDir scratch_;
    QString shippedDir_, shipped_, dataHome_, user_, userFile_, started_;
    std::map<std::string, std::string> env_;
    const QByteArray catalogue_ = "[ACRONYMES]\r\nACRO1=ACK,Acknowledge\r\n";
    int row_ = 0;

    plateforme::Lieux lieux() const
    {
        return {started_.toStdString(), shipped_.toStdString(),
                [this](const char* name) -> std::optional<std::string> {
                    const auto it = env_.find(name);
                    return it == env_.end() ? std::nullopt : std::optional(it->second);
                }};
    }
    plateforme::Depart start() const { return plateforme::preparerLeDepart(lieux()); }
    QString defaultFile() const
    {
        return QString::fromStdString(plateforme::fichierDuDepart(lieux()));
    }

private slots:
    void init()
    {
        QVERIFY(scratch_.isValid());
        const QString root = native(scratch_.path()) + Sep + QString::number(++row_);
        shippedDir_ = root + Sep + "programme";
        shipped_ = shippedDir_ + Sep + "LISTORA.DAT";
        dataHome_ = root + Sep + "données";
        user_ = dataHome_ + UserFolderName;
        userFile_ = user_ + Sep + "LISTORA.DAT";
        started_ = root + Sep + "ailleurs";
        QVERIFY(QDir().mkpath(shippedDir_) && QDir().mkpath(started_));
        QVERIFY(writeFile(shipped_, catalogue_));
        env_ = {{DataVariable, dataHome_.toStdString()}};
    }

    // The copy is made on the first start only, and is the user's from then on.
    void copiesOnceAndKeepsTheUsersEdits()
    {
        plateforme::Depart first = start();
        QCOMPARE(QString::fromStdString(first.dossier), user_);
        QVERIFY(first.copie);
        QCOMPARE(QString::fromStdString(first.message), "votre catalogue est " + userFile_);
        QCOMPARE(readAll(userFile_), catalogue_);
        QCOMPARE(QDir(user_).entryList(QDir::Files | QDir::Hidden), QStringList{"LISTORA.DAT"});
        QCOMPARE(defaultFile(), userFile_);

        const QByteArray edited = catalogue_ + "ACRO2=MIEN,le mien\r\n";
        QVERIFY(writeFile(userFile_, edited));
        QVERIFY(writeFile(shipped_, "[ACRONYMES]\r\nACRO1=NOUVEAU,une mise à jour\r\n"));
        const plateforme::Depart again = start();
        QCOMPARE(QString::fromStdString(again.dossier), user_);
        QVERIFY(!again.copie);
        QVERIFY(again.message.empty());
        QCOMPARE(readAll(userFile_), edited);
    }

    // Whatever has the copy's name stays as it is, and the start goes there.
    void neverReplacesWhatHasTheName_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a file") << "file";
        QTest::newRow("an empty file") << "empty";
        QTest::newRow("a folder") << "folder";
#ifndef _WIN32
        QTest::newRow("a link") << "link";
        QTest::newRow("a dangling link") << "dangling";
#endif
    }
    void neverReplacesWhatHasTheName()
    {
        QFETCH(QString, kind);
        QVERIFY(QDir().mkpath(user_));
        const QString other = dataHome_ + Sep + "autre.dat";
        QVERIFY(writeFile(other, "autre"));
        const QByteArray own = "[ACRONYMES]\nACRO1=MON,mien\n";
        if (kind == "file")
            QVERIFY(writeFile(userFile_, own));
        if (kind == "empty")
            QVERIFY(writeFile(userFile_, {}));
        if (kind == "folder")
            QVERIFY(QDir().mkpath(userFile_));
        if (kind == "link")
            QVERIFY(QFile::link(other, userFile_));
        if (kind == "dangling")
            QVERIFY(QFile::link(dataHome_ + "/parti.dat", userFile_));
        const plateforme::Depart depart = start();
        QCOMPARE(QString::fromStdString(depart.dossier), user_);
        QVERIFY(!depart.copie && !depart.avertissement && depart.message.empty());
        if (kind == "file")
            QCOMPARE(readAll(userFile_), own);
        if (kind == "empty")
            QCOMPARE(QFileInfo(userFile_).size(), 0);
        if (kind == "folder")
            QVERIFY(QFileInfo(userFile_).isDir());
        if (kind == "link" || kind == "dangling")
            QVERIFY(QFileInfo(userFile_).isSymLink());
        QCOMPARE(readAll(other), QByteArray("autre"));
        QCOMPARE(defaultFile(), userFile_);
    }

    // Where the user's folder cannot be had, the start opens the shipped
    // catalogue and says why, in French; nothing is left behind.
    void fallsBackOnTheShippedCatalogue_data()
    {
        QTest::addColumn<QString>("why");
        QTest::addColumn<QString>("said"); // "@" is the user's folder
        const QString cannot = "impossible de préparer votre catalogue dans @ ; ouverture du "
                               "catalogue fourni, en lecture seule.";
        QTest::newRow("a file where the data home should be") << "blocker" << cannot;
#ifndef _WIN32
        QTest::newRow("a copy that fails half-way") << "size limit" << cannot;
#endif
        QTest::newRow("no folder named")
#ifdef _WIN32
            << "no variable"
            << "APPDATA ne désigne aucun dossier où préparer votre catalogue ; ouverture du "
               "catalogue fourni, en lecture seule.";
#else
            << "no variable"
            << "ni XDG_DATA_HOME ni HOME ne désignent un dossier où préparer votre catalogue ; "
               "ouverture du catalogue fourni, en lecture seule.";
#endif
    }
    void fallsBackOnTheShippedCatalogue()
    {
        QFETCH(QString, why);
        QFETCH(QString, said);
        if (why == "blocker")
            QVERIFY(writeFile(dataHome_, "a file, not a folder"));
        if (why == "no variable")
            env_.clear();
        plateforme::Depart depart;
#ifndef _WIN32
        rlimit before{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
        if (why == "size limit") {
            // Room for a few bytes of the copy: its writing fails past them.
            QVERIFY(writeFile(shipped_, QByteArray(64 * 1024, 'x').prepend(catalogue_)));
            rlimit small = before;
            small.rlim_cur = 4096;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        depart = start();
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &before), 0);
#else
        depart = start();
#endif
        QCOMPARE(QString::fromStdString(depart.dossier), shippedDir_);
        QVERIFY(depart.avertissement && !depart.copie);
        QCOMPARE(QString::fromStdString(depart.message), QString(said).replace("@", user_));
        QCOMPARE(defaultFile(), shipped_);
        if (why == "size limit") // no name, no scratch file
            QCOMPARE(QDir(user_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                     QStringList());
    }

    // A LISTORA.DAT where the program is started is the one it reads, unless
    // it is the shipped one (the zip's folder, or the installation's): the
    // first start then makes the user's copy. Without a shipped catalogue
    // (a build folder) nothing is made.
    void startsWhereItIsStarted_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("folder"); // "@here", "@user" or "@shipped"
        QTest::addColumn<bool>("copied");
        QTest::newRow("a LISTORA.DAT there") << "file here"
                                             << "@here" << false;
        QTest::newRow("in the shipped catalogue's folder") << "start shipped"
                                                           << "@user" << true;
        QTest::newRow("no shipped catalogue") << "none shipped"
                                              << "@here" << false;
        QTest::newRow("no shipped catalogue, the user's copy") << "none shipped, user's"
                                                               << "@user" << false;
    }
    void startsWhereItIsStarted()
    {
        QFETCH(QString, setup);
        QFETCH(QString, folder);
        QFETCH(bool, copied);
        const QString here = setup == "start shipped" ? shippedDir_ : started_;
        started_ = here;
        if (setup == "file here")
            QVERIFY(writeFile(here + Sep + "LISTORA.DAT", "[ACRONYMES]\n"));
        if (setup.startsWith("none shipped"))
            QVERIFY(QFile::remove(shipped_));
        if (setup == "none shipped, user's")
            QVERIFY(QDir().mkpath(user_) && writeFile(userFile_, catalogue_));
        const plateforme::Depart depart = start();
        const QString expected = folder == "@here" ? here : user_;
        QCOMPARE(QString::fromStdString(depart.dossier), expected);
        QCOMPARE(depart.copie, copied);
        QVERIFY(!depart.avertissement);
        QCOMPARE(defaultFile(), expected + Sep + "LISTORA.DAT");
        if (setup == "none shipped")
            QVERIFY(!QFileInfo::exists(user_));
    }
};

QTEST_GUILESS_MAIN(TstFirstStart)
#include "tst_first_start.moc"
