#include "AbiFBen.h"

#include "AbiMBen.h"
#include "AbiRBen.h"
#include "AbiRDettagli.h"
#include "AbiRSprBen.h"
#include "AbiUDatiBancari.h"
#include "SqlQuery.h"
#include "TVeWaitWindow.h"
#include "TVeQueryCollection.h"
#include "VeMessageDlg.h"

#include <QAction>
#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>
#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QSplitter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace ccp::ben {

namespace {

// The privacy column: an icon where the beneficiary gave consent.
class PrivacyDelegate : public QStyledItemDelegate
{
public:
    PrivacyDelegate(fw::TVeQueryCollection *c, QObject *parent) : QStyledItemDelegate(parent), m_c(c) {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text.clear();
        if (m_c->value(index.row(), QStringLiteral("LBENPRIVACY")).toInt() == 1) {
            option->features |= QStyleOptionViewItem::HasDecoration;
            option->icon = QApplication::style()->standardIcon(QStyle::SP_DialogApplyButton);
            option->decorationAlignment = Qt::AlignCenter;
        }
    }

private:
    fw::TVeQueryCollection *m_c;
};

const QString StoricoOn = QStringLiteral("Visualizza Beneficiari Storicizzati");
const QString StoricoOff = QStringLiteral("Visualizza Beneficiari attivi");

} // namespace

TfmBeneficiari::TfmBeneficiari(TdmBeneficiari &dm, QWidget *parent) : fw::TVeMdiForm(parent), m_dm(&dm)
{
    setObjectName(QStringLiteral("TfmBeneficiari"));
    setWindowTitle(dm.publisherMode() ? QStringLiteral("Editori") : QStringLiteral("Beneficiari"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);

    auto *bar = new QToolBar(this);
    m_storico = bar->addAction(StoricoOn);
    m_storico->setObjectName(QStringLiteral("xacStorico"));
    m_storico->setCheckable(true);
    connect(m_storico, &QAction::toggled, this, &TfmBeneficiari::setHistoricized);
    m_search = new QLineEdit(bar);
    m_search->setObjectName(QStringLiteral("edRicerca"));
    m_search->setPlaceholderText(QStringLiteral("<Ricerca Beneficiario>"));
    QPalette pal = m_search->palette();
    pal.setColor(QPalette::PlaceholderText, QColor(0xC0, 0xC0, 0xC0));
    m_search->setPalette(pal);
    m_search->setMinimumWidth(260);
    m_search->setMaxLength(120);
    bar->addWidget(m_search);
    m_clear = new QToolButton(bar);
    m_clear->setObjectName(QStringLiteral("btnRicerca"));
    m_clear->setText(QStringLiteral("Annulla ricerca"));
    bar->addWidget(m_clear);
    layout->addWidget(bar);

    m_delay = new QTimer(this);
    m_delay->setSingleShot(true);
    m_delay->setInterval(SearchDelayMs);
    connect(m_delay, &QTimer::timeout, this, &TfmBeneficiari::applySearch);
    connect(m_search, &QLineEdit::textChanged, m_delay, qOverload<>(&QTimer::start));
    connect(m_clear, &QToolButton::clicked, this, [this] {
        m_search->clear();
        applySearch();
        m_frame->grid()->setFocus();
    });

    auto *split = new QSplitter(Qt::Vertical, this);
    m_frame = new TfrBeneficiari(dm, split);
    m_frame->grid()->setItemDelegateForColumn(4, new PrivacyDelegate(dm.xqcBeneficiari(), m_frame->grid()));
    m_tabs = new QTabWidget(split);
    m_tabs->setObjectName(QStringLiteral("pcDettagli"));
    split->addWidget(m_frame);
    split->addWidget(m_tabs);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    layout->addWidget(split, 1);

    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        // No other tab while a frame is being edited.
        for (const Tab &t : std::as_const(m_tabFrames))
            if (t.frame->mode() != 0 && m_tabs->indexOf(t.frame) != index && index != m_lastTab) {
                m_tabs->setCurrentIndex(m_lastTab);
                return;
            }
        m_lastTab = index;
        m_openedFor = -1;
        openCurrentTab();
    });
    connect(dm.xqcBeneficiari(), &fw::TVeQueryCollection::currentChanged, this, [this] {
        if (!m_dm->xqcBeneficiari()->isEditing())
            openCurrentTab();
    });
    connect(m_frame, &fw::TVeEditFrame::modeChanged, this, &TfmBeneficiari::lockTabs);
    const QSqlDatabase db = dm.db();
    const auto add = [this](TfrBenDetail *f, const QString &title) {
        addDetailTab(f, title, [f](int benId) { f->openFor(benId); });
    };
    add(new TfrSedi(db), QStringLiteral("Sedi"));
    add(new TfrDatiBancari(db), QStringLiteral("Pagamenti"));
    auto *legal = new TfrDatiLegali(db);
    legal->setTurnoverFormat(dm.option());
    add(legal, QStringLiteral("Dati legali"));
    add(new TfrNumTelefono(db), QStringLiteral("Telefoni"));
    add(new TfrEmail(db), QStringLiteral("E-mail"));
    add(new TfrSitiWeb(db), QStringLiteral("Siti Web"));
    add(new TfrRappresentanti(db), QStringLiteral("Rappresentanti"));
    auto *substitutions = new TfrSostituzioni(db);
    addDetailTab(substitutions, QStringLiteral("Sostituzioni"), [substitutions](int benId) { substitutions->openBoth(benId); });
    add(new TfrDurc(db), QStringLiteral("DURC"));
    m_frame->updateActions();
}

