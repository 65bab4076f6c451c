#include "auxiliary/aboutpicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {
const QColor kSteel(70, 96, 128);
const QColor kSteelLight(120, 146, 178);
const QColor kSpecimen(222, 142, 48);
const QColor kCurve(200, 30, 30);
const QColor kAxes(60, 60, 60);

void DrawBackground(QPainter& painter) {
    QLinearGradient sky(0, 0, 0, kAboutPictureHeightPixels);
    sky.setColorAt(0.0, QColor(236, 242, 250));
    sky.setColorAt(1.0, QColor(200, 214, 232));
    painter.fillRect(QRect(0, 0, kAboutPictureWidthPixels, kAboutPictureHeightPixels), sky);
}

// Base, two columns, fixed top head, moving crosshead and the grips.
void DrawMachine(QPainter& painter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(kSteel);
    painter.drawRect(8, 98, 66, 9);  // base
    painter.drawRect(14, 10, 6, 88); // left column
    painter.drawRect(62, 10, 6, 88); // right column
    painter.drawRect(10, 6, 62, 9);  // top head
    painter.setBrush(kSteelLight);
    painter.drawRect(16, 44, 50, 8); // moving crosshead
    painter.setBrush(kSteel);
    painter.drawRect(35, 15, 12, 10); // upper grip
    painter.drawRect(35, 52, 12, 10); // lower grip
    painter.drawRect(37, 88, 8, 10);  // load cell
}

// A dog-bone specimen held between the grips.
void DrawSpecimen(QPainter& painter) {
    QPainterPath bone;
    bone.moveTo(36, 25);
    bone.lineTo(46, 25);
    bone.lineTo(46, 29);
    bone.quadTo(43, 31, 43, 34);
    bone.lineTo(43, 39);
    bone.quadTo(43, 42, 46, 44);
    bone.lineTo(36, 44);
    bone.quadTo(39, 42, 39, 39);
    bone.lineTo(39, 34);
    bone.quadTo(39, 31, 36, 29);
    bone.closeSubpath();
    painter.setPen(QPen(kSpecimen.darker(140), 1));
    painter.setBrush(kSpecimen);
    painter.drawPath(bone);
}

// Load against displacement: a straight rise, yielding, a peak and the break.
void DrawLoadCurve(QPainter& painter) {
    const QRect plot(88, 14, 62, 82);
    painter.setPen(QPen(kAxes, 1));
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    QPainterPath curve;
    curve.moveTo(plot.left(), plot.bottom());
    curve.lineTo(plot.left() + 16, plot.bottom() - 52);
    curve.quadTo(plot.left() + 24, plot.bottom() - 66, plot.left() + 40, plot.bottom() - 70);
    curve.quadTo(plot.left() + 50, plot.bottom() - 70, plot.left() + 54, plot.bottom() - 60);
    curve.lineTo(plot.left() + 56, plot.bottom() - 8);
    painter.setPen(QPen(kCurve, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(curve);
}
} // namespace

QImage AboutPicture() {
    QImage picture(kAboutPictureWidthPixels, kAboutPictureHeightPixels, QImage::Format_RGB888);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawBackground(painter);
    DrawMachine(painter);
    DrawSpecimen(painter);
    DrawLoadCurve(painter);
    return picture;
}
