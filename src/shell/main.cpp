// The Torvik program: the main window over the real clock, settings store,
// message boxes and serial port. A non-empty command line names a data file
// to open at start-up.

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/qtseriallink.h"
#include "platform/settingsstore.h"
#include "shell/mainwindow.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Torvik"));
    QCoreApplication::setApplicationName(QStringLiteral("Torvik"));

    // The whole command line is one file name, blanks and quotes included.
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const QString commandLine = arguments.join(QLatin1Char(' '));

    SystemClock clock;
    SettingsStore settings;
    QtDialogs dialogs;
    QtSerialLink serialLink;
    Main window(Services{settings, clock, dialogs, serialLink, commandLine});
    dialogs.setParent(&window);
    window.initialise();
    window.show();
    QTimer::singleShot(0, &window, &Main::offerRecovery);
    return app.exec();
}
