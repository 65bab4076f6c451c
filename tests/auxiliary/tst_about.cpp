#include "auxiliary/about.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void showsNameVersionAndTheProgramsPicture() {
        About about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About Torvik"));
        QCOMPARE(about.accessibleName(), QStringLiteral("About Torvik"));
        auto* label = about.findChild<QLabel*>(QStringLiteral("Label1"));
        QCOMPARE(label->text(), QStringLiteral("Torvik 1.0"));
        QCOMPARE(label->accessibleName(), QStringLiteral("Torvik 1.0"));
        auto* ok = about.findChild<QPushButton*>(QStringLiteral("OKButton"));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(ok->accessibleName(), QStringLiteral("OK"));
        QCOMPARE(about.minimumSize(), about.maximumSize());
        const QRect client(QPoint(0, 0), about.size());
        for (const QWidget* child : about.findChildren<QWidget*>())
            QVERIFY2(client.contains(child->geometry()), qPrintable(child->objectName()));

        auto* image = about.findChild<QLabel*>(QStringLiteral("Image1"));
        QVERIFY(!image->accessibleName().isEmpty());
        const QImage picture = image->pixmap().toImage();
        QCOMPARE(picture.size(), QSize(159, 113));
        QCOMPARE(image->size(), QSize(159, 113));
        QVERIFY(!picture.hasAlphaChannel());
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
