#include "auxiliary/helpwindow.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {
constexpr int kWidthPixels = 720;
constexpr int kHeightPixels = 560;

QPushButton* NavigationButton(const QString& caption, const QString& objectName, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    button->setAutoDefault(false);
    return button;
}
} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Torvik Help"));
    setAccessibleName(windowTitle());
    resize(kWidthPixels, kHeightPixels);

    auto* back = NavigationButton(QStringLiteral("&Back"), QStringLiteral("buttonBack"), this);
    auto* forward =
        NavigationButton(QStringLiteral("&Forward"), QStringLiteral("buttonForward"), this);
    auto* home = NavigationButton(QStringLiteral("Co&ntents"), QStringLiteral("buttonHome"), this);
    auto* close = NavigationButton(QStringLiteral("&Close"), QStringLiteral("buttonClose"), this);
    back->setEnabled(false);
    forward->setEnabled(false);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("textHelp"));
    m_browser->setAccessibleName(QStringLiteral("Help text"));
    m_browser->setOpenExternalLinks(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addWidget(home);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);

    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // Escape closes the window, as it does a dialog.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(home, &QPushButton::clicked, m_browser, &QTextBrowser::home);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
}

void HelpWindow::showStartPage(const QString& startPage) {
    const QFileInfo page(startPage);
    if (page.isFile()) {
        m_browser->setSource(QUrl::fromLocalFile(page.absoluteFilePath()));
    } else {
        m_browser->clearHistory();
        m_browser->setHtml(
            QStringLiteral("<h1>Torvik Help</h1><p>The help pages could not be found. They belong "
                           "in the folder <b>help</b> beside the program:</p><p>%1</p>")
                .arg(startPage.toHtmlEscaped()));
    }
    show();
    raise();
    activateWindow();
}
