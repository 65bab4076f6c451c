#pragma once

#include <QString>
#include <QWidget>

// The program's help: HTML pages shipped in the "help" folder beside the
// program, shown in a window of the program's own at their start page.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // Shows the window at `startPage` (an HTML file), raising it if it is open.
    void showStartPage(const QString& startPage);
};
