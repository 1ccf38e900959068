#include "TfrVeFilter.h"

#include "VeMessageDlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace ccp::fw {

TfrVeFilter::TfrVeFilter(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    auto *area = new QScrollArea(this);
    area->setWidgetResizable(true);
    auto *inner = new QWidget(area);
    auto *innerLayout = new QVBoxLayout(inner);
    m_grid = new QGridLayout;
    innerLayout->addLayout(m_grid);
    innerLayout->addStretch(1);
    area->setWidget(inner);
    layout->addWidget(area, 1);

    auto *buttons = new QHBoxLayout;
    m_add = new QPushButton(QStringLiteral("&Aggiungi condizione"), this);
    m_clear = new QPushButton(QStringLiteral("&Togli tutte"), this);
    buttons->addWidget(m_add);
    buttons->addWidget(m_clear);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    m_preview = new QLabel(this);
    m_preview->setWordWrap(true);
    m_preview->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_preview);
    connect(m_add, &QPushButton::clicked, this, &TfrVeFilter::addCondition);
    connect(m_clear, &QPushButton::clicked, this, &TfrVeFilter::clearConditions);
    updatePreview();
}

void TfrVeFilter::setDefinition(const FilterDefinition &definition)
{
    m_definition = definition;
    clearConditions();
}

void TfrVeFilter::addCondition()
{
    QWidget *host = m_grid->parentWidget();
    RowWidgets r;
    r.join = new QComboBox(host);
    r.join->addItem(QStringLiteral("E"), false);
    r.join->addItem(QStringLiteral("O"), true);
    r.field = new QComboBox(host);
    for (const FilterField &f : std::as_const(m_definition.fields))
        r.field->addItem(f.caption, f.name);
    r.op = new QComboBox(host);
    r.value = new QLineEdit(host);
    r.remove = new QPushButton(QStringLiteral("Togli"), host);
    r.remove->setAutoDefault(false);
    m_rows << r;
    const int index = int(m_rows.size()) - 1;
    fillOperators(index);
    connect(r.field, &QComboBox::currentIndexChanged, this, [this, field = r.field]() {
        for (int i = 0; i < m_rows.size(); ++i)
            if (m_rows[i].field == field)
                fillOperators(i);
        updatePreview();
    });
    connect(r.op, &QComboBox::currentIndexChanged, this, [this, r]() {
        const auto op = FilterOperator(r.op->currentData().toInt());
        r.value->setEnabled(op != FilterOperator::IsEmpty && op != FilterOperator::IsNotEmpty);
        updatePreview();
    });
    connect(r.join, &QComboBox::currentIndexChanged, this, &TfrVeFilter::updatePreview);
    connect(r.value, &QLineEdit::textChanged, this, &TfrVeFilter::updatePreview);
    connect(r.remove, &QPushButton::clicked, this, [this, button = r.remove]() {
        for (int i = 0; i < m_rows.size(); ++i)
            if (m_rows[i].remove == button) {
                removeCondition(i);
                return;
            }
    });
    relayout();
    r.field->setFocus();
    updatePreview();
}

void TfrVeFilter::fillOperators(int index)
{
    RowWidgets &r = m_rows[index];
    const FilterField *f = m_definition.field(r.field->currentData().toString());
    const QSignalBlocker block(r.op);
    const QVariant previous = r.op->currentData();
    r.op->clear();
    for (FilterOperator op : TVeFilter::operatorsFor(f ? f->type : FilterFieldType::Text))
        r.op->addItem(TVeFilter::operatorCaption(op), int(op));
    const int keep = previous.isValid() ? r.op->findData(previous) : -1;
    r.op->setCurrentIndex(keep >= 0 ? keep : 0);
}

void TfrVeFilter::removeCondition(int index)
{
    if (index < 0 || index >= m_rows.size())
        return;
    const RowWidgets r = m_rows.takeAt(index);
    for (QWidget *w : {static_cast<QWidget *>(r.join), static_cast<QWidget *>(r.field),
                       static_cast<QWidget *>(r.op), static_cast<QWidget *>(r.value),
                       static_cast<QWidget *>(r.remove)})
        w->deleteLater();
    relayout();
    updatePreview();
}

void TfrVeFilter::clearConditions()
{
    while (!m_rows.isEmpty())
        removeCondition(int(m_rows.size()) - 1);
    updatePreview();
}

void TfrVeFilter::relayout()
{
    for (int i = 0; i < m_rows.size(); ++i) {
        const RowWidgets &r = m_rows[i];
        m_grid->addWidget(r.join, i, 0);
        m_grid->addWidget(r.field, i, 1);
        m_grid->addWidget(r.op, i, 2);
        m_grid->addWidget(r.value, i, 3);
        m_grid->addWidget(r.remove, i, 4);
        // The first condition joins nothing.
        r.join->setVisible(i > 0);
        // Tab runs along each row, then to the next one.
        if (i > 0)
            setTabOrder(m_rows[i - 1].remove, r.join);
        setTabOrder(r.join, r.field);
        setTabOrder(r.field, r.op);
        setTabOrder(r.op, r.value);
        setTabOrder(r.value, r.remove);
    }
    m_grid->setColumnStretch(3, 1);
}

TVeFilter TfrVeFilter::filter() const
{
    TVeFilter f;
    for (int i = 0; i < m_rows.size(); ++i) {
        const RowWidgets &r = m_rows[i];
        FilterCondition c;
        c.field = r.field->currentData().toString();
        c.op = FilterOperator(r.op->currentData().toInt());
        c.value = r.value->text();
        c.orWithPrevious = i > 0 && r.join->currentData().toBool();
        f.conditions << c;
    }
    return f;
}

void TfrVeFilter::setFilter(const TVeFilter &filter)
{
    clearConditions();
    for (const FilterCondition &c : filter.conditions) {
        addCondition();
        RowWidgets &r = m_rows.last();
        r.field->setCurrentIndex(r.field->findData(c.field, Qt::UserRole, Qt::MatchFixedString));
        fillOperators(int(m_rows.size()) - 1);
        r.op->setCurrentIndex(r.op->findData(int(c.op)));
        r.value->setText(c.value);
        r.join->setCurrentIndex(c.orWithPrevious ? 1 : 0);
    }
    updatePreview();
}

Result<QString> TfrVeFilter::condition() const { return filter().toSql(m_definition); }

void TfrVeFilter::updatePreview()
{
    const Result<QString> sql = condition();
    if (!sql.ok())
        m_preview->setText(sql.error());
    else if (sql->isEmpty())
        m_preview->setText(QStringLiteral("Nessuna condizione: sono mostrate tutte le righe."));
    else
        m_preview->setText(QString());
    m_clear->setEnabled(!m_rows.isEmpty());
    Q_EMIT changed();
}

Status TfrVeFilter::saveTo(const QString &path) const { return filter().saveToFile(path); }

Status TfrVeFilter::loadFrom(const QString &path)
{
    const Result<TVeFilter> f = TVeFilter::loadFromFile(path);
    if (!f.ok())
        return f.status();
    setFilter(*f);
    return {};
}

TfmVeFilter::TfmVeFilter(QWidget *parent) : TVeDialog(QStringLiteral("Filtro"), parent)
{
    m_frame = new TfrVeFilter(this);
    contentLayout()->addWidget(m_frame);
    resize(640, 320);
}

bool TfmVeFilter::validate()
{
    const Result<QString> sql = m_frame->condition();
    if (!sql.ok()) {
        showError(sql.error());
        return false;
    }
    return true;
}

} // namespace ccp::fw
