#pragma once

#include <QRect>

class QLabel;
class QWidget;

// Window geometry is designed in twips (1/1440 inch); at 96 dots per inch
// 15 twips make one pixel.
inline constexpr int kTwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}
constexpr QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                 TwipsToPixels(height));
}

// left = owner left + (owner width - window width) / 2, and likewise for top.
void CenterOver(QWidget& window, const QWidget& owner);
// The same over the screen the window is on.
void CenterOnScreen(QWidget& window);
// A caption in a font larger than the design's may need more room than its
// designed width; it may grow up to the control it names, whose left edge is
// `controlLeft`, never past it.
void WidenToText(QLabel& label, int controlLeft);
