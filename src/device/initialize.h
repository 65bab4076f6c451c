#pragma once

#include <QWidget>

// The splash window shown while the device link looks for the interface: a
// small borderless window of the program's own, with its name and version,
// drawn here rather than loaded from a picture. Not modal; the window thread
// keeps processing events while it is up.
class Initialize : public QWidget {
    Q_OBJECT
public:
    explicit Initialize(QWidget* parent = nullptr);

    // Shows the window centred on the screen.
    void showCentred();

protected:
    void paintEvent(QPaintEvent* event) override;
};
