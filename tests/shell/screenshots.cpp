// Renders the main window, the calibration dialog and the sensor watch window
// to PNG files for the documentation: the real widgets on the simulated
// machine (TORVIK_SIM), under whatever platform the caller chose (offscreen).
// Usage: torvik-screenshots FOLDER

#include "mainfixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <cstdio>

namespace {
// 406 counts of compression: 12.4 lbf at a ratio of 1.
const QString kHeldLoad = QStringLiteral("hold 32362 17250");
constexpr int kPatienceMsecs = 10000;

bool save(QWidget& window, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    const bool saved = window.grab().save(path);
    std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

// Opens a modal window through `item`, waits until `ready` holds, saves it
// and closes it with the button `closeButton`.
bool shootModal(MainFixture& f,
                const char* item,
                const QString& objectName,
                const std::function<bool(QWidget&)>& ready,
                const char* closeButton,
                const QDir& folder,
                const QString& fileName) {
    bool saved = false;
    int calls = 0;
    ModalWatcher watcher(objectName, [&](QWidget& window) {
        if (!ready(window) && ++calls < kPatienceMsecs / 10)
            return false;
        saved = save(window, folder, fileName);
        window.findChild<QAbstractButton*>(QLatin1String(closeButton))->click();
        return true;
    });
    f.item<QAction>(item).trigger();
    return saved;
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: torvik-screenshots FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path()))
        return 1;

    MainFixture f;
    if (!f.startOnMachine() || !f.sim->command(kHeldLoad)) {
        std::fprintf(stderr, "torvik-screenshots: the simulator did not start (TORVIK_SIM)\n");
        return 1;
    }
    Main& main = *f.main;
    if (!QTest::qWaitForWindowExposed(&main) ||
        !QTest::qWaitFor([&] { return f.liveLoadPanel().text() == QLatin1String("12.4 lbs"); },
                         kPatienceMsecs))
        return 1;

    bool ok = save(main, folder, QStringLiteral("main.png"));
    ok &= shootModal(
        f, "mnuCalibration", QStringLiteral("Calibration"), [](QWidget&) { return true; },
        "CancelButton", folder, QStringLiteral("calibration.png"));
    ok &= shootModal(
        f, "mnutest", QStringLiteral("Test"),
        [](QWidget& window) {
            return !window.findChild<QLineEdit*>(QStringLiteral("textDisp"))->text().isEmpty();
        },
        "buttonClose", folder, QStringLiteral("watchsensors.png"));
    return ok ? 0 : 1;
}
