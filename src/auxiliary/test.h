#pragma once

#include <QDialog>
#include <cstdint>

class Interface;

// "Watch Sensors": the live load in the given units and the raw displacement,
// polled as fast as the interface answers while the window is open. Built for
// one opening and destroyed when closed. Window thread.
class Test : public QDialog {
    Q_OBJECT
public:
    Test(Interface& device, std::int32_t units, QWidget* parent = nullptr);
};
