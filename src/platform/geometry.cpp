#include "geometry.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>
#include <algorithm>

void CenterOver(QWidget& window, const QWidget& owner) {
    const QRect ownerFrame = owner.frameGeometry();
    const QSize size = window.frameGeometry().size();
    window.move(ownerFrame.left() + (ownerFrame.width() - size.width()) / 2,
                ownerFrame.top() + (ownerFrame.height() - size.height()) / 2);
}

void CenterOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize size = window.frameGeometry().size();
    window.move(area.left() + (area.width() - size.width()) / 2,
                area.top() + (area.height() - size.height()) / 2);
}

void WidenToText(QLabel& label, int controlLeft) {
    constexpr int kGapPixels = 4;
    const int room = controlLeft - kGapPixels - label.x();
    if (label.sizeHint().width() > label.width() && room > label.width())
        label.resize(std::min(label.sizeHint().width(), room), label.height());
}
