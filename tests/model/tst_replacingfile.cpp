#include "model/experiment.h"
#include "model/replacingfile.h"
#include "modelfakes.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// What writing `bytes` over `name` throws, with a word when the old file was
// not kept; empty when it is written.
QString replace(const QString& name, const QByteArray& bytes) {
    try {
        ReplacingFile file(name.toStdString());
        file.Write(bytes.toStdString());
        file.Commit();
        return {};
    } catch (const FileWriteError& error) {
        return error.what() + QString(error.OldFileKept() ? "" : " (old file lost)");
    }
}

} // namespace

class TestReplacingFile : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void replacesPlainFilesOnlyThroughLinksKeepingTheMode_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("error");
        for (const QByteArrayList& row : dataRows("replacingtargets.tsv"))
            QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]);
    }

    void replacesPlainFilesOnlyThroughLinksKeepingTheMode() {
        QFETCH(QString, target);
        QFETCH(QString, error);
        const QString file = writeBytes(path("file"), QByteArray(5000, 'x'));
        QCOMPARE(chmod(qPrintable(file), 0604), 0);
        QVERIFY(QFile::link(file, path("link")) && QFile::link(path("pipe"), path("link to pipe")));
        QVERIFY(mkfifo(qPrintable(path("pipe")), 0666) == 0 && QDir(path(".")).mkdir("folder"));
        if (target == "device" && mknod(qPrintable(path("device")), S_IFCHR | 0666, makedev(1, 3)))
            QSKIP("needs root, to make a device");
        const QStringList before = entries();
        const QString name = target.isEmpty() ? target : path(target);
        QCOMPARE(replace(name, "new"), error.isEmpty() ? error : error + name);
        QCOMPARE(entries(), before);
        QCOMPARE(readBytes(file), error.isEmpty() ? QByteArray("new") : QByteArray(5000, 'x'));
    }

    void unprivilegedOperatorNeverDamagesTheOldFile_data() {
        QTest::addColumn<QByteArrayList>("folder");
        QTest::addColumn<QByteArrayList>("file");
        QTest::addColumn<QByteArray>("limit");
        QTest::addColumn<int>("outcome");
        for (const QByteArrayList& row : dataRows("replacingowners.tsv"))
            QTest::newRow(row[0]) << row[1].split(' ') << row[2].split(' ') << row[3]
                                  << row[4].toInt();
    }

    void unprivilegedOperatorNeverDamagesTheOldFile() {
        QFETCH(QByteArrayList, folder);
        QFETCH(QByteArrayList, file);
        QFETCH(QByteArray, limit);
        const bool smallDisk = limit == "small";
        const bool sizeLimited = limit == "limited";
        QFETCH(int, outcome);
        QCOMPARE(chmod(qPrintable(m_dir->path()), 0755), 0);
        const group* users = getgrnam("users");
        if (asNobody([&] { return access(qPrintable(m_dir->path()), X_OK); }) != 0 || !users)
            QSKIP("needs root, to make files of other users, the group users and the user nobody, "
                  "who must reach the temporary folder");
        const int usersGroup = static_cast<int>(users->gr_gid);
        const auto own = [](const QString& name, const QByteArrayList& spec) {
            const passwd* user = getpwnam(spec[0]);
            const group* owners = getgrnam(spec[1]);
            QVERIFY(user && owners && chown(qPrintable(name), user->pw_uid, owners->gr_gid) == 0 &&
                    chmod(qPrintable(name), spec[2].toUInt(nullptr, 8)) == 0);
        };
        const QString name = path("folder/file");
        QVERIFY(QDir(path(".")).mkdir("folder"));
        if (smallDisk && mount("tmpfs", qPrintable(path("folder")), "tmpfs", 0, "size=256k") != 0)
            QSKIP("needs to mount a small tmpfs");
        const auto unmount = qScopeGuard([&] {
            if (smallDisk)
                umount2(qPrintable(path("folder")), MNT_DETACH);
        });
        const QByteArray old = smallDisk     ? QByteArray(99 + 8 * 2000, 'o')
                               : sizeLimited ? QByteArray(200 * 1024, 'o')
                                             : "old";
        const QByteArray replacement =
            smallDisk || sizeLimited ? QByteArray(99 + 8 * 100'000, 'n') : "new";
        writeBytes(name, old);
        own(name, file);
        own(path("folder"), folder);
        const QStringList before = entries("folder");
        const QStringList errors = {"", "Permission denied: " + name, "Device I/O error: " + name,
                                    "Device I/O error: " + name + " (old file lost)"};
        const int result = asNobody(
            [&] {
                const rlimit fileSize{100 * 1024, 100 * 1024};
                if (sizeLimited &&
                    (signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &fileSize)))
                    return 124;
                return static_cast<int>(errors.indexOf(replace(name, replacement)));
            },
            usersGroup);
        QCOMPARE(result, outcome);
        QCOMPARE(readBytes(name), outcome == 0 ? replacement : old);
        QCOMPARE(entries("folder"), before);
    }

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    // Every name in a folder with its kind, mode, owner and group.
    QStringList entries(const QString& folder = ".") const {
        QStringList all;
        for (const QString& name : QDir(path(folder))
                                       .entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                                  QDir::NoDotAndDotDot)) {
            struct stat status {};
            lstat(qPrintable(path(folder + '/' + name)), &status);
            all << QString::asprintf("%s %o %u:%u", qPrintable(name), status.st_mode, status.st_uid,
                                     status.st_gid);
        }
        return all;
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_APPLESS_MAIN(TestReplacingFile)
#include "tst_replacingfile.moc"
