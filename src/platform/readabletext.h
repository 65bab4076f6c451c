#pragma once

class QString;
class QWidget;

// Makes a value shown on screen readable by assistive technology: the
// widget's accessible description becomes `text` and, when it changed, a
// description-changed event goes out so a screen reader can announce it. Call
// it with the text just put into the widget. Window thread.
void ShowReadableText(QWidget& widget, const QString& text);
