#include "platform/readabletext.h"

#include <QLabel>

void SetReadableText(QLabel& label, const QString& text) {
    if (label.text() != text)
        label.setText(text);
    SetReadableDescription(label, text);
}

void SetReadableDescription(QWidget& control, const QString& description) {
    // QWidget posts the change event itself, on every call.
    if (control.accessibleDescription() != description)
        control.setAccessibleDescription(description);
}
