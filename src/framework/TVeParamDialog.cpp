#include "TVeParamDialog.h"

#include "TVeDBCurrencyEdit.h"
#include "TVeDBDateEdit.h"
#include "VeMessageDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace ccp::fw {

TVeParamDialog::TVeParamDialog(TVeParamManager &manager, QWidget *parent)
    : TVeDialog(QStringLiteral("Parametri"), parent), m_manager(manager)
{
    auto *row = new QHBoxLayout;
    m_categories = new QListWidget(this);
    m_pages = new QStackedWidget(this);
    row->addWidget(m_categories);
    row->addWidget(m_pages, 1);
    contentLayout()->addLayout(row);

    for (const QString &category : m_manager.categories()) {
        auto *page = new QWidget(m_pages);
        auto *form = new QFormLayout(page);
        form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
        bool any = false;
        for (const ParamDef &def : m_manager.definitionsOf(category)) {
            if (m_manager.BeforeCreateCtrl && !m_manager.BeforeCreateCtrl(def))
                continue;
            QWidget *c = createControl(def, page);
            m_controls.insert(def.key.toUpper(), c);
            m_created << def;
            if (def.kind == ParamKind::Hidden || def.kind == ParamKind::Check) {
                form->addRow(QString(), c);
                c->setVisible(def.kind != ParamKind::Hidden);
            } else {
                auto *label = new QLabel(def.caption, page);
                label->setBuddy(c);
                form->addRow(label, c);
            }
            any = any || def.kind != ParamKind::Hidden;
        }
        m_pages->addWidget(page);
        auto *item = new QListWidgetItem(categoryCaption(category), m_categories);
        item->setData(Qt::UserRole, category);
        item->setHidden(!any);
    }
    // The category list is as wide as its longest caption: no sideways scrolling.
    m_categories->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_categories->setFixedWidth(qMin(260, m_categories->sizeHintForColumn(0) + 2 * m_categories->frameWidth() + 12));
    // Values are read once every control exists: the owner's handlers may look at others.
    for (const ParamDef &def : std::as_const(m_created)) {
        QWidget *c = m_controls.value(def.key.toUpper());
        const QString stored = m_manager.value(def.key);
        if (!m_manager.ReadParam || !m_manager.ReadParam(def, stored, c))
            readDefault(def, stored, c);
    }
    for (const ParamDef &def : std::as_const(m_created))
        if (m_manager.AfterCreateCtrl)
            m_manager.AfterCreateCtrl(def, m_controls.value(def.key.toUpper()));

    connect(m_categories, &QListWidget::currentRowChanged, m_pages, &QStackedWidget::setCurrentIndex);
    for (int i = 0; i < m_categories->count(); ++i)
        if (!m_categories->item(i)->isHidden()) {
            m_categories->setCurrentRow(i);
            break;
        }
    resize(640, 420);
}

QWidget *TVeParamDialog::createControl(const ParamDef &def, QWidget *parent)
{
    QWidget *c = nullptr;
    switch (def.kind) {
    case ParamKind::Text:
    case ParamKind::Hidden:
        c = new QLineEdit(parent);
        break;
    case ParamKind::Integer: {
        auto *e = new QLineEdit(parent);
        e->setValidator(new QIntValidator(e));
        c = e;
        break;
    }
    case ParamKind::Money:
        c = new TVeDBCurrencyEdit(parent);
        break;
    case ParamKind::Date:
        c = new TVeDBDateEdit(parent);
        break;
    case ParamKind::Check:
        c = new QCheckBox(def.caption, parent);
        break;
    case ParamKind::List:
    case ParamKind::Institute:
    case ParamKind::SchoolYear: {
        auto *box = new QComboBox(parent);
        for (const ParamChoice &choice : m_manager.choices(def))
            box->addItem(choice.text, choice.id);
        box->setCurrentIndex(-1);
        c = box;
        break;
    }
    }
    c->setObjectName(def.key);
    return c;
}

