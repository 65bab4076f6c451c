#include "readabletext.h"

#include <QAccessible>
#include <QLineEdit>

void ShowReadableText(QLineEdit& box, const QString& text) {
    box.setText(text);
    box.setAccessibleDescription(text);
    QAccessibleEvent event(&box, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}
