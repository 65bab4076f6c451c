#include "textclipboard.h"

#include <QClipboard>
#include <QGuiApplication>

void PutTextOnClipboard(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}
