#include "printer.h"

#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QPrinterInfo>

QString DefaultPrinter::DefaultPrinterName() {
    return QPrinterInfo::defaultPrinter().printerName();
}

DefaultPrinter::Result DefaultPrinter::PrintPicture(const QPicture& picture,
                                                    double pictureDpi,
                                                    const QString& documentName) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull() || info.printerName().isEmpty())
        return Result::NoPrinter;
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(documentName);
    QPainter painter;
    if (!painter.begin(&printer))
        return Result::Refused;
    painter.drawText(QPointF(0, painter.fontMetrics().ascent()), QStringLiteral(" "));
    // The picture at its own size. Played on the printer, a picture already
    // turns its own dots into the printer's; what is left is the difference
    // between the dots it was drawn in and its own.
    const double scale = picture.logicalDpiX() / pictureDpi;
    painter.scale(scale, scale);
    painter.drawPicture(0, 0, picture);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return Result::Refused;
    return Result::Printed;
}
