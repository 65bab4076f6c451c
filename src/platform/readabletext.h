#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

// A value shown on screen, made readable to screen readers. A control keeps
// its fixed accessible name ("Live load", say) and carries the value it shows
// as its accessible description; setting a new description posts
// QAccessible::DescriptionChanged, so a screen reader hears each change. A
// value that has not changed posts nothing: a reading refreshed ten times a
// second stays quiet while it holds still. Window thread.

// Shows `text` in a label or a box and gives it as its accessible description.
void SetReadableText(QLabel& label, const QString& text);
void SetReadableText(QLineEdit& box, const QString& text);

// The accessible description alone, for a control whose spoken state differs
// from its shown text (a stale reading, a load over the limit).
void SetReadableDescription(QWidget& control, const QString& description);
