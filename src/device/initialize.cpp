#include "device/initialize.h"

#include "platform/geometry.h"

#include <QPainter>

namespace {
constexpr int kWidthPixels = 360;
constexpr int kHeightPixels = 200;
constexpr int kBorderPixels = 2;
const QColor kBackground(0x1f, 0x3a, 0x5f);
const QColor kInk(Qt::white);

const QString& Name() {
    static const QString name = QStringLiteral("Torvik");
    return name;
}

const QString& VersionText() {
    static const QString text = QStringLiteral("Version " TORVIK_VERSION);
    return text;
}

// A small load frame: two columns, a crosshead and a specimen between platens.
void DrawFrame(QPainter& painter, const QRect& area) {
    QPen pen(kInk, 3);
    painter.setPen(pen);
    const int left = area.left();
    const int right = area.right();
    painter.drawLine(left, area.bottom(), right, area.bottom());
    painter.drawLine(left + 6, area.top(), left + 6, area.bottom());
    painter.drawLine(right - 6, area.top(), right - 6, area.bottom());
    painter.drawLine(left, area.top() + 10, right, area.top() + 10);
    const int middle = area.center().x();
    painter.drawLine(middle, area.top() + 10, middle, area.top() + 24);
    painter.fillRect(QRect(middle - 6, area.top() + 26, 12, area.height() - 40), kInk);
}
} // namespace

Initialize::Initialize(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("Initialize"));
    setAccessibleName(Name());
    setAccessibleDescription(VersionText());
    setWindowTitle(Name());
    setFixedSize(kWidthPixels, kHeightPixels);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void Initialize::showCentred() {
    CenterOnScreen(*this);
    show();
}

void Initialize::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), kBackground);
    painter.setPen(QPen(kInk, kBorderPixels));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));

    DrawFrame(painter, QRect(28, 40, 70, 120));

    QFont title = font();
    title.setPointSize(30);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRect(120, 45, 220, 70), Qt::AlignLeft | Qt::AlignVCenter, Name());

    QFont small = font();
    small.setPointSize(11);
    painter.setFont(small);
    painter.drawText(QRect(122, 115, 220, 30), Qt::AlignLeft | Qt::AlignVCenter, VersionText());
    painter.drawText(QRect(122, 145, 220, 30), Qt::AlignLeft | Qt::AlignVCenter,
                     tr("Looking for the testing machine..."));
}
