#include "model/experiment.h"
#include "model/replacingfile.h"
#include "modelfakes.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

void replace(const QString& name, const QByteArray& bytes) {
    ReplacingFile file(name.toStdString());
    file.Write(bytes.toStdString());
    file.Commit();
}

} // namespace

class TestReplacingFile : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void replacesThroughLinksKeepingTheModeAndNoTemporary();
    void failedWriteLeavesTheOldFile();
    void badNameOrFolderWritesNothing();
    void unprivilegedOperatorKeepsOwnerAndGroupAndIsRefusedOthersFiles_data();
    void unprivilegedOperatorKeepsOwnerAndGroupAndIsRefusedOthersFiles();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QStringList files(const QString& folder = ".") const {
        return QDir(path(folder)).entryList(QDir::Files | QDir::Hidden);
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestReplacingFile::replacesThroughLinksKeepingTheModeAndNoTemporary() {
    const QString target = writeBytes(path("target"), QByteArray(5000, 'x'));
    QCOMPARE(chmod(qPrintable(target), 0604), 0);
    QVERIFY(QFile::link(target, path("link")));
    replace(path("link"), "new");
    QCOMPARE(QFileInfo(path("link")).symLinkTarget(), target);
    QCOMPARE(readBytes(target), QByteArray("new"));
    struct stat status {};
    QCOMPARE(stat(qPrintable(target), &status), 0);
    QCOMPARE(status.st_mode & 07777, 0604u);
    QCOMPARE(files(), (QStringList{"link", "target"}));
}

void TestReplacingFile::failedWriteLeavesTheOldFile() {
    // A file-size limit below the new file's size makes the write fail
    // midway, as a full disk would.
    const QString name = writeBytes(path("keep"), "old");
    rlimit previous{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool threw = false;
    try {
        replace(name, QByteArray(20000, 'x'));
    } catch (const FileWriteError&) {
        threw = true;
    }
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousSignal);
    QVERIFY(threw);
    QCOMPARE(readBytes(name), QByteArray("old"));
    QCOMPARE(files(), QStringList{"keep"});
}

void TestReplacingFile::badNameOrFolderWritesNothing() {
    QVERIFY_THROWS_EXCEPTION(FileWriteError, replace("", "x"));
    QVERIFY_THROWS_EXCEPTION(FileWriteError, replace(path("no/such"), "x"));
    QVERIFY(files().isEmpty());
}

void TestReplacingFile::unprivilegedOperatorKeepsOwnerAndGroupAndIsRefusedOthersFiles_data() {
    // Folder and file: owner, group (-1 for nobody's) and mode; whether the
    // operator, nobody, may write the file.
    QTest::addColumn<QList<int>>("folder");
    QTest::addColumn<QList<int>>("file");
    QTest::addColumn<bool>("written");
    QTest::newRow("another's file") << QList<int>{-1, -1, 0755} << QList<int>{0, 0, 0644} << false;
    QTest::newRow("own read-only file")
        << QList<int>{-1, -1, 0755} << QList<int>{-1, -1, 0444} << false;
    QTest::newRow("folder takes no new file, written in place")
        << QList<int>{0, 0, 0755} << QList<int>{0, 0, 0666} << true;
    QTest::newRow("group kept against the folder's")
        << QList<int>{-1, 0, 02775} << QList<int>{-1, -1, 0640} << true;
    QTest::newRow("group the operator is not in, written in place")
        << QList<int>{-1, -1, 0755} << QList<int>{-1, 0, 0664} << true;
}

void TestReplacingFile::unprivilegedOperatorKeepsOwnerAndGroupAndIsRefusedOthersFiles() {
    QFETCH(QList<int>, folder);
    QFETCH(QList<int>, file);
    QFETCH(bool, written);
    const auto nobody = nobodyIds();
    if (!nobody) {
        QSKIP("needs root, to make files of other users, and the user nobody");
    }
    // Owner, group (-1: nobody's) and mode set as given, and read back.
    const auto own = [&](const QString& name, const QList<int>& spec) {
        const uid_t uid = spec[0] < 0 ? nobody->first : spec[0];
        const gid_t gid = spec[1] < 0 ? nobody->second : spec[1];
        QVERIFY(chown(qPrintable(name), uid, gid) == 0 && chmod(qPrintable(name), spec[2]) == 0);
    };
    const auto owner = [](const QString& name) {
        struct stat status {};
        stat(qPrintable(name), &status);
        return std::tuple(status.st_uid, status.st_gid, status.st_mode & 07777);
    };
    const QString name = path("folder/file");
    QVERIFY(QDir(path(".")).mkdir("folder"));
    writeBytes(name, "old");
    QCOMPARE(chmod(qPrintable(m_dir->path()), 0755), 0);
    own(name, file);
    own(path("folder"), folder);
    const auto before = owner(name);
    const int outcome = asNobody([&] {
        try {
            replace(name, "new");
            return 0;
        } catch (const FileWriteError& error) {
            return std::string(error.what()) == "Permission denied: " + name.toStdString() ? 1 : 2;
        }
    });
    QCOMPARE(outcome, written ? 0 : 1);
    QCOMPARE(readBytes(name), QByteArray(written ? "new" : "old"));
    QCOMPARE(owner(name), before);
    QCOMPARE(files("folder"), QStringList{"file"});
}

QTEST_APPLESS_MAIN(TestReplacingFile)
#include "tst_replacingfile.moc"
