#pragma once
#include "ReportExpr.h"
#include "Result.h"

#include <QColor>
#include <QRectF>
#include <QString>
#include <memory>
#include <vector>

namespace ccp::reports {

enum class ItemKind { Text, Line, Box, Image, BarCode };
enum class HAlign { Left, Center, Right };

// One drawn object of a band; positions in millimetres from the band's top left corner.
struct Item
{
    ItemKind kind = ItemKind::Text;
    QRectF rect;           // for a line: from topLeft to bottomRight
    Expr text;             // text, bar-code data, image name
    Expr visible;          // empty: always shown
    HAlign align = HAlign::Left;
    bool wrap = false;
    bool bold = false;
    bool italic = false;
    double fontSize = 9;   // points
    double lineWidth = 0.2;  // millimetres
    bool frame = false;    // text: a thin box around it
    QColor fill;           // box or text background; invalid: none
};

struct Band
{
    double height = 0;  // millimetres; 0: no band
    std::vector<Item> items;
    Expr visible;
    bool present() const { return height > 0 || !items.empty(); }
};

struct Group
{
    Expr key;  // the value whose change closes the group
    Band header;
    Band footer;
};

// Rows of one data set; nested sections are opened again for every row of their master.
struct Section
{
    QString dataSet;
    bool pageBreak = false;  // every row after the first starts a new page
    Band columnHeader;  // repeated at the top of every page the section runs on
    std::vector<Group> groups;
    Band detail;
    std::vector<Section> children;
    Band footer;        // after the rows of one opening
    Band empty;         // instead of the rows when there are none
};

struct PageSetup
{
    bool landscape = false;
    double left = 15, top = 12, right = 15, bottom = 12;  // margins, millimetres
    double width() const { return landscape ? 297 : 210; }
    double height() const { return landscape ? 210 : 297; }
};

struct Template
{
    int id = 0;
    QString title;
    QString subject;
    QString fontFamily = QStringLiteral("DejaVu Sans");
    PageSetup page;
    Band title_;        // first page, below the page header
    Band pageHeader;
    Band pageFooter;
    Band summary;       // after every section
    std::vector<Section> sections;
    QStringList headerData;  // opened once before the first page; their first row is seen everywhere
    QStringList dataSets() const;  // every data set named, outer first
};

// Reads a template from its XML text; errors name the line.
Result<std::shared_ptr<const Template>> parseTemplate(const QString &xml);

} // namespace ccp::reports
