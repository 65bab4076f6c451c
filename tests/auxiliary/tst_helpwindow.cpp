#include "auxiliary/helpwindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

namespace {
QString HelpFolder() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/help");
}

QString ReadText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// Every href and src value of a page.
QStringList References(const QString& html) {
    static const QRegularExpression reference(QStringLiteral(R"re((?:href|src)\s*=\s*"([^"]*)")re"),
                                              QRegularExpression::CaseInsensitiveOption);
    QStringList found;
    for (auto match = reference.globalMatch(html); match.hasNext();)
        found.append(match.next().captured(1));
    return found;
}

bool HasAnchor(const QString& html, const QString& anchor) {
    return html.contains(QStringLiteral("id=\"%1\"").arg(anchor)) ||
           html.contains(QStringLiteral("name=\"%1\"").arg(anchor));
}
} // namespace

class TestHelpWindow : public QObject {
    Q_OBJECT

private slots:
    void opensAtTheStartPageBesideTheProgram();
    void linksFollowAndBackReturns();
    void missingHelpShowsANotice();
    void everyLinkResolves_data();
    void everyLinkResolves();
    void everyPageIsReachableFromTheStartPage();
};

void TestHelpWindow::opensAtTheStartPageBesideTheProgram() {
    HelpWindow window;
    window.showStartPage(HelpFolder() + QStringLiteral("/index.html"));
    QVERIFY(window.isVisible());
    QCOMPARE(window.windowTitle(), QStringLiteral("Torvik Help"));
    QCOMPARE(window.accessibleName(), QStringLiteral("Torvik Help"));
    auto* browser = window.findChild<QTextBrowser*>();
    QVERIFY(browser);
    QCOMPARE(QFileInfo(browser->source().toLocalFile()).fileName(), QStringLiteral("index.html"));
    QCOMPARE(browser->documentTitle(), QStringLiteral("Torvik Help"));
    QVERIFY(browser->toPlainText().contains(QStringLiteral("Calibrating the load cell")));
}

void TestHelpWindow::linksFollowAndBackReturns() {
    HelpWindow window;
    window.showStartPage(HelpFolder() + QStringLiteral("/index.html"));
    auto* browser = window.findChild<QTextBrowser*>();
    auto* back = window.findChild<QWidget*>(QStringLiteral("buttonBack"));
    QVERIFY(back);
    QVERIFY(!back->isEnabled());
    browser->setSource(QUrl(QStringLiteral("calibrating.html")));
    QCOMPARE(browser->documentTitle(), QStringLiteral("Calibrating the load cell"));
    QVERIFY(back->isEnabled());
    QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(browser->documentTitle(), QStringLiteral("Torvik Help"));
}

void TestHelpWindow::missingHelpShowsANotice() {
    HelpWindow window;
    window.showStartPage(QStringLiteral("/nonexistent/help/index.html"));
    QVERIFY(window.isVisible());
    const QString shown = window.findChild<QTextBrowser*>()->toPlainText();
    QVERIFY(shown.contains(QStringLiteral("could not be found")));
    QVERIFY(shown.contains(QStringLiteral("/nonexistent/help/index.html")));
}

void TestHelpWindow::everyLinkResolves_data() {
    QTest::addColumn<QString>("page");
    const QStringList pages =
        QDir(HelpFolder()).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
    QVERIFY(pages.contains(QStringLiteral("index.html")));
    for (const QString& page : pages)
        QTest::newRow(qPrintable(page)) << page;
}

void TestHelpWindow::everyLinkResolves() {
    QFETCH(QString, page);
    const QDir folder(HelpFolder());
    const QString html = ReadText(folder.filePath(page));
    QVERIFY(!html.isEmpty());
    for (const QString& reference : References(html)) {
        // The help is read offline: nothing outside its folder.
        QVERIFY2(!reference.contains(QLatin1Char(':')) && !reference.startsWith(QLatin1Char('/')),
                 qPrintable(reference));
        const QString file = reference.section(QLatin1Char('#'), 0, 0);
        const QString anchor = reference.section(QLatin1Char('#'), 1);
        const QString target = file.isEmpty() ? page : file;
        QVERIFY2(QFileInfo::exists(folder.filePath(target)), qPrintable(reference));
        if (!anchor.isEmpty())
            QVERIFY2(HasAnchor(ReadText(folder.filePath(target)), anchor), qPrintable(reference));
    }
}

void TestHelpWindow::everyPageIsReachableFromTheStartPage() {
    const QDir folder(HelpFolder());
    QStringList reached{QStringLiteral("index.html")};
    for (qsizetype i = 0; i < reached.size(); ++i) {
        for (const QString& reference : References(ReadText(folder.filePath(reached[i])))) {
            const QString file = reference.section(QLatin1Char('#'), 0, 0);
            if (file.endsWith(QStringLiteral(".html")) && !reached.contains(file))
                reached.append(file);
        }
    }
    const QStringList pages = folder.entryList({QStringLiteral("*.html")}, QDir::Files);
    for (const QString& page : pages)
        QVERIFY2(reached.contains(page), qPrintable(page));
}

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
