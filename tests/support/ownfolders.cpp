// Linked into every test program: before main(), its home and XDG folders go
// to a fresh temporary folder (but for those ctest gives in the build tree, or
// those of the test program that started it) and its display offscreen, so no
// test touches the operator's settings, journals, files or clipboard.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <optional>

namespace {

struct OwnFolders {
    std::optional<QTemporaryDir> root;

    OwnFolders() {
        if (qEnvironmentVariableIsSet("TORVIK_TEST_FOLDERS"))
            return;
        root.emplace(QDir::tempPath() + QStringLiteral("/torvik-test-XXXXXX"));
        if (!root->isValid())
            qFatal("no temporary folder for the test's own folders");
        const QByteArray path = QFile::encodeName(root->path());
        qputenv("TORVIK_TEST_FOLDERS", path);
        qputenv("HOME", path);
        for (const char* name :
             {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
            if (!qgetenv(name).startsWith(TORVIK_TEST_BUILD_DIR "/"))
                qputenv(name, path + '/' + name);
        qputenv("QT_QPA_PLATFORM", "offscreen");
        if (qEnvironmentVariableIsEmpty("TORVIK_SIM"))
            qputenv("TORVIK_SIM", TORVIK_TEST_BUILD_DIR "/bin/torvik-sim");
    }
} const ownFolders;

} // namespace
