// SPDX-License-Identifier: GPL-3.0-or-later
#include "listingprinter.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

namespace vardo {
namespace {

constexpr int kPointSize = 8;

[[nodiscard]] QFont Weighted(const QFont& regular, bool bold)
{
    QFont font = regular;
    font.setBold(bold);
    return font;
}

[[nodiscard]] qreal LineWidth(const ListingLine& line, const QFont& regular, QPaintDevice* device)
{
    qreal width = 0;
    for (const ListingSpan& span : line.spans)
        width += QFontMetricsF(Weighted(regular, span.bold), device).horizontalAdvance(span.text);
    return width;
}

// Shrinks a page that would not fit the paper (a long comment, a small sheet) so that nothing
// is cut off; a page that fits prints at its true size.
[[nodiscard]] qreal FitScale(const ListingPage& page, const QFont& regular, QPaintDevice* device,
                             const QSizeF& area)
{
    qreal width = 0;
    for (const ListingLine& line : page)
        width = std::max(width, LineWidth(line, regular, device));
    const qreal height = QFontMetricsF(regular, device).lineSpacing() * page.size();
    qreal scale = 1.0;
    if (width > area.width())
        scale = area.width() / width;
    if (height > area.height())
        scale = std::min(scale, area.height() / height);
    return scale;
}

void DrawPage(QPainter& painter, const ListingPage& page, const QSizeF& area)
{
    const QFont regular = ListingFont();
    QPaintDevice* device = painter.device();
    const QFontMetricsF metrics(regular, device);
    painter.save();
    const qreal scale = FitScale(page, regular, device, area);
    painter.scale(scale, scale);
    qreal y = metrics.ascent();
    for (const ListingLine& line : page) {
        qreal x = 0;
        for (const ListingSpan& span : line.spans) {
            const QFont font = Weighted(regular, span.bold);
            painter.setFont(font);
            painter.drawText(QPointF(x, y), span.text);
            x += QFontMetricsF(font, device).horizontalAdvance(span.text);
        }
        y += metrics.lineSpacing();
    }
    painter.restore();
}

[[nodiscard]] QString Target(const QPrinter& printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : printer.printerName();
}

[[nodiscard]] QString CannotStart(const QPrinter& printer)
{
    return QStringLiteral("The printer \"%1\" could not be started.\rNothing more was printed.").arg(Target(printer));
}

// A PDF printer that cannot write its file only says it could not start; trying the file
// first gives the reason (a missing or read-only folder, a folder in the file's place). A file
// made only for the try is removed again.
[[nodiscard]] std::optional<QString> PdfTargetProblem(const QPrinter& printer)
{
    if (printer.outputFormat() != QPrinter::PdfFormat)
        return std::nullopt;
    QFile target(printer.outputFileName());
    const bool existed = target.exists();
    if (!target.open(QIODevice::WriteOnly | QIODevice::Append))
        return QStringLiteral("The PDF file \"%1\" cannot be written: %2.\rNothing was printed.")
            .arg(QDir::toNativeSeparators(target.fileName()), target.errorString());
    target.close();
    if (!existed)
        target.remove();
    return std::nullopt;
}

[[nodiscard]] QString FailedOnPage(const QPrinter& printer, int page)
{
    return QStringLiteral("The printer \"%1\" reported an error on page %2.\rThe listing was not finished.")
        .arg(Target(printer))
        .arg(page);
}

[[nodiscard]] bool Failed(const QPrinter& printer)
{
    return printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted;
}

// Pages [first, last) as one document.
[[nodiscard]] std::optional<QString> PrintDocument(const Listing& listing, QPrinter& printer, qsizetype first,
                                                   qsizetype last)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return CannotStart(printer);
    const QSizeF area = printer.pageRect(QPrinter::DevicePixel).size();
    for (qsizetype i = first; i < last; ++i) {
        const int pageNumber = static_cast<int>(i) + 1;
        if ((i > first && !printer.newPage()) || Failed(printer)) {
            printer.abort();
            painter.end();
            return FailedOnPage(printer, pageNumber);
        }
        DrawPage(painter, listing[i], area);
    }
    if (!painter.end() || Failed(printer))
        return FailedOnPage(printer, static_cast<int>(last));
    return std::nullopt;
}

}  // namespace

QFont ListingFont()
{
    const QString courierNew = QStringLiteral("Courier New");
    QFont font = QFontDatabase::hasFamily(courierNew) ? QFont(courierNew)
                                                      : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(kPointSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setKerning(false);
    return font;
}

ListingJobs DefaultJobs(const QPrinter& printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat ? ListingJobs::OneDocument : ListingJobs::OnePerPage;
}

std::optional<QString> PrintListing(const Listing& listing, QPrinter& printer)
{
    return PrintListing(listing, printer, DefaultJobs(printer));
}

std::optional<QString> PrintListing(const Listing& listing, QPrinter& printer, ListingJobs jobs)
{
    if (auto problem = PdfTargetProblem(printer))
        return problem;
    if (jobs == ListingJobs::OneDocument)
        return PrintDocument(listing, printer, 0, listing.size());
    for (qsizetype i = 0; i < listing.size(); ++i)
        if (auto failure = PrintDocument(listing, printer, i, i + 1))
            return failure;
    return std::nullopt;
}

}  // namespace vardo
