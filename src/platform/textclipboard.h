#pragma once

#include <QString>

// Replaces what the system clipboard holds with plain text, as a table's
// tab-delimited lines paste into a spreadsheet. Window thread.
void PutTextOnClipboard(const QString& text);
