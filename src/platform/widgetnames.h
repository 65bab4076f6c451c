#pragma once

#include <QString>

// Gives a control its object name (the name the program and tests find it by)
// and its accessible name (what screen readers and automation read).
template <typename Widget>
Widget* Named(Widget* widget, const QString& objectName, const QString& accessibleName) {
    widget->setObjectName(objectName);
    widget->setAccessibleName(accessibleName);
    return widget;
}
