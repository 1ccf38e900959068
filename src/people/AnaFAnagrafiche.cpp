#include "AnaFAnagrafiche.h"

#include "TVeEditFrame.h"
#include "TVeLaunchers.h"
#include <QCloseEvent>
#include <QTabBar>

#include "ModAnaMAtt.h"
#include "TVeQueryCollection.h"
#include "TVeQueryModel.h"
#include "VeMessageDlg.h"

#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace ccp::people {

namespace {

QTableView *makeGrid(QWidget *parent)
{
    auto *grid = new QTableView(parent);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setDefaultSectionSize(22);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setAlternatingRowColors(true);
    return grid;
}

} // namespace

TfrAnaList::TfrAnaList(QSqlDatabase db, const QString &frameClass, const DetailList &list, QWidget *parent)
    : QWidget(parent), m_class(frameClass)
{
    setObjectName(frameClass);
    m_collection = new fw::TVeQueryCollection(db, this);
    m_collection->setSelectText(list.select);
    m_collection->setParam(QStringLiteral("iAnaId"), 0);
    m_model = new fw::TVeQueryModel(m_collection, this);
    for (int i = 0; i < list.fields.size(); ++i)
        m_model->addColumn(list.fields[i], list.captions.value(i), i + 1 < list.fields.size() ? 160 : -1);
    m_grid = makeGrid(this);
    m_grid->setModel(m_model);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_grid);
}

void TfrAnaList::showPerson(int anaId)
{
    m_collection->setParam(QStringLiteral("iAnaId"), anaId);
    if (auto s = m_collection->open(); !s)
        fw::showError(s.error());
}

TfmAnaAnagrafiche::TfmAnaAnagrafiche(TdmModAnaAtt &module, QWidget *parent) : QWidget(parent), m_module(module)
{
    setObjectName(QStringLiteral("fmAnaAnagrafiche"));
    m_category = module.CategorieAmmesse.isEmpty() ? Category::Pupils : module.CategorieAmmesse.first();
    const QList<int> hidden = module.CategorieNascoste.value_or(QList<int>());
    setWindowTitle(categoryTitle(m_category));

    auto *layout = new QVBoxLayout(this);
    auto *searchRow = new QHBoxLayout;
    auto *searchLabel = new QLabel(QStringLiteral("&Cerca (cognome, nome o codice fiscale):"), this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("edCerca"));
    m_search->setClearButtonEnabled(true);
    searchLabel->setBuddy(m_search);
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_search, 1);
    layout->addLayout(searchRow);

    m_people = new fw::TVeQueryCollection(module.db(), this);
    m_people->setSelectText(peopleSelect(m_category, hidden));
    m_people->setKeyField(QStringLiteral("iAnaId"));
    m_people->setSortKeys(QStringLiteral("sAnaCognome;sAnaNome"));
    m_model = new fw::TVeQueryModel(m_people, this);
    m_model->addColumn(QStringLiteral("sAnaCognome"), QStringLiteral("Cognome"), 180);
    m_model->addColumn(QStringLiteral("sAnaNome"), QStringLiteral("Nome"), 160);
    m_model->addColumn(QStringLiteral("dAnaNascita"), QStringLiteral("Data di nascita"), 100);
    m_model->addColumn(QStringLiteral("sAnaCodFiscale"), QStringLiteral("Codice fiscale"), 150);
    m_model->addColumn(QStringLiteral("sAnaCagCode"), QStringLiteral("Codice"), -1);

    m_tabs = new QTabWidget(this);
    m_grid = makeGrid(m_tabs);
    m_grid->setObjectName(QStringLiteral("grdAnagrafiche"));
    m_grid->setModel(m_model);
    m_grid->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    m_grid->setSortingEnabled(true);
    for (int c = 0; c < m_model->columnCount(); ++c)
        if (m_model->columns()[c].width > 0)
            m_grid->setColumnWidth(c, m_model->columns()[c].width);
    m_tabs->addTab(m_grid, QStringLiteral("Elenco"));

    auto *detail = new QWidget(m_tabs);
    auto *form = new QFormLayout(detail);
    const QStringList captions = {QStringLiteral("Cognome"), QStringLiteral("Nome"), QStringLiteral("Codice fiscale"),
                                  QStringLiteral("Data di nascita"), QStringLiteral("Sesso"),
                                  QStringLiteral("Luogo di nascita"), QStringLiteral("Codice"),
                                  QStringLiteral("Qualifica")};
    for (const QString &caption : captions) {
        auto *value = new QLabel(detail);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setMinimumWidth(240);
        form->addRow(caption + u':', value);
        m_values << value;
    }
    if (m_category != Category::Staff)
        form->setRowVisible(m_values.last(), false);
    m_tabs->addTab(detail, QStringLiteral("Dettaglio"));

    QStringList pairs;
    module.requestFrames(m_category, m_flags, pairs);
    for (int i = 0; i + 1 < pairs.size(); i += 2) {
        const auto list = detailList(pairs[i]);
        if (!list) {
            // An editing frame registered by its class name, or a frame of a package this
            // installation does not have.
            if (auto *edit = qobject_cast<fw::TVeEditFrame *>(fw::TVeFormRegistry::instance().create(pairs[i], m_tabs))) {
                m_editFrames << edit;
                m_tabs->addTab(edit, pairs[i + 1]);
                connect(edit, &fw::TVeEditFrame::modeChanged, this, [this](int mode) {
                    // The person stays the same while the status is being written.
                    m_tabs->tabBar()->setEnabled(mode == 0);
                    m_search->setEnabled(mode == 0);
                });
            }
            continue;
        }
        auto *frame = new TfrAnaList(module.db(), pairs[i], *list, m_tabs);
        m_frames << frame;
        m_tabs->addTab(frame, pairs[i + 1]);
    }
    layout->addWidget(m_tabs, 1);

    m_delay = new QTimer(this);
    m_delay->setSingleShot(true);
    m_delay->setInterval(300);
    connect(m_search, &QLineEdit::textChanged, m_delay, qOverload<>(&QTimer::start));
    connect(m_delay, &QTimer::timeout, this, [this] { search(m_search->text()); });
    connect(m_people, &fw::TVeQueryCollection::currentChanged, this, [this] { showCurrent(); });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &index) { m_people->setCurrentIndex(index.row()); });
    connect(m_grid, &QTableView::doubleClicked, this, [this] { m_tabs->setCurrentIndex(1); });
    search(QString());
    resize(820, 520);
}

