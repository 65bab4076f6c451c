#pragma once

#include <QString>

bool FileExists(const QString& fileName);

// What the operator reads when a save or export of `fileName` failed: what
// failed and, as far as the file system tells, why. `what` is "saved" or
// "exported"; `existed` says whether a file of that name was there before,
// `oldFileKept` whether it still is as it was.
QString
WriteFailureText(const QString& fileName, const QString& what, bool existed, bool oldFileKept);

// What the operator reads when the test could not be written to `fileName`
// because a point does not convert; `reason` says which and why. Nothing was
// written.
QString ConversionFailureText(const QString& fileName, const QString& what, const QString& reason);
