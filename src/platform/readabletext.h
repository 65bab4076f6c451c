#pragma once

class QLineEdit;
class QString;

// Shows `text` in a box and makes it readable to screen readers: the same
// text becomes the box's accessible description, and assistive technology
// is told that the description changed. Window thread.
void ShowReadableText(QLineEdit& box, const QString& text);
