#pragma once

#include <QString>

// The name a save or export proposes: the test's name, " - ", the local
// date and time as "Mar 07, 14.05" (English month name whatever the locale,
// two-digit day, 24-hour clock), then the extension, as in
// "TENSION - Mar 07, 14.05.tdf".
QString
DefaultFileName(const QString& testString, qint64 secondsSinceEpoch, const QString& extension);
