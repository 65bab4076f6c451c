// The splash window shown during the port probe.

#include "device/initialize.h"

#include <QImage>
#include <QScreen>
#include <QtTest>

class TestInitialize : public QObject {
    Q_OBJECT

private slots:
    void isABorderlessWindowNamedForTheProgramCentredOnTheScreen() {
        Initialize splash;
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(splash.accessibleName(), QStringLiteral("Torvik"));
        QCOMPARE(splash.accessibleDescription(), QStringLiteral("Version 1.0"));
        splash.showCentred();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        QVERIFY(splash.isWindow() && !splash.isModal());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QRect frame = splash.frameGeometry();
        QCOMPARE(frame.left(), screen.left() + (screen.width() - frame.width()) / 2);
        QCOMPARE(frame.top(), screen.top() + (screen.height() - frame.height()) / 2);
        QVERIFY(frame.width() < screen.width() && frame.height() < screen.height());
    }

    void drawsItsOwnPicture() {
        Initialize splash;
        const QImage picture = splash.grab().toImage();
        // Not a blank window: ink in a colour other than the background's.
        const QRgb background = picture.pixel(picture.width() / 2, 4);
        int inked = 0;
        for (int y = 0; y < picture.height(); y += 2)
            for (int x = 0; x < picture.width(); x += 2)
                inked += picture.pixel(x, y) != background ? 1 : 0;
        QVERIFY2(inked > 100, qPrintable(QString::number(inked)));
    }
};

QTEST_MAIN(TestInitialize)
#include "tst_initialize.moc"
