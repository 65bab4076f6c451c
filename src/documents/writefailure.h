#pragma once

#include <QString>

bool FileExists(const QString& fileName);

// What the operator reads when a save or export of `fileName` failed: what
// failed and, as far as the file system tells, why. `what` is "saved" or
// "exported"; `existed` says whether a file of that name was there before,
// `oldFileKept` whether it still is as it was.
QString
WriteFailureText(const QString& fileName, const QString& what, bool existed, bool oldFileKept);
