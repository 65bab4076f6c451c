#include "auxiliary/about.h"

#include "auxiliary/aboutpicture.h"

#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {
constexpr int kMarginPixels = 12;
constexpr int kClientWidthPixels = 340;
constexpr int kClientHeightPixels = kAboutPictureHeightPixels + 2 * kMarginPixels;
constexpr int kButtonWidthPixels = 81;
constexpr int kButtonHeightPixels = 25;
} // namespace

About::About(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About Torvik"));
    setAccessibleName(windowTitle());
    setModal(true);
    setFixedSize(kClientWidthPixels, kClientHeightPixels);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setAccessibleName(QStringLiteral("Torvik"));
    image->setAccessibleDescription(
        QStringLiteral("A testing machine with a specimen and the load curve of a test"));
    image->setPixmap(QPixmap::fromImage(AboutPicture()));
    image->setGeometry(kMarginPixels, kMarginPixels, kAboutPictureWidthPixels,
                       kAboutPictureHeightPixels);

    const int textLeft = 2 * kMarginPixels + kAboutPictureWidthPixels;
    auto* label = new QLabel(QStringLiteral("Torvik 1.0"), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setAccessibleName(label->text());
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 1.5);
    font.setBold(true);
    label->setFont(font);
    label->setGeometry(textLeft, kMarginPixels + 16, kClientWidthPixels - textLeft - kMarginPixels,
                       40);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setAccessibleName(ok->text());
    ok->setDefault(true);
    ok->setGeometry(kClientWidthPixels - kMarginPixels - kButtonWidthPixels,
                    kClientHeightPixels - kMarginPixels - kButtonHeightPixels, kButtonWidthPixels,
                    kButtonHeightPixels);
    connect(ok, &QPushButton::clicked, this, &About::accept);
}
