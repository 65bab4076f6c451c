#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

// The program's help: HTML pages shipped in the "help" folder beside the
// program, shown in a window of the program's own at their start page, with
// Back, Forward, Home and Close; Escape closes it too. A missing start page shows a short notice in
// the window instead. Window thread.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // Shows the window at `startPage` (an HTML file), raising it if it is open.
    void showStartPage(const QString& startPage);

private:
    QTextBrowser* m_browser = nullptr;
};
