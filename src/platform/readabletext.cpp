#include "platform/readabletext.h"

#include <QAccessible>
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
    if (control.accessibleDescription() == description)
        return;
    control.setAccessibleDescription(description);
    // Not every Qt release posts this for a widget's description; a second
    // notice costs nothing while no screen reader listens.
    QAccessibleEvent event(&control, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}
