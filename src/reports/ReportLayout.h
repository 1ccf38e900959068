#pragma once
#include "ReportData.h"
#include "ReportTemplate.h"

#include <QHash>
#include <QImage>
#include <functional>
#include <memory>
#include <vector>

namespace ccp::reports {

// One object placed on a page, in millimetres from the page's top left corner.
struct PlacedItem
{
    const Item *item = nullptr;  // look of the object; the page list keeps its template
    QRectF rect;
    QString text;                // text, bar-code data or image name
    bool pageCount = false;      // holds the page-count mark
};

struct LaidPage
{
    std::vector<PlacedItem> items;
};

// The pages of one run, laid out once; preview, printer and PDF draw from it.
struct PageList
{
    std::shared_ptr<const Template> tpl;
    std::vector<LaidPage> pages;
    QHash<QString, QImage> images;
    bool complete = false;

    int count() const { return int(pages.size()); }
    // The item's text with the page count filled in ("?" while the layout runs).
    QString text(const PlacedItem &p) const;
    // Every text of a page, top to bottom, for searches and checks.
    QStringList pageTexts(int page) const;
};

struct LayoutOptions
{
    // Called after every finished page; returning false stops the layout.
    std::function<bool(const PageList &pages)> onPage;
};

// Lays the report out into `out` (created by the caller, so it can be shown as it grows).
// A stop or a failure leaves the pages made so far, with complete = false.
Status layoutReport(const std::shared_ptr<const Template> &tpl, DataModule &data, PageList &out,
                    const LayoutOptions &options = {});

} // namespace ccp::reports