TfmBeneficiari::~TfmBeneficiari()
{
    if (m_dm)
        m_dm->xqcBeneficiari()->close();
}

QList<fw::TVeEditFrame *> TfmBeneficiari::editFrames() const
{
    QList<fw::TVeEditFrame *> out{m_frame};
    for (const Tab &t : m_tabFrames) {
        out << t.frame;
        if (auto *d = qobject_cast<TfrBenDetail *>(t.frame))
            for (TfrBenDetail *inner : d->innerFrames())
                out << inner;
    }
    return out;
}

void TfmBeneficiari::addDetailTab(fw::TVeEditFrame *frame, const QString &title, std::function<void(int)> open)
{
    m_tabs->addTab(frame, title);
    m_tabFrames << Tab{frame, std::move(open)};
    connect(frame, &fw::TVeEditFrame::modeChanged, this, &TfmBeneficiari::lockTabs);
    if (auto *d = qobject_cast<TfrBenDetail *>(frame))
        for (TfrBenDetail *inner : d->innerFrames())
            connect(inner, &fw::TVeEditFrame::modeChanged, this, &TfmBeneficiari::lockTabs);
}

void TfmBeneficiari::lockTabs()
{
    // One frame is edited at a time: the others keep still until it is posted or cancelled.
    fw::TVeEditFrame *editing = nullptr;
    for (fw::TVeEditFrame *f : editFrames())
        if (f->mode() != 0)
            editing = f;
    for (fw::TVeEditFrame *f : editFrames()) {
        // The frame holding the edited one stays visible but keeps its row.
        const bool holds = editing && f != editing && f->isAncestorOf(editing);
        f->setEnabled(!editing || f == editing || holds);
        f->toolBar()->setEnabled(!holds);
        f->pages()->setEnabled(!holds);
        if (auto *d = qobject_cast<TfrBenDetail *>(f); d && d->innerTabs())
            d->innerTabs()->tabBar()->setEnabled(!editing || !d->isAncestorOf(editing) || f == editing);
    }
    m_tabs->tabBar()->setEnabled(!editing);
    m_search->setEnabled(!editing);
    m_storico->setEnabled(!editing);
}

