#include "clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

void PutPictureOnClipboard(const QByteArray& svg, const QImage& bitmap, const QString& text) {
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/svg+xml"), svg);
    data->setImageData(bitmap);
    data->setText(text);
    // The clipboard owns the data from here on.
    QGuiApplication::clipboard()->setMimeData(data);
}
