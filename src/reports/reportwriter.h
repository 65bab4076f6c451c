#pragma once

#include "reports/reportcontent.h"

#include <QByteArray>
#include <QString>

// Lays out a report's pages and writes them as a PDF with Qt's own writer:
// on every page the header block (title, test, operator's fields) and "Page N
// of M"; on the first the chart, drawn as vectors from a per-column envelope
// of each curve at the page's resolution, so that its size follows the
// page and not the test's length; then the table, its columns dealt into
// groups that fit the page's width and its rows running on to further pages
// under their headings again. Text stays text, to be searched and copied.
// Portrait A4, or Letter where the locale measures in US units. Window thread.
class ReportWriter {
public:
    enum class PageSize { A4, Letter };

    explicit ReportWriter(const ReportContent& content, PageSize size = LocalePageSize());

    QByteArray pdf() const;
    // Writes the PDF through the replacing writer: a failure throws
    // FileWriteError and leaves a file that was there as it was.
    void write(const QString& fileName) const;

    static PageSize LocalePageSize();

private:
    const ReportContent& m_content;
    PageSize m_size;
};
