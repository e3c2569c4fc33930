#pragma once
// Reads a printed listing back from its PDF with pdftotext, one page at a time, each page's
// non-empty lines with the page margin taken off, so that columns count from character 1.

#include <QFontMetricsF>
#include <QPrinter>
#include <QProcess>
#include <QString>
#include <QStringList>

#include "listingprinter.h"

namespace vardo::test {

// pdftotext's column width for the listing font: the font's character advance in points.
[[nodiscard]] inline QString ListingCharWidth()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QFontMetricsF metrics(ListingFont(), &printer);
    return QString::number(metrics.horizontalAdvance(QLatin1Char('-')) * 72.0 / printer.resolution(), 'f', 3);
}

// The text of a PDF laid out in fixed-pitch columns; empty when pdftotext fails.
[[nodiscard]] inline QString PdfLayoutText(const QString& file)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-fixed"),
                                                  ListingCharWidth(), file, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return QString();
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

// One page's non-empty lines, trailing blanks dropped, shifted left by the page margin (the
// heading's dash line starts at character 1).
[[nodiscard]] inline QStringList ListingPageLines(const QString& page)
{
    QStringList lines;
    for (const QString& line : page.split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            lines << line;
    qsizetype margin = 0;
    for (const QString& line : lines)
        if (line.trimmed().startsWith(QStringLiteral("--- ")))
            margin = line.indexOf(QLatin1Char('-'));
    for (QString& line : lines) {
        line = line.mid(margin);
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
    }
    return lines;
}

// Every page of a listing PDF as its lines; no pages when pdftotext gave nothing.
[[nodiscard]] inline QList<QStringList> ListingPdfPages(const QString& file)
{
    QList<QStringList> pages;
    for (const QString& page : PdfLayoutText(file).split(QLatin1Char('\f')))
        if (!page.trimmed().isEmpty())
            pages << ListingPageLines(page);
    return pages;
}

}  // namespace vardo::test
