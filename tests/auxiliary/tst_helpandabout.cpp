#include "auxiliary/about.h"
#include "auxiliary/helpwindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>

namespace {
QDir Help() {
    return QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/help"));
}

QString ReadPage(const QString& name) {
    QFile file(Help().filePath(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList References(const QString& html) {
    static const QRegularExpression reference(QStringLiteral("(?:href|src)\\s*=\\s*\"([^\"]*)\""),
                                              QRegularExpression::CaseInsensitiveOption);
    QStringList found;
    for (auto match = reference.globalMatch(html); match.hasNext();)
        found.append(match.next().captured(1));
    return found;
}
} // namespace

// The About window, and the help pages copied beside the test programs in
// bin/help.
class TestHelpAndAbout : public QObject {
    Q_OBJECT

private slots:
    void showsNameVersionAndTheProgramsPicture() {
        About about;
        QStringList shown{about.windowTitle(), about.accessibleName()};
        for (const char* name : {"Label1", "OKButton"}) {
            const auto* control = about.findChild<QWidget*>(QLatin1String(name));
            shown << control->property("text").toString() << control->accessibleName();
        }
        QCOMPARE(shown.join('|'),
                 QStringLiteral("About Torvik|About Torvik|Torvik 1.0|Torvik 1.0|OK|OK"));
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

    void opensAtTheStartPageAndGoesBack() {
        HelpWindow window;
        window.showStartPage(Help().filePath(QStringLiteral("index.html")));
        QVERIFY(window.isVisible());
        QCOMPARE(window.windowTitle(), QStringLiteral("Torvik Help"));
        QCOMPARE(window.accessibleName(), QStringLiteral("Torvik Help"));
        auto* browser = window.findChild<QTextBrowser*>();
        QCOMPARE(browser->documentTitle(), QStringLiteral("Torvik Help"));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("Calibrating the load cell")));
        auto* back = window.findChild<QWidget*>(QStringLiteral("buttonBack"));
        QVERIFY(!back->isEnabled());
        browser->setSource(QUrl(QStringLiteral("calibrating.html")));
        QCOMPARE(browser->documentTitle(), QStringLiteral("Calibrating the load cell"));
        QTest::mouseClick(back, Qt::LeftButton);
        QCOMPARE(browser->documentTitle(), QStringLiteral("Torvik Help"));
    }

    // Close and Escape close the window; Escape also with the text focused.
    void closesByItsButtonAndByEscape() {
        HelpWindow window;
        for (const bool button : {true, false}) {
            window.showStartPage(Help().filePath(QStringLiteral("index.html")));
            QVERIFY(QTest::qWaitForWindowActive(&window));
            window.findChild<QTextBrowser*>()->setFocus();
            auto* close = window.findChild<QPushButton*>(QStringLiteral("buttonClose"));
            QVERIFY(close && close->accessibleName() == QStringLiteral("Close"));
            if (button)
                QTest::mouseClick(close, Qt::LeftButton);
            else
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            QVERIFY(!window.isVisible());
        }
    }

    void missingHelpShowsANotice() {
        HelpWindow window;
        window.showStartPage(QStringLiteral("/nonexistent/help/index.html"));
        QVERIFY(window.isVisible());
        const QString shown = window.findChild<QTextBrowser*>()->toPlainText();
        QVERIFY(shown.contains(QStringLiteral("could not be found")));
        QVERIFY(shown.contains(QStringLiteral("/nonexistent/help/index.html")));
    }

    // Max. Disp. is told as computed: the furthest displacement reading
    // paired with the largest load for the frame's stretch, not the largest
    // displacement of the table.
    void maxDispIsDescribedAsComputed() {
        const QString page = ReadPage(QStringLiteral("results.html")).simplified();
        const QString item = page.section("<b>Max. Disp.</b>", 1).section("</li>", 0, 0);
        for (const char* words : {"first reading", "furthest displacement reading", "largest load",
                                  "different readings", "0.00001 inch"})
            QVERIFY2(item.contains(QLatin1String(words)), words);
        QVERIFY(!item.contains(QStringLiteral("the largest displacement of the test")));
    }

    // Links stay inside the folder (the help is read offline), every target
    // and anchor exists, and every page is reached from the start page.
    void everyLinkResolvesAndEveryPageIsReached() {
        const QStringList pages = Help().entryList({QStringLiteral("*.html")}, QDir::Files);
        QStringList reached{QStringLiteral("index.html")};
        for (qsizetype i = 0; i < reached.size(); ++i) {
            const QString html = ReadPage(reached[i]);
            QVERIFY2(!html.isEmpty(), qPrintable(reached[i]));
            for (const QString& reference : References(html)) {
                const QString where = reached[i] + QStringLiteral(": ") + reference;
                QVERIFY2(!reference.contains(':') && !reference.startsWith('/'), qPrintable(where));
                const QString file = reference.section(QLatin1Char('#'), 0, 0);
                const QString anchor = reference.section(QLatin1Char('#'), 1);
                const QString target = file.isEmpty() ? reached[i] : file;
                QVERIFY2(QFileInfo::exists(Help().filePath(target)), qPrintable(where));
                QVERIFY2(anchor.isEmpty() ||
                             ReadPage(target).contains(QStringLiteral("id=\"%1\"").arg(anchor)),
                         qPrintable(where));
                if (target.endsWith(QStringLiteral(".html")) && !reached.contains(target))
                    reached.append(target);
            }
        }
        for (const QString& page : pages)
            QVERIFY2(reached.contains(page), qPrintable(page));
    }
};

QTEST_MAIN(TestHelpAndAbout)
#include "tst_helpandabout.moc"
