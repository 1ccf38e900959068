#include "EbcFInitAnf.h"

#include "SqlQuery.h"
#include "TVeDBCurrencyEdit.h"
#include "TVeDBDateEdit.h"
#include "TVeWaitWindow.h"
#include "VeMessageDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ccp::accounts {

namespace {
QString S(const char *s) { return QString::fromUtf8(s); }

const QColor FocusColour(255, 255, 132);
} // namespace

TfmEbcInitAnf::TfmEbcInitAnf(QSqlDatabase db, int sprIstId, int ansId, QWidget *parent)
    : fw::TVeWizard(Caption, parent), m_db(db), m_sprIstId(sprIstId)
{
    setObjectName(S("fmEbcInitAnf"));

    // Page 1: the year and its dates.
    auto *p1 = new QWidget(this);
    auto *l1 = new QVBoxLayout(p1);
    auto *yearLabel = new QLabel(S("&Nuovo anno finanziario"), p1);
    cbAnno = new QComboBox(p1);
    cbAnno->setObjectName(S("cbAnno"));
    yearLabel->setBuddy(cbAnno);
    l1->addWidget(yearLabel);
    l1->addWidget(cbAnno);
    cbPersonalizza = new QCheckBox(S("&Personalizza anno finanziario"), p1);
    cbPersonalizza->setObjectName(S("cbPersonalizza"));
    l1->addWidget(cbPersonalizza);
    gbDate = new QGroupBox(S("Date anno finanziario"), p1);
    gbDate->setObjectName(S("gbDate"));
    auto *dates = new QFormLayout(gbDate);
    xddInizio = new fw::TVeDBDateEdit;
    xddInizio->setObjectName(S("xddInizio"));
    dates->addRow(S("Data &inizio"), xddInizio);
    xddFine = new fw::TVeDBDateEdit;
    xddFine->setObjectName(S("xddFine"));
    dates->addRow(S("Data &fine"), xddFine);
    l1->addWidget(gbDate);
    l1->addStretch(1);
    addPage(p1, S("Nuovo anno finanziario"));

    // Page 2: the amounts, one below the other.
    auto *p2 = new QWidget(this);
    auto *l2 = new QFormLayout(p2);
    l2->setVerticalSpacing(4);
    auto addAmount = [&](const QString &caption, int tccId) {
        auto *e = new fw::TVeDBCurrencyEdit(p2);
        e->setObjectName(tccId >= 0 ? S("xdcTcc%1").arg(tccId) : (amountEdits.isEmpty() ? S("xdcSaldo") : S("xdcDiff")));
        e->setProperty("iTccId", tccId);
        e->setMoney(Money());
        e->setMaximumWidth(160);
        e->installEventFilter(this);
        connect(e, &fw::TVeDBCurrencyEdit::moneyEdited, this, [this]() { updateOk(); });
        l2->addRow(caption, e);
        amountEdits.append(e);
    };
    addAmount(S("Saldo del conto"), -1);
    if (auto t = readTopTypes(db, ansId); t) {
        m_types = *t;
    } else {
        fw::showError(t.error());
    }
    for (const TopType &t : m_types)
        addAmount(t.description, t.tccId);
    addAmount(S("Differenze"), -1);
    addPage(p2, S("Riporti"));

    connect(cbPersonalizza, &QCheckBox::toggled, gbDate, &QWidget::setVisible);
    connect(cbAnno, &QComboBox::currentIndexChanged, this, [this]() { onYearChosen(); });
    fillYears();
    gbDate->setVisible(false);
    resetDates();
    nextButton()->setEnabled(cbAnno->currentIndex() >= 0);
}

