#pragma once

#include <QString>

// Where the operator help's start page is, seen from the folder that holds the
// program: beside it in help/ (the build tree), or in share/torvik/help under
// the installation prefix. The first that exists; the one beside the program
// when neither does, so the help viewer reports what is missing.
QString HelpStartPage(const QString& programFolder);
