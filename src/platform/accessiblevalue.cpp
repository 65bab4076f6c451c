#include "platform/accessiblevalue.h"

#include <QAccessible>
#include <QWidget>

void SetAccessibleValue(QWidget& widget, const QString& text) {
    if (widget.accessibleDescription() == text)
        return;
    widget.setAccessibleDescription(text);
    // The widget does not announce a new description itself.
    QAccessibleEvent event(&widget, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}