void TfmEbcInitAnf::fillYears()
{
    m_choosing = true;
    cbAnno->clear();
    SqlQuery q(m_db);
    const QString sql = S(" SELECT Anf.iAnfId, CAST(Anf.iAnfValore AS VARCHAR(4)) sAnfAnnoDesc FROM TAnf_AnniFinanz Anf "
                          "INNER JOIN TSprIst Ist ON ((Anf.dAnfVeltoInizio >= Ist.dStart) OR (Ist.dStart >= "
                          "Anf.dAnfVeltoInizio) AND (Ist.dStart < Anf.dAnfVeltoFine)) WHERE (Ist.iSprIstId = %1) "
                          "ORDER BY iAnfValore")
                            .arg(m_sprIstId);
    if (auto s = q.exec(sql); !s) {
        m_choosing = false;
        fw::showError(s.error());
        return;
    }
    while (q.next())
        cbAnno->addItem(q.value(1).toString().trimmed(), q.value(0));
    cbAnno->setCurrentIndex(-1);
    auto last = SqlQuery::scalar(m_db,
                                 S("SELECT MAX(Anf.iAnfId) nLastAnfId FROM TAnf_AnniFinanz Anf INNER JOIN TCai_CassaIst Cai "
                                   "ON (Cai.iCaiEsercizioFin = Anf.iAnfValore) WHERE Cai.iSprIstId = :iSprIstId"),
                                 {{S("iSprIstId"), m_sprIstId}});
    m_choosing = false;
    if (last && last->isValid() && !last->isNull()) {
        const int index = cbAnno->findData(last->toInt() + 1);
        if (index >= 0)
            cbAnno->setCurrentIndex(index);
    }
}

int TfmEbcInitAnf::chosenYear() const { return cbAnno->currentIndex() >= 0 ? cbAnno->currentText().toInt() : 0; }

void TfmEbcInitAnf::resetDates()
{
    const int y = chosenYear() != 0 ? chosenYear() : QDate::currentDate().year();
    xddInizio->setDate(QDate(y, 1, 1));
    xddFine->setDate(QDate(y, 12, 31));
}

void TfmEbcInitAnf::onYearChosen()
{
    if (m_choosing)
        return;
    m_endPrevious = false;
    if (const int y = chosenYear(); y != 0 && !m_modify) {
        auto locked = SqlQuery::scalar(m_db, S("SELECT iLocked FROM TCai_CassaIst WHERE (iSprIstId = :iSprIstId) AND "
                                               "(iCaiEsercizioFin = :iEsercizioFin)"),
                                       {{S("iSprIstId"), m_sprIstId}, {S("iEsercizioFin"), y}});
        if (locked && locked->toInt() == 1) {
            fw::showWarning(CcpMessages::YearLocked.arg(y));
            m_choosing = true;
            cbAnno->setCurrentIndex(-1);
            m_choosing = false;
        }
    }
    resetDates();
    nextButton()->setEnabled(currentPage() == 0 && cbAnno->currentIndex() >= 0);
}

void TfmEbcInitAnf::setModifyMode(int year, int caiId)
{
    m_modify = true;
    m_caiId = caiId;
    m_choosing = true;
    const int index = cbAnno->findText(QString::number(year));
    if (index >= 0) {
        cbAnno->setCurrentIndex(index);
    } else {
        cbAnno->addItem(QString::number(year));
        cbAnno->setCurrentIndex(cbAnno->count() - 1);
    }
    m_choosing = false;
    next();
    for (QPushButton *b : {priorButton(), nextButton()})
        b->setVisible(false);
}

bool TfmEbcInitAnf::checkFirstPage()
{
    m_endPrevious = false;
    m_previousYear = 0;
    m_previousEnd = {};
    const int y = chosenYear();
    if (y == 0)
        return false;
    if (!xddInizio->commitText() || !xddFine->commitText())
        return false;
    const bool custom = cbPersonalizza->isChecked();
    const QDate start = custom ? xddInizio->date() : QDate(y, 1, 1);
    const QDate end = custom ? xddFine->date() : QDate(y, 12, 31);
    auto around = readNeighbours(m_db, m_sprIstId, y);
    if (!around) {
        fw::showError(around.error());
        return false;
    }
    const QDate previousEnd = around->previous.last;
    const DateCheck check = checkYearDates(start, end, y, *around, true, [this, previousEnd](const QDate &day) {
        return movementsAfter(m_db, m_sprIstId, day, previousEnd);
    });
    if (!check.accepted) {
        if (custom)
            (check.focus == DateCheck::Start ? xddInizio : xddFine)->setFocus();
        else
            cbAnno->setFocus();
        return false;
    }
    if (check.endPrevious) {
        m_endPrevious = true;
        m_previousYear = around->previous.year;
        m_previousEnd = start.addDays(-1);
    }
    return true;
}

