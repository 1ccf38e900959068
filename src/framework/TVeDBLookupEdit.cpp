#include "TVeDBLookupEdit.h"

#include "TfmVeSearch.h"
#include "VeMessageDlg.h"
#include "VeSql.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QToolButton>

namespace ccp::fw {

namespace {

QString unqualified(const QString &field)
{
    const int dot = field.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 ? field.mid(dot + 1) : field;
}

QVariant valueIn(const QVariantMap &row, const QString &field)
{
    const QString name = unqualified(field);
    for (auto it = row.cbegin(); it != row.cend(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value();
    return {};
}

} // namespace

TVeDBLookupEdit::TVeDBLookupEdit(QSqlDatabase db, QWidget *parent) : QWidget(parent), m_db(db)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_edit = new QLineEdit(this);
    m_button = new QToolButton(this);
    m_button->setText(QStringLiteral("..."));
    m_button->setToolTip(QStringLiteral("Cerca (F8)"));
    m_button->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    setFocusProxy(m_edit);
    setFocusPolicy(Qt::StrongFocus);
    m_edit->installEventFilter(this);
    connect(m_edit, &QLineEdit::textEdited, this, [this]() { m_typed = true; });
    connect(m_edit, &QLineEdit::returnPressed, this, [this]() { commitText(); });
    connect(m_button, &QToolButton::clicked, this, [this]() {
        if (isEditable())
            openSearch();
    });
}

TVeDBLookupEdit::~TVeDBLookupEdit() = default;

void TVeDBLookupEdit::setDescriptionField(const QString &field)
{
    m_descriptionField = field;
    if (!m_description) {
        m_description = new QLabel(this);
        m_description->setMinimumWidth(120);
        m_description->setFrameShape(QFrame::StyledPanel);
        // The code is short, the description takes the room.
        auto *box = static_cast<QHBoxLayout *>(layout());
        box->addWidget(m_description, 2);
    }
}

QString TVeDBLookupEdit::notFoundMessage(const QString &text)
{
    return QStringLiteral("Valore non trovato: \"%1\".\r\nPremere F8 per scegliere dall'elenco.").arg(text);
}

QString TVeDBLookupEdit::text() const { return m_edit->text(); }

QVariant TVeDBLookupEdit::rowValue(const QString &field) const { return valueIn(m_row, field); }

QString TVeDBLookupEdit::currentSelect() const { return OnSetSearchQuery ? OnSetSearchQuery() : m_select; }

QString TVeDBLookupEdit::keyName() const { return unqualified(m_keyField); }

QString TVeDBLookupEdit::keyExpression() const
{
    // A qualified key ("Tcc.iTccId") is its own expression; a bare name is looked up in the select.
    return m_keyField.contains(QLatin1Char('.')) ? m_keyField : VeSearch::expressionOf(currentSelect(), m_keyField);
}

QString TVeDBLookupEdit::listExpression() const
{
    if (!m_searchField.isEmpty())
        return m_searchField;
    return VeSearch::expressionOf(currentSelect(), m_listField);
}

ccp::Result<QList<QVariantMap>> TVeDBLookupEdit::rows(const SearchCondition &cond, int limit) const
{
    const QString sql = VeSql::fillWhere(currentSelect(), cond.sql);
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!q.prepare(sql))
        return ccp::Result<QList<QVariantMap>>::failure(q.lastError().text());
    for (const QString &name : VeSql::parameterNames(sql)) {
        QVariant v;
        bool found = false;
        for (const QVariantMap *m : {&cond.params, &m_params})
            for (auto it = m->cbegin(); !found && it != m->cend(); ++it)
                if (it.key().compare(name, Qt::CaseInsensitive) == 0) {
                    v = it.value();
                    found = true;
                }
        q.bindValue(QLatin1Char(':') + name, v);
    }
    if (!q.exec())
        return ccp::Result<QList<QVariantMap>>::failure(q.lastError().text());
    QList<QVariantMap> out;
    while (out.size() < limit && q.next()) {
        QVariantMap row;
        const QSqlRecord rec = q.record();
        for (int i = 0; i < rec.count(); ++i)
            row.insert(rec.fieldName(i), q.value(i));
        out << row;
    }
    return out;
}

void TVeDBLookupEdit::show(const QVariantMap &row)
{
    m_row = row;
    m_key = row.isEmpty() ? QVariant() : valueIn(row, m_keyField);
    m_edit->setText(row.isEmpty() ? QString() : valueIn(row, m_listField).toString());
    m_edit->setCursorPosition(0);
    if (m_description)
        m_description->setText(row.isEmpty() ? QString() : valueIn(row, m_descriptionField).toString());
    m_typed = false;
}

void TVeDBLookupEdit::restore()
{
    show(m_row);
}

void TVeDBLookupEdit::setFieldValue(const QVariant &value)
{
    if (value.isNull() || !value.isValid()) {
        show({});
        return;
    }
    if (!m_row.isEmpty() && valueIn(m_row, m_keyField) == value) {
        show(m_row);
        return;
    }
    const auto found = rows(VeSearch::equals(keyExpression(), value), 1);
    if (found.ok() && !found->isEmpty()) {
        show(found->first());
    } else {
        // A key that the select does not list (e.g. outside its filter): keep it, show it bare.
        show({});
        m_key = value;
        m_edit->setText(value.toString());
    }
}

bool TVeDBLookupEdit::take(const QVariantMap &row)
{
    const QVariant key = row.isEmpty() ? QVariant() : valueIn(row, m_keyField);
    if (OnValidate && !OnValidate(key, row)) {
        restore();
        return false;
    }
    const bool changed = key != m_key || (key.isNull() != m_key.isNull());
    show(row);
    if (changed) {
        notifyUserChange();
        Q_EMIT keyChanged(m_key);
        if (OnChangeFKValue)
            OnChangeFKValue();
    }
    return true;
}

bool TVeDBLookupEdit::chooseKey(const QVariant &key)
{
    if (key.isNull())
        return take({});
    const auto found = rows(VeSearch::equals(keyExpression(), key), 1);
    if (!found.ok()) {
        showError(found.error());
        return false;
    }
    if (found->isEmpty())
        return false;
    return take(found->first());
}

bool TVeDBLookupEdit::commitText()
{
    if (!m_typed || m_busy)
        return true;
    m_busy = true;
    const auto done = qScopeGuard([this]() { m_busy = false; });
    const QString typed = m_edit->text().trimmed();
    if (typed.isEmpty()) {
        m_typed = false;
        return take({});
    }
    // The exact text first, then the rows containing it.
    auto found = rows(VeSearch::equals(listExpression(), typed), 2);
    if (found.ok() && found->size() != 1) {
        SearchColumn c;
        c.field = m_listField;
        c.searchable = true;
        c.expression = listExpression();
        found = rows(VeSearch::contains(currentSelect(), {c}, typed), 2);
    }
    if (!found.ok()) {
        showError(found.error());
        restore();
        return false;
    }
    if (found->size() == 1) {
        m_typed = false;
        return take(found->first());
    }
    if (found->isEmpty()) {
        showError(notFoundMessage(typed));
        m_edit->setFocus();
        m_edit->selectAll();
        return false;
    }
    m_busy = false;
    if (openSearch())
        return true;
    restore();
    return false;
}

bool TVeDBLookupEdit::openSearch()
{
    if (m_busy)
        return false;
    m_busy = true;
    const auto done = qScopeGuard([this]() { m_busy = false; });
    std::unique_ptr<TfmVeSearch> form(CreateSearchForm ? CreateSearchForm(window()) : new TfmVeSearch(m_db, window()));
    form->setSelectText(currentSelect());
    form->setKeyField(keyName());
    for (auto it = m_params.cbegin(); it != m_params.cend(); ++it)
        form->setParam(it.key(), it.value());
    if (!m_title.isEmpty())
        form->setWindowTitle(m_title);
    if (!m_columns.isEmpty())
        form->setColumns(m_columns);
    if (m_width > 0)
        form->resize(m_width, form->height());
    if (OnShowSearchForm)
        OnShowSearchForm(*form);
    if (m_typed)
        form->searchEdit()->setText(m_edit->text().trimmed());
    if (!form->openList())
        return false;
    form->locateKey(m_key);
    if (form->exec() != QDialog::Accepted) {
        m_edit->setFocus();
        return false;
    }
    if (OnSearchFormClosed)
        OnSearchFormClosed(*form);
    m_busy = false;
    m_typed = false;
    const bool ok = take(form->chosenRow());
    m_edit->setFocus();
    return ok;
}

void TVeDBLookupEdit::applyEditable(bool editable)
{
    m_edit->setReadOnly(!editable);
    m_button->setEnabled(editable);
}

bool TVeDBLookupEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit) {
        if (event->type() == QEvent::ShortcutOverride) {
            // Esc with a typed text belongs to the edit, not to the frame's cancel action.
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Escape && m_typed) {
                event->accept();
                return true;
            }
        } else if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_F8 || (key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier))) {
                if (isEditable())
                    openSearch();
                return true;
            }
            if (key->key() == Qt::Key_Escape && m_typed) {
                // First Esc gives back the stored value; the next one reaches the frame.
                restore();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut && m_typed && !m_busy) {
            auto *fe = static_cast<QFocusEvent *>(event);
            if (fe->reason() != Qt::PopupFocusReason && fe->reason() != Qt::ActiveWindowFocusReason)
                QMetaObject::invokeMethod(this, [this]() { commitText(); }, Qt::QueuedConnection);
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ccp::fw