void TVeParamDialog::readDefault(const ParamDef &def, const QString &stored, QWidget *control)
{
    if (auto *box = qobject_cast<QComboBox *>(control)) {
        int found = -1;
        for (int i = 0; i < box->count() && !stored.isEmpty(); ++i)
            if (box->itemData(i).toString() == stored)
                found = i;
        box->setCurrentIndex(found);
    } else if (auto *check = qobject_cast<QCheckBox *>(control)) {
        check->setChecked(stored.trimmed() == QStringLiteral("1"));
    } else if (auto *amount = qobject_cast<TVeDBCurrencyEdit *>(control)) {
        if (stored.isEmpty())
            amount->clearValue();
        else
            amount->setMoney(Money::fromSqlText(stored));
    } else if (auto *date = qobject_cast<TVeDBDateEdit *>(control)) {
        date->setDate(QDate::fromString(stored, Qt::ISODate));
    } else if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        edit->setText(stored);
    }
    Q_UNUSED(def);
}

QString TVeParamDialog::writeDefault(const ParamDef &def, QWidget *control)
{
    Q_UNUSED(def);
    if (auto *box = qobject_cast<QComboBox *>(control))
        return box->currentIndex() >= 0 ? box->currentData().toString() : QStringLiteral("0");
    if (auto *check = qobject_cast<QCheckBox *>(control))
        return check->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (auto *amount = qobject_cast<TVeDBCurrencyEdit *>(control))
        return amount->isEmpty() ? QString() : amount->money().toSql();
    if (auto *date = qobject_cast<TVeDBDateEdit *>(control))
        return date->date().isValid() ? date->date().toString(Qt::ISODate) : QString();
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return edit->text();
    return {};
}

QString TVeParamDialog::categoryCaption(const QString &category)
{
    // Categories named by a program key ("EBCC_Movimenti") show the words after the prefix.
    static const QRegularExpression key(QStringLiteral("^[A-Z]{2,5}C_(\\w+)$"));
    const auto m = key.match(category);
    return m.hasMatch() ? m.captured(1).replace(u'_', u' ') : category;
}

QWidget *TVeParamDialog::control(const QString &key) const { return m_controls.value(key.toUpper()); }

QStringList TVeParamDialog::categories() const
{
    QStringList out;
    for (int i = 0; i < m_categories->count(); ++i)
        if (!m_categories->item(i)->isHidden())
            out << m_categories->item(i)->data(Qt::UserRole).toString();
    return out;
}

void TVeParamDialog::showCategory(const QString &category)
{
    for (int i = 0; i < m_categories->count(); ++i)
        if (m_categories->item(i)->data(Qt::UserRole).toString() == category)
            m_categories->setCurrentRow(i);
}

void TVeParamDialog::refillList(const QString &key)
{
    auto *box = qobject_cast<QComboBox *>(control(key));
    const ParamDef *def = m_manager.definition(key);
    if (!box || !def)
        return;
    const QVariant chosen = box->currentIndex() >= 0 ? box->currentData() : QVariant();
    const QSignalBlocker block(box);
    box->clear();
    for (const ParamChoice &choice : m_manager.choices(*def))
        box->addItem(choice.text, choice.id);
    box->setCurrentIndex(chosen.isValid() ? box->findData(chosen) : -1);
}

QList<std::pair<QString, QString>> TVeParamDialog::values() const
{
    QList<std::pair<QString, QString>> out;
    for (const ParamDef &def : m_created) {
        QWidget *c = m_controls.value(def.key.toUpper());
        QString stored;
        if (!m_manager.WriteParam || !m_manager.WriteParam(def, c, stored))
            stored = writeDefault(def, c);
        out << std::make_pair(def.key, stored);
    }
    return out;
}

bool TVeParamDialog::validate()
{
    // A date half typed is refused where it is.
    for (QWidget *c : std::as_const(m_controls))
        if (auto *date = qobject_cast<TVeDBDateEdit *>(c); date && !date->commitText())
            return false;
    const Status s = m_manager.setValues(values());
    if (!s.ok()) {
        showError(s.error());
        return false;
    }
    return true;
}

void TVeParamDialog::install()
{
    TVeParamManager::setDialogRunner([](TVeParamManager &manager) {
        TVeParamDialog dialog(manager, QApplication::activeWindow());
        return dialog.exec() == QDialog::Accepted;
    });
}

} // namespace ccp::fw