QStringList TfmAnaAnagrafiche::tabTitles() const
{
    QStringList out;
    for (int i = 0; i < m_tabs->count(); ++i)
        out << m_tabs->tabText(i);
    return out;
}

void TfmAnaAnagrafiche::search(const QString &text)
{
    const PeopleSearch condition = searchByName(text);
    m_people->setWhere(condition.sql, condition.params);
    if (auto s = m_people->open(); !s) {
        fw::showError(s.error());
        return;
    }
    showCurrent();
}

void TfmAnaAnagrafiche::showCurrent()
{
    const int row = m_people->currentIndex();
    const int anaId = row >= 0 ? m_people->value(row, QStringLiteral("iAnaId")).toInt() : 0;
    m_detail = PersonDetail();
    if (anaId != 0) {
        auto person = loadPerson(m_module.db(), anaId, m_category);
        if (person && person.value())
            m_detail = *person.value();
    }
    const QStringList texts = {m_detail.surname, m_detail.name, m_detail.fiscalCode,
                               m_detail.birthDate.isValid() ? m_detail.birthDate.toString(QStringLiteral("dd/MM/yyyy")) : QString(),
                               m_detail.sex, m_detail.birthPlace, m_detail.code, m_detail.role};
    for (int i = 0; i < m_values.size(); ++i)
        m_values[i]->setText(texts.value(i));
    for (TfrAnaList *frame : std::as_const(m_frames))
        frame->showPerson(anaId);
    for (fw::TVeEditFrame *frame : std::as_const(m_editFrames))
        QMetaObject::invokeMethod(frame, "showPerson", Q_ARG(int, anaId));
}

void TfmAnaAnagrafiche::closeEvent(QCloseEvent *event)
{
    for (fw::TVeEditFrame *frame : std::as_const(m_editFrames))
        if (!frame->canClose()) {
            event->ignore();
            return;
        }
    QWidget::closeEvent(event);
}

} // namespace ccp::people