void TfmBeneficiari::openCurrentTab()
{
    const int index = m_tabs->currentIndex();
    if (index < 0 || index >= m_tabFrames.size())
        return;
    const int benId = m_dm->currentBenId();
    if (benId == m_openedFor)
        return;
    m_openedFor = benId;
    if (m_tabFrames[index].open)
        m_tabFrames[index].open(benId);
    m_tabFrames[index].frame->setEnabled(benId > 0);
}

void TfmBeneficiari::applySearch()
{
    m_delay->stop();
    if (auto s = m_dm->setView(m_dm->historicizedView(), m_search->text()); !s)
        fw::showError(s.error());
    m_frame->updateActions();
    m_openedFor = -1;
    openCurrentTab();
}

void TfmBeneficiari::setHistoricized(bool on)
{
    m_storico->setText(on ? StoricoOff : StoricoOn);
    if (auto s = m_dm->setView(on, m_search->text()); !s)
        fw::showError(s.error());
    m_frame->updateActions();
    m_openedFor = -1;
    openCurrentTab();
}

void TfmBeneficiari::formShown()
{
    m_frame->grid()->setFocus();
    if (OnFirstShow)
        OnFirstShow();
}

bool TfmBeneficiari::formCanClose()
{
    for (fw::TVeEditFrame *f : editFrames()) {
        if (f->mode() == 0)
            continue;
        switch (fw::VeMessageDlg(fw::TVeEditFrame::saveQuestion(), fw::MsgType::Confirmation, fw::MsgButtons::YesNoCancel)) {
        case fw::MsgResult::Yes:
            // The frame's own post, with its checks and questions.
            if (f->OnPostExecute)
                f->OnPostExecute();
            else
                f->post();
            if (f->mode() != 0)
                return false;
            break;
        case fw::MsgResult::No:
            f->cancel();
            break;
        default:
            return false;
        }
    }
    return true;
}

void TfmBeneficiari::formClosed() {}

bool runIbanBatchCheck(QSqlDatabase db, const QString &mainDirectory, QWidget *parent)
{
    const QString marker = QStringLiteral("SELECT X.ILOCKED FROM TYXAR_XMLARCHIVIO X WHERE X.IYXARID = 5002");
    auto locked = SqlQuery::scalar(db, marker);
    if (!locked || !locked->isValid() || !locked->isNull())
        return false;
    if (fw::VeMessageDlg(QStringLiteral("Eseguire il calcolo automatico dell'IBAN per tutti i Beneficiari?"),
                         fw::MsgType::Information, fw::MsgButtons::YesNo) != fw::MsgResult::Yes)
        return false;
    fw::TVeWaitWindow wait(QStringLiteral("Aggiornamento IBAN dei Beneficiari. Attendere..."), QString(), 0, parent);
    wait.showNow();
    auto result = updateBeneficiariesIban(db, [&wait](int counter, int total) {
        if (wait.count() != total)
            wait.setCount(total);
        wait.setText(QStringLiteral("Calcolo IBAN del Beneficiario: %1 di %2").arg(counter).arg(total));
        wait.step();
    });
    wait.close();
    if (!result) {
        fw::showError(result.error());
        return false;
    }
    const Status mark = runInTransaction(db, [&] {
        SqlQuery q(db);
        return q.exec(QStringLiteral("UPDATE TYXAR_XMLARCHIVIO X SET X.ILOCKED = 1 WHERE X.IYXARID = 5002"));
    });
    if (!mark)
        fw::showError(mark.error());
    if (result->errors.isEmpty()) {
        fw::showInfo(QStringLiteral("Operazione terminata!"));
        return true;
    }
    auto file = writeIbanErrors(mainDirectory, result->errors, QDate::currentDate());
    fw::showInfo(QStringLiteral("Operazione terminata con errori!\r\nControllare i Beneficiari nell'elenco, perchè non è stato"
                                " possibile calcolare l'IBAN."));
    if (!file)
        fw::showError(file.error());
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(*file));
    return true;
}

} // namespace ccp::ben
