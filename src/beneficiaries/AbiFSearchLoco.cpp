#include "AbiFSearchLoco.h"

#include "AbiMCom.h"
#include "AbiURegister.h"
#include "SqlQuery.h"
#include "TVeDBLookupEdit.h"
#include "TVeLaunchers.h"
#include "TVeQueryCollection.h"
#include "VeMessageDlg.h"

#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace ccp::ben {

TfmSearchLoco::TfmSearchLoco(QSqlDatabase db, QWidget *parent) : fw::TfmVeSearch(db, parent)
{
    setObjectName(QStringLiteral("TfmSearchLoco"));
    setWindowTitle(QStringLiteral("Comuni"));
    auto *label = new QLabel(QStringLiteral("&Stato"), this);
    m_states = new QComboBox(this);
    m_states->setObjectName(QStringLiteral("cbStato"));
    m_states->setMinimumWidth(260);
    label->setBuddy(m_states);
    m_towns = new QPushButton(QStringLiteral("Comuni &esteri..."), this);
    m_towns->setObjectName(QStringLiteral("btnComEsteri"));
    m_towns->setAutoDefault(false);
    topArea()->addWidget(label);
    topArea()->addWidget(m_states, 1);
    topArea()->addWidget(m_towns);
    fillStates();
    connect(m_states, &QComboBox::activated, this, [this](int index) { setStateId(m_states->itemData(index).toInt()); });
    connect(m_towns, &QPushButton::clicked, this, &TfmSearchLoco::editTowns);
    m_towns->setEnabled(fw::TVeFormRegistry::instance().contains(QStringLiteral("TfmComEsteri")));
    OnEditTowns = [this] {
        std::unique_ptr<QWidget> w(fw::TVeFormRegistry::instance().create(QStringLiteral("TfmComEsteri"), this));
        if (auto *d = qobject_cast<QDialog *>(w.get()))
            d->exec();
    };
}

void TfmSearchLoco::fillStates()
{
    m_states->clear();
    m_states->addItem(QStringLiteral("(tutti gli stati)"), AllStates);
    SqlQuery q(collection()->database());
    if (!q.exec(QStringLiteral(" SELECT TSTA_STATI.ISTAID, TSTA_STATI.SSTALDESC FROM TSTA_STATI ORDER BY TSTA_STATI.SSTALDESC")).ok())
        return;
    while (q.next())
        m_states->addItem(q.value(1).toString(), q.value(0).toInt());
}

void TfmSearchLoco::setStateId(int staId)
{
    const int index = m_states->findData(staId);
    m_state = index >= 0 ? staId : AllStates;
    m_states->setCurrentIndex(qMax(0, index));
    if (!collection()->isOpen())
        return;
    collection()->close();
    if (openList())
        collection()->fetchAll();
}

fw::SearchCondition TfmSearchLoco::searchCondition(const QString &text) const
{
    fw::SearchCondition c = fw::TfmVeSearch::searchCondition(text);
    if (m_state == AllStates)
        return c;
    c.sql = QStringLiteral("(%1 AND (%2 = :ISTAID))")
                .arg(c.sql, fw::VeSearch::expressionOf(collection()->selectText(), QStringLiteral("ISTAID")));
    c.params.insert(QStringLiteral("ISTAID"), m_state);
    return c;
}

void TfmSearchLoco::showEvent(QShowEvent *event)
{
    fw::TfmVeSearch::showEvent(event);
    // A whole state is a few thousand rows at most: read them all, the scroll bar tells the truth.
    collection()->fetchAll();
}

void TfmSearchLoco::editTowns()
{
    if (OnEditTowns)
        OnEditTowns();
    // A town added or renamed there shows at once.
    const QVariant key = grid()->currentIndex().isValid() ? collection()->keyOf(grid()->currentIndex().row()) : QVariant();
    collection()->close();
    if (openList()) {
        collection()->fetchAll();
        locateKey(key);
    }
}

void usePlaceSearch(fw::TVeDBLookupEdit *lookup, QSqlDatabase db)
{
    lookup->CreateSearchForm = [db](QWidget *parent) -> fw::TfmVeSearch * {
        if (openTownsModule(db))
            return new TfmSearchLoco(db, parent);
        return new fw::TfmVeSearch(db, parent);
    };
    lookup->OnShowSearchForm = [lookup](fw::TfmVeSearch &form) {
        form.setSortKeys(QStringLiteral("SCOMDESC;ISRPCID"));
        auto *loco = qobject_cast<TfmSearchLoco *>(&form);
        if (!loco)
            return;
        const int state = lookup->rowValue(QStringLiteral("ISTAID")).toInt();
        // A typed text may be a town of any state; otherwise the state of the place chosen.
        if (lookup->lineEdit()->isModified() && !lookup->lineEdit()->text().trimmed().isEmpty() && lookup->key().isNull())
            loco->setStateId(TfmSearchLoco::AllStates);
        else
            loco->setStateId(state > 0 ? state : TdmComuni::HomeState);
    };
}

} // namespace ccp::ben
