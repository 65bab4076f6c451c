#pragma once

#include <QString>

class QPicture;

// The system's default printer, used without a printer dialog: no copies or
// page settings are asked for. Window thread.
class DefaultPrinter {
public:
    enum class Result { Printed, NoPrinter, Refused };

    // One page: a line holding a single blank starts the job, then
    // `picture`, drawn in dots of `pictureDpi`, follows at its own size with
    // its top-left corner at the page's origin (no scaling to the page). Its
    // texts stay texts on the page. `documentName` names the job.
    static Result
    PrintPicture(const QPicture& picture, double pictureDpi, const QString& documentName);
    // The name of the default printer, or empty when there is none.
    static QString DefaultPrinterName();
};
