#include "ReportXlsx.h"

#include "Money.h"
#include "ReportRender.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <xlsxwriter.h>

namespace ccp::reports {

Result<DataTable> mainData(const Template &tpl, DataModule &data)
{
    if (tpl.sections.empty())
        return Result<DataTable>::failure(QStringLiteral("La stampa \"%1\" non ha righe da esportare.").arg(tpl.title));
    return data.open(tpl.sections.front().dataSet.toLower(), {});
}

namespace {

enum class Kind { Money, Date, Integer, Text };

// Column kinds follow the names' type letter (fImporto, dData, iId, lTipo, sDesc).
Kind kindOf(const QString &column)
{
    const QChar c = column.isEmpty() ? QChar() : column.front().toLower();
    const bool typed = column.size() > 1 && column[1].isUpper();
    if (c == u'f' && typed)
        return Kind::Money;
    if (c == u'd' && typed)
        return Kind::Date;
    if ((c == u'i' || c == u'l') && typed)
        return Kind::Integer;
    return Kind::Text;
}

} // namespace

Status writeXlsx(const DataTable &table, const QString &file, const QString &sheet)
{
    const QString temp = file + QStringLiteral(".part");
    const QByteArray path = QFile::encodeName(temp);
    lxw_workbook *book = workbook_new(path.constData());
    if (!book)
        return Status::failure(QStringLiteral("Impossibile creare il file %1.").arg(file));
    QString name = sheet.left(31);
    for (const QChar bad : {u'[', u']', u':', u'*', u'?', u'/', u'\\'})
        name.replace(bad, u' ');
    const QByteArray sheetName = name.toUtf8();
    lxw_worksheet *ws = workbook_add_worksheet(book, name.isEmpty() ? nullptr : sheetName.constData());
    lxw_format *bold = workbook_add_format(book);
    format_set_bold(bold);
    lxw_format *money = workbook_add_format(book);
    format_set_num_format(money, "#,##0.00");
    lxw_format *date = workbook_add_format(book);
    format_set_num_format(date, "dd/mm/yyyy");

    std::vector<Kind> kinds;
    for (int c = 0; c < table.columns().size(); ++c) {
        kinds.push_back(kindOf(table.columns()[c]));
        worksheet_write_string(ws, 0, lxw_col_t(c), table.columns()[c].toUtf8().constData(), bold);
        worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), kinds.back() == Kind::Text ? 30 : 14, nullptr);
    }
    for (int r = 0; r < table.rowCount(); ++r) {
        const auto row = lxw_row_t(r + 1);
        for (int c = 0; c < table.columns().size(); ++c) {
            const QVariant &v = table.value(r, c);
            if (v.isNull() || !v.isValid())
                continue;
            const auto col = lxw_col_t(c);
            switch (kinds[size_t(c)]) {
            case Kind::Money: {
                // A name that only looks like an amount's keeps its text.
                bool ok = v.typeId() != QMetaType::QString;
                if (!ok)
                    Money::fromSqlText(v.toString(), &ok);
                if (!ok) {
                    worksheet_write_string(ws, row, col, v.toString().toUtf8().constData(), nullptr);
                    break;
                }
                // The sheet keeps numbers as binary floating point; the amount is rounded to the cent first.
                const qint64 cents = Money::fromVariant(v).cents();
                worksheet_write_number(ws, row, col, double(cents) / 100.0, money);
                break;
            }
            case Kind::Date: {
                const QDate d = v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
                if (d.isValid()) {
                    lxw_datetime dt = {d.year(), d.month(), d.day(), 0, 0, 0};
                    worksheet_write_datetime(ws, row, col, &dt, date);
                } else {
                    worksheet_write_string(ws, row, col, v.toString().toUtf8().constData(), nullptr);
                }
                break;
            }
            case Kind::Integer: {
                bool ok = false;
                const qlonglong n = v.toLongLong(&ok);
                if (ok)
                    worksheet_write_number(ws, row, col, double(n), nullptr);
                else
                    worksheet_write_string(ws, row, col, v.toString().toUtf8().constData(), nullptr);
                break;
            }
            case Kind::Text:
                worksheet_write_string(ws, row, col, v.toString().toUtf8().constData(), nullptr);
                break;
            }
        }
    }
    if (workbook_close(book) != LXW_NO_ERROR) {
        QFile::remove(temp);
        return Status::failure(QStringLiteral("Impossibile scrivere il file %1.").arg(file));
    }
    return placeFile(temp, file);
}

} // namespace ccp::reports
