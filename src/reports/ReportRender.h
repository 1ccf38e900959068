#pragma once
#include "ReportLayout.h"

#include <QImage>
#include <QPainter>
#include <QPagedPaintDevice>
#include <functional>

namespace ccp::reports {

// Draws one laid-out page; the painter's origin is the paper's corner, `dotsPerMm` its scale.
void paintPage(QPainter &painter, const PageList &pages, int index, double dotsPerMm);

// One page as an image at `dpi` (preview, checks of bar codes).
QImage renderPage(const PageList &pages, int index, double dpi);

struct PdfInfo
{
    QString title;
    QString author;
    QString subject;
};

// Writes pages [from, to] (all when to < 0) to a paged device: printer or PDF writer.
// `progress` gets each page drawn and may stop the run by returning false.
Status paintPages(QPagedPaintDevice &device, const PageList &pages, int from = 0, int to = -1,
                  const std::function<bool(int page)> &progress = {});

// Writes the whole page list to a PDF file with its title, author and subject.
Status writePdf(const PageList &pages, const QString &file, const PdfInfo &info);

// Puts the finished `temp` in place of `file` in one step, so a reader never meets half a
// file and a failure leaves the previous one; `temp` is removed when it cannot be placed.
Status placeFile(const QString &temp, const QString &file);

// Bar modules of a Code 128 symbol as rectangles in a unit box (0..1 both ways); empty when
// the text cannot be encoded.
std::vector<QRectF> code128Bars(const QString &data);

} // namespace ccp::reports
