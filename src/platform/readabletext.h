#pragma once

#include <QString>

class QLabel;
class QWidget;

// A value shown on screen, made readable to screen readers. A control keeps
// its fixed accessible name ("Live load", say) and carries the value it shows
// as its accessible description; setting a new description posts
// QAccessible::DescriptionChanged, so a screen reader hears each change. A
// value that has not changed posts nothing: a reading refreshed ten times a
// second stays quiet while it holds still. Window thread.

// Shows `text` in `label` and gives it as the label's accessible description.
void SetReadableText(QLabel& label, const QString& text);

// The accessible description alone, for a control whose spoken state differs
// from its shown text (a stale reading, say).
void SetReadableDescription(QWidget& control, const QString& description);
