#include "platform/readabletext.h"

#include <QLabel>
#include <QLineEdit>

void SetReadableText(QLabel& label, const QString& text) {
    if (label.text() != text)
        label.setText(text);
    SetReadableDescription(label, text);
}

void SetReadableText(QLineEdit& box, const QString& text) {
    if (box.text() != text)
        box.setText(text);
    SetReadableDescription(box, text);
}

void SetReadableDescription(QWidget& control, const QString& description) {
    // QWidget posts the change event itself, on every call.
    if (control.accessibleDescription() != description)
        control.setAccessibleDescription(description);
}
