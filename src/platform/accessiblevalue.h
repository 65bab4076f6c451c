#pragma once

#include <QString>

class QWidget;

// Makes a value shown on screen readable to screen readers: the widget's
// accessible description carries the same text as the screen, and assistive
// tools are told each time it changes. Window thread.
void SetAccessibleValue(QWidget& widget, const QString& text);
