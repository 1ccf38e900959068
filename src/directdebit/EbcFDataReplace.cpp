#include "EbcFDataReplace.h"
#include "TVeDBDateEdit.h"

#include "AbiUIBAN.h"
#include "EbcRDblLstAcbSelect.h"
#include "EbcUAluGen.h"
#include "SqlQuery.h"
#include "TVeWaitWindow.h"
#include "VeMessageDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QSqlRecord>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace ccp::directdebit {

namespace {

// The rows of a values query: key and the shown text, or every column for a grid.
Result<QList<QVariantList>> valueRows(const QSqlDatabase &db, const QString &sql, int *columns,
                                      QStringList *names = nullptr)
{
    SqlQuery q(db);
    if (auto s = q.prepare(sql); !s)
        return s;
    if (auto s = q.exec(); !s)
        return s;
    const QSqlRecord rec = q.raw().record();
    *columns = rec.count();
    if (names)
        for (int i = 0; i < rec.count(); ++i)
            *names << rec.fieldName(i);
    QList<QVariantList> rows;
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < *columns; ++i)
            row << q.value(i);
        rows << row;
    }
    return rows;
}

int indexOfName(const QStringList &names, const QString &name)
{
    for (int i = 0; i < names.size(); ++i)
        if (names[i].compare(name.section(u'.', -1).trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

} // namespace

TfmEbcDataReplace::TfmEbcDataReplace(QSqlDatabase db, int ansId, const QString &filterFolder, QWidget *parent)
    : fw::TVeWizard(QStringLiteral("Sostituzione dati"), parent), m_db(std::move(db)), m_ansId(ansId)
{
    setObjectName(QStringLiteral("TfmEbcDataReplace"));
    setWindowFlags(windowFlags() | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint);
    resize(1000, 620);

    lbFieldList = new QListWidget;
    lbFieldList->setObjectName(QStringLiteral("lbFieldList"));
    addPage(lbFieldList, QStringLiteral("Scegliere il dato da inserire o sostituire"));
    // A click or Enter on a field goes on to the records (once, also for a double click).
    for (auto signal : {&QListWidget::itemClicked, &QListWidget::itemActivated})
        connect(lbFieldList, signal, this, [this] {
            if (currentPage() == FieldPage)
                next();
        });

    frEbcDblLstAcbSelect1 = new TfrEbcDblLstAcbSelect(m_db);
    frEbcDblLstAcbSelect1->setObjectName(QStringLiteral("frEbcDblLstAcbSelect1"));
    frEbcDblLstAcbSelect1->setSelectText(AcbSql::selectionSelect(ansId));
    frEbcDblLstAcbSelect1->setFilterFolder(filterFolder);
    addPage(frEbcDblLstAcbSelect1, QStringLiteral("Scegliere gli alunni"));

    tsValues = new QWidget;
    tsValues->setObjectName(QStringLiteral("tsValues"));
    auto *valuesLayout = new QVBoxLayout(tsValues);
    lbChosen = new QLabel;
    QFont bold = lbChosen->font();
    bold.setBold(true);
    lbChosen->setFont(bold);
    valuesLayout->addWidget(lbChosen);
    auto *formHost = new QWidget;
    m_valuesForm = new QFormLayout(formHost);
    valuesLayout->addWidget(formHost);
    ckAny = new QCheckBox(QStringLiteral("&Qualunque valore"));
    ckAny->setObjectName(QStringLiteral("ckAny"));
    valuesLayout->addWidget(ckAny);
    valuesLayout->addStretch();
    addPage(tsValues, QStringLiteral("Indicare il valore da sostituire e quello da inserire"));
    connect(ckAny, &QCheckBox::toggled, this, [this](bool on) {
        if (edOld)
            edOld->setEnabled(!on);
    });
    edOld = nullptr;
    edNew = nullptr;
}

bool TfmEbcDataReplace::start()
{
    auto xml = readXmlDocument(m_db, QStringLiteral("EBCREPLACE"));
    if (!xml) {
        fw::showError(xml.error());
        return false;
    }
    auto fields = parseReplaceDefinition(xml.value());
    if (!fields) {
        fw::showError(fields.error());
        return false;
    }
    m_fields = fields.value();
    lbFieldList->clear();
    for (const ReplaceField &f : std::as_const(m_fields))
        lbFieldList->addItem(f.caption);
    if (lbFieldList->count() > 0)
        lbFieldList->setCurrentRow(0);
    if (auto s = frEbcDblLstAcbSelect1->fill(); !s)
        fw::showError(s.error());
    return true;
}

const ReplaceField *TfmEbcDataReplace::chosenField() const
{
    const int row = lbFieldList->currentRow();
    return row >= 0 && row < m_fields.size() ? &m_fields[row] : nullptr;
}

bool TfmEbcDataReplace::canLeavePage(int page, bool forward)
{
    if (page == FieldPage && forward && !chosenField()) {
        fw::showWarning(QStringLiteral("Scegliere il dato da inserire."));
        return false;
    }
    return fw::TVeWizard::canLeavePage(page, forward);
}

void TfmEbcDataReplace::pageShown(int page)
{
    if (page == ValuesPage)
        buildValues();
    fw::TVeWizard::pageShown(page);
}

void TfmEbcDataReplace::buildValues()
{
    const ReplaceField *field = chosenField();
    if (!field)
        return;
    while (m_valuesForm->rowCount() > 0)
        m_valuesForm->removeRow(0);
    lbChosen->setText(QStringLiteral("Dato scelto: ") + field->caption);
    edOld = makeEditor(*field, m_oldValue);
    edOld->setObjectName(QStringLiteral("edOld"));
    edNew = makeEditor(*field, m_newValue);
    edNew->setObjectName(QStringLiteral("edNew"));
    m_valuesForm->addRow(QStringLiteral("&Sostituire "), edOld);
    m_valuesForm->addRow(QStringLiteral("&Inserire "), edNew);
    edOld->setEnabled(!ckAny->isChecked());
    edOld->setFocus();
}

QWidget *TfmEbcDataReplace::makeEditor(const ReplaceField &field, std::function<QVariant()> &value)
{
    const QString type = field.type.trimmed().toLower();
    if (type == QLatin1String("enum") || type == QLatin1String("cxenum")) {
        auto *combo = new QComboBox;
        const bool grid = type == QLatin1String("cxenum");
        const QString sql = field.name.compare(QStringLiteral("iCauId"), Qt::CaseInsensitive) == 0
                                ? causaliValuesQuery(m_ansId)
                                : field.valuesQuery;
        int columns = 0;
        QStringList names;
        auto rows = valueRows(m_db, sql, &columns, &names);
        if (!rows) {
            fw::showError(rows.error());
            value = [] { return QVariant(); };
            return combo;
        }
        if (!grid) {
            combo->addItem(vuoto(), QVariant());
            for (const QVariantList &r : rows.value())
                combo->addItem(r.value(columns > 1 ? 1 : 0).toString(), r.value(0));
        } else {
            // A drop-down grid: the listed columns, the list field shown once chosen.
            QList<ReplaceListColumn> cols = field.listColumns;
            if (cols.isEmpty())
                for (const QString &n : std::as_const(names))
                    cols.append({n, n, 0});
            auto *model = new QStandardItemModel(0, int(cols.size()), combo);
            for (int c = 0; c < cols.size(); ++c)
                model->setHeaderData(c, Qt::Horizontal, cols[c].caption);
            const int key = qMax(0, indexOfName(names, field.keyFieldNames));
            int shown = 0;
            for (int c = 0; c < cols.size(); ++c)
                if (cols[c].fieldName.compare(field.listFieldNames, Qt::CaseInsensitive) == 0)
                    shown = c;
            for (const QVariantList &r : rows.value()) {
                QList<QStandardItem *> items;
                for (const ReplaceListColumn &c : std::as_const(cols)) {
                    auto *it = new QStandardItem(r.value(indexOfName(names, c.fieldName)).toString());
                    it->setData(r.value(key), Qt::UserRole);
                    items << it;
                }
                model->appendRow(items);
            }
            auto *view = new QTableView(combo);
            view->setSelectionBehavior(QAbstractItemView::SelectRows);
            view->verticalHeader()->hide();
            view->horizontalHeader()->setStretchLastSection(true);
            combo->setModel(model);
            combo->setView(view);
            combo->setModelColumn(shown);
            int width = 0;
            for (int c = 0; c < cols.size(); ++c) {
                view->setColumnWidth(c, qMax(cols[c].minWidth, 60));
                width += qMax(cols[c].minWidth, 60);
            }
            view->setMinimumWidth(width + 30);
        }
        combo->setMinimumWidth(320);
        value = [combo] { return combo->currentData(Qt::UserRole); };
        return combo;
    }
    if (type == QLatin1String("date")) {
        // Typed as every date of the program; accept() takes what is typed even before Enter.
        auto *edit = new fw::TVeDBDateEdit;
        edit->setDate(QDate::currentDate());
        value = [edit] { return edit->date().isValid() ? QVariant(edit->date()) : QVariant(); };
        return edit;
    }
    if (type == QLatin1String("boolean")) {
        auto *box = new QCheckBox;
        value = [box] { return QVariant(box->isChecked() ? QStringLiteral("1") : QStringLiteral("0")); };
        return box;
    }
    if (type == QLatin1String("integer")) {
        auto *spin = new QSpinBox;
        spin->setRange(-999999999, 999999999);
        value = [spin] { return QVariant(spin->value()); };
        return spin;
    }
    auto *edit = new QLineEdit;
    edit->setMinimumWidth(320);
    value = [edit] { return edit->text().isEmpty() ? QVariant() : QVariant(edit->text()); };
    return edit;
}

void TfmEbcDataReplace::accept()
{
    if (currentPage() != ValuesPage)
        return;
    const ReplaceField *field = chosenField();
    if (!field)
        return;
    // A date still being typed counts; an unreadable one is refused here, not written as empty.
    for (QWidget *editor : {edOld, edNew})
        if (auto *date = qobject_cast<fw::TVeDBDateEdit *>(editor); date && !date->commitText())
            return;
    // An IBAN written on hundreds of families must be a valid one.
    if (field->name.compare(QStringLiteral("sAcbIBan"), Qt::CaseInsensitive) == 0) {
        const QString iban = newValue().toString().trimmed();
        if (!iban.isEmpty() && !abiban::CheckIBAN(iban)) {
            fw::showError(AcbText::IbanInvalid);
            return;
        }
    }
    // A script that adds rows needs something to add.
    if (!field->insertScript.trimmed().isEmpty() && newValue().isNull()) {
        fw::showError(ReplaceText::NewValueRequired);
        edNew->setFocus();
        return;
    }
    if (fw::askYesNo(ReplaceText::Confirm))
        run();
    while (currentPage() != FieldPage && prior()) {
    }
    QDialog::accept();
}

bool TfmEbcDataReplace::run()
{
    const ReplaceField *field = chosenField();
    ReplaceRequest request;
    request.field = *field;
    request.any = ckAny->isChecked();
    request.oldValue = request.any ? QVariant() : oldValue();
    request.newValue = newValue();
    request.ids = frEbcDblLstAcbSelect1->selectedIds();
    if (field->name.compare(QStringLiteral("sAcbIBan"), Qt::CaseInsensitive) == 0 && request.newValue.isValid())
        request.newValue = request.newValue.toString().trimmed().toUpper();

    fw::TVeWaitWindow wait(QStringLiteral("Sostituzione dati"), QStringLiteral("Inserimento del dato in corso..."),
                           int(request.ids.size()), this);
    if (!request.ids.isEmpty())
        wait.showNow();
    auto count = runReplace(m_db, request, [&wait] { wait.step(); });
    wait.close();
    if (!count) {
        m_lastCount = 0;
        fw::showError(count.error());
        return false;
    }
    m_lastCount = count.value();
    fw::showInfo(ReplaceText::done(field->caption, m_lastCount));
    return true;
}

} // namespace ccp::directdebit
