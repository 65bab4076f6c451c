// Linked into every test program. Before main() builds the application, the
// home, data and cache folders, and the settings and state folders unless
// ctest gave them inside the build tree, go to a fresh temporary folder; the
// display is offscreen, so the clipboard stays in the process. No test, run
// by ctest or by hand, touches the operator's settings, journals or files.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

struct OwnFolders {
    QTemporaryDir root{QDir::tempPath() + QStringLiteral("/torvik-test-XXXXXX")};

    OwnFolders() {
        if (!root.isValid())
            qFatal("no temporary folder for the test's own folders");
        const QByteArray path = QFile::encodeName(root.path());
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
