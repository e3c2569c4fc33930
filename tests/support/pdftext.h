// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads a printed listing back from its PDF with pdftotext.

#include <QFontMetricsF>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include "listingprinter.h"

namespace vardo::test {

// pdftotext's output for the file with the given options; empty when it fails.
[[nodiscard]] inline QString PdfText(const QString& file, const QStringList& options)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), options + QStringList{file, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return QString();
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

// Every page of a listing PDF as its non-empty lines in columns of the listing font's character
// advance, the margin taken off so that columns count from 1; no pages when pdftotext gave nothing.
[[nodiscard]] inline QList<QStringList> ListingPdfPages(const QString& file)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const qreal advance = QFontMetricsF(ListingFont(), &printer).horizontalAdvance(QLatin1Char('-'));
    const QString width = QString::number(advance * 72.0 / printer.resolution(), 'f', 3);
    QList<QStringList> pages;
    for (const QString& page : PdfText(file, {"-layout", "-fixed", width}).split(QLatin1Char('\f'))) {
        QStringList lines;
        qsizetype margin = 0;  // the heading's dash line starts on character 1
        for (const QString& line : page.split(QLatin1Char('\n'))) {
            if (line.trimmed().isEmpty())
                continue;
            lines << line;
            if (line.trimmed().startsWith(QStringLiteral("--- ")))
                margin = line.indexOf(QLatin1Char('-'));
        }
        for (QString& line : lines)
            line = line.mid(margin).remove(QRegularExpression(QStringLiteral(" +$")));
        if (!lines.isEmpty())
            pages << lines;
    }
    return pages;
}

}  // namespace vardo::test
