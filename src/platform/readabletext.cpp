#include "readabletext.h"

#include <QAccessible>
#include <QWidget>

void ShowReadableText(QWidget& widget, const QString& text) {
    if (widget.accessibleDescription() == text)
        return;
    widget.setAccessibleDescription(text);
    QAccessibleEvent event(&widget, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}
