#pragma once

#include <QDialog>

// "About Torvik": the program's name and version with its picture. Created
// once, hidden by OK.
class About : public QDialog {
    Q_OBJECT
public:
    explicit About(QWidget* parent = nullptr);
};
