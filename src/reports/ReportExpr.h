#pragma once
#include "Result.h"

#include <QString>
#include <QVariant>
#include <vector>

namespace ccp::reports {

enum class Format { Plain, Money, Date, Integer };

// One piece of a template text: literal text or a bracketed value.
//   [frd."sCauLDesc"]  field of the current row of a data set
//   [Anno scolastico]  variable answered by the report's data module
//   [SUM(frd."fImporto")], [COUNT(frd)], [RUNSUM(frd."fImporto")]  sums and counts
//   [PAGE], [PAGES], [DATE]  page number, page count, print date
//   [GETCOUNTXTCC(frd."iTccId", 1)]  function answered by the data module
// A value may carry its format after a bar: [frd."dMvmDataMov"|date].
struct Segment
{
    enum Kind { Literal, Field, Variable, Sum, Count, RunSum, Page, Pages, PrintDate, Call };
    Kind kind = Literal;
    QString text;      // literal text, variable or function name
    QString dataSet;   // lower case
    QString field;     // as written
    QString fieldKey;  // lower case
    std::vector<Segment> args;
    Format format = Format::Plain;
    bool isAggregate() const { return kind == Sum || kind == Count || kind == RunSum; }
};

struct Expr
{
    QString source;
    std::vector<Segment> segments;
    bool empty() const { return segments.empty(); }
    bool usesPageCount() const;
};

// `format` is the default format of the values of the text (the item's own).
Result<Expr> compileExpr(const QString &text, Format format = Format::Plain);
Result<Format> parseFormat(const QString &name);

// Values of one evaluation; a failure is kept in `error` and ends the report.
class EvalContext
{
public:
    virtual ~EvalContext() = default;
    virtual QVariant field(const Segment &s) = 0;
    virtual QVariant variable(const QString &name) = 0;
    virtual QVariant aggregate(const Segment &s) = 0;
    virtual QVariant call(const QString &name, const QVariantList &args) = 0;
    virtual int pageNumber() const = 0;
    QString error;
};

// Placeholder of the page count in laid-out text, replaced when the count is known.
inline constexpr QChar PageCountMark = QChar(0x0001);

QString evaluateText(const Expr &e, EvalContext &ctx);
// The value of a one-segment expression as it stands (group keys, visibility).
QVariant evaluateValue(const Expr &e, EvalContext &ctx);
// Visibility: an empty expression is true; false, 0, an empty text and null are false.
bool evaluateFlag(const Expr &e, EvalContext &ctx);

// "1.234,50" for money ("#,###.00", through Money only), dd/MM/yyyy for dates, plain integers.
QString formatValue(const QVariant &v, Format f);

} // namespace ccp::reports