bool TfmEbcInitAnf::canLeavePage(int page, bool forward)
{
    if (page == 0)
        return m_modify || checkFirstPage();
    if (page == 1 && forward && !openingBalances(opening()))
        return false;
    if (page == 1 && forward)
        return m_modify ? modify() : create();
    return true;
}

void TfmEbcInitAnf::pageShown(int page)
{
    if (page == 1)
        loadAmounts();
    else
        nextButton()->setEnabled(cbAnno->currentIndex() >= 0);
}

void TfmEbcInitAnf::loadAmounts()
{
    fw::TVeWaitWindow wait(Caption, CcpMessages::CarryOverWait, int(m_types.size()), this);
    bool shown = false;
    auto r = readOpening(m_db, m_sprIstId, chosenYear(), m_types, m_modify, [&]() {
        if (!shown) {
            wait.showNow();
            shown = true;
        }
        wait.step();
    });
    wait.close();
    if (!r) {
        fw::showError(r.error());
        return;
    }
    amountEdits.first()->setMoney(r->balance);
    for (int i = 0; i < r->types.size() && i + 1 < amountEdits.size() - 1; ++i)
        amountEdits[i + 1]->setMoney(r->types[i]);
    amountEdits.last()->setMoney(r->differences);
    updateOk();
    amountEdits.first()->setFocus();
}

Opening TfmEbcInitAnf::opening() const
{
    Opening o;
    o.balance = amountEdits.first()->money();
    for (int i = 1; i + 1 < amountEdits.size(); ++i)
        o.types.append(amountEdits[i]->money());
    o.differences = amountEdits.last()->money();
    return o;
}

void TfmEbcInitAnf::updateOk()
{
    okButton()->setEnabled(currentPage() == pageCount() - 1 && openingBalances(opening()));
}

bool TfmEbcInitAnf::create()
{
    if (!fw::askYesNo(CcpMessages::CreateQuestion))
        return false;
    NewYear y;
    y.year = chosenYear();
    y.sprIstId = m_sprIstId;
    y.opening = opening();
    if (cbPersonalizza->isChecked()) {
        y.start = xddInizio->date();
        y.end = xddFine->date();
    }
    if (m_endPrevious) {
        y.previousYear = m_previousYear;
        y.previousEnd = m_previousEnd;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Status s = createYear(m_db, y, int(m_types.size()));
    QApplication::restoreOverrideCursor();
    if (!s) {
        fw::showError(s.error());
        fw::showError(CcpMessages::CreateFailed);
        return false;
    }
    fw::showInfo(CcpMessages::CreateDone);
    return true;
}

bool TfmEbcInitAnf::modify()
{
    if (const Status s = modifyYear(m_db, m_caiId, m_types, opening()); !s) {
        fw::showError(s.error());
        return false;
    }
    return true;
}

bool TfmEbcInitAnf::eventFilter(QObject *watched, QEvent *event)
{
    auto *edit = qobject_cast<fw::TVeDBCurrencyEdit *>(watched);
    const int index = edit ? int(amountEdits.indexOf(edit)) : -1;
    if (index >= 0) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down) {
                const int to = index + (key == Qt::Key_Up ? -1 : 1);
                if (to >= 0 && to < amountEdits.size())
                    amountEdits[to]->setFocus(Qt::TabFocusReason);
                return true;
            }
        } else if (event->type() == QEvent::FocusIn) {
            QPalette p = edit->palette();
            p.setColor(QPalette::Base, FocusColour);
            p.setColor(QPalette::Text, Qt::black);
            edit->setPalette(p);
        } else if (event->type() == QEvent::FocusOut) {
            edit->setPalette(QPalette());
        }
    }
    return fw::TVeWizard::eventFilter(watched, event);
}

} // namespace ccp::accounts
