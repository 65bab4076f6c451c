#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// The system clipboard. Window thread.
//
// Replaces what the clipboard held with one picture in three forms, so that
// every program can paste it: the scalable picture (image/svg+xml), a bitmap
// of it and its data as plain text.
void PutPictureOnClipboard(const QByteArray& svg, const QImage& bitmap, const QString& text);
