#include "EbcFExpBanche.h"
#include "EbcUSddExport.h"

#include "SqlQuery.h"
#include "StampeContestuali.h"
#include "TVeGlobalValues.h"
#include "VeMessageDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace ccp::directdebit {

namespace {

#define S(x) QStringLiteral(x)

// Restores the cursor however the work ends.
struct WaitCursor
{
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

// The program's date edit: the clerk types 010926 or 01/09/2026, F8 opens the calendar.
fw::TVeDBDateEdit *dateEdit(const QDate &d)
{
    auto *e = new fw::TVeDBDateEdit;
    e->setDate(d);
    return e;
}

// Surname, name, class by the first column; class, surname, name by the third.
class PupilItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem &other) const override
    {
        static const int orders[3][3] = {{0, 1, 2}, {1, 0, 2}, {2, 0, 1}};
        const int column = treeWidget() ? qBound(0, treeWidget()->sortColumn(), 2) : 0;
        for (int c : orders[column])
            if (const int r = QString::localeAwareCompare(text(c).toLower(), other.text(c).toLower()); r != 0)
                return r < 0;
        return false;
    }
};

const QString PupilsSql = S(
    "SELECT Ana.iAnaId, Ana.sAnaNome, Ana.sAnaCognome, Cls.sClsDesc FROM TAna_Anagrafiche Ana"
    " INNER JOIN TSit_Situazioni Sit ON (Sit.iAnaId = Ana.iAnaId)"
    " INNER JOIN VAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = Sit.dStart)"
    " INNER JOIN TClsPst ClsPst ON (ClsPst.iClsPstId = Sit.iClsPstId)"
    " INNER JOIN VCls_Classi Cls ON (Cls.iClsId = ClsPst.iClsId)"
    " INNER JOIN TAcb_AluCoordBan Acb ON (Acb.iAnaId = Ana.iAnaId)"
    " INNER JOIN TAcbCau AcbCau ON (AcbCau.iAcbId = Acb.iAcbId)"
    " INNER JOIN TCauCca CauCca ON (CauCca.iCauId = AcbCau.iCauId)"
    " INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = CauCca.iCcaId AND Cca.dStart = Ans.dAnsVeltoInizio)"
    " WHERE Cls.iClsId IN (%1) AND Acb.iMpgId = :iMpgId"
    " AND Cca.dCcaDataScadenza BETWEEN :DataScadenzaDal AND :DataScadenzaAl"
    " GROUP BY Ana.iAnaId, Ana.sAnaNome, Ana.sAnaCognome, Cls.sClsDesc"
    " ORDER BY Cls.sClsDesc, Ana.sAnaCognome, Ana.sAnaNome");

} // namespace

TfwEbcExport_Banche::TfwEbcExport_Banche(QSqlDatabase db, const QString &mainDirectory, QWidget *parent)
    : fw::TVeWizard(S("Export banche"), parent), m_db(std::move(db)), m_main(mainDirectory)
{
    setObjectName(S("TfwEbcExport_Banche"));
    setWindowFlags(windowFlags() | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint);
    resize(1100, 680);
    setMinimumSize(900, 560);
    const auto &values = fw::TVeGlobalValuesManager::instance();
    m_ansId = values.intValue(S("VEUP_AnsId"));
    m_dwgId = values.intValue(S("VEUP_DwgId"));
    m_sprIstId = values.intValue(S("EBCP_SprIstId"));
    QDir().mkpath(QFileInfo(bankIniPath(m_main)).absolutePath());

    addPage(buildParams(), S("Parametri dell'esportazione"));
    addPage(buildPupils(), S("Alunni da esportare"));
    addPage(buildExport(), S("Esportazione"));

    AskSaveFile = [this](const QString &current) {
        return QFileDialog::getSaveFileName(this, S("File export"), current, S("File di testo (*.Txt *.txt);;Tutti i file (*)"));
    };
    OpenFolder = [](const QString &folder) { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); };
}

QWidget *TfwEbcExport_Banche::buildParams()
{
    auto *w = new QWidget;
    auto *form = new QFormLayout(w);
    deDal = dateEdit(QDate::currentDate());
    deDal->setObjectName(S("deDal"));
    deAl = dateEdit(QDate::currentDate());
    deAl->setObjectName(S("deAl"));
    cbModPagamento = new QComboBox;
    cbModPagamento->setObjectName(S("cbModPagamento"));
    ckCreaMovimento = new QCheckBox(S("Crea il movimento per i dati esportati"));
    ckCreaMovimento->setObjectName(S("ckCreaMovimento"));
    form->addRow(S("Esporta dati &dal"), deDal);
    form->addRow(S("Esporta dati a&l"), deAl);
    form->addRow(S("&Modalità di pagamento"), cbModPagamento);
    form->addRow(QString(), ckCreaMovimento);

    SqlQuery q(m_db);
    if (auto s = q.exec(S("SELECT iMpgId, sMpgDescL FROM TMPG_MODPAGAM;")); !s) {
        fw::showError(s.error());
    } else {
        while (q.next())
            cbModPagamento->addItem(q.value(1).toString(), q.value(0));
    }
    cbModPagamento->setCurrentIndex(qMax(0, cbModPagamento->findText(S("RID"))));
    return w;
}

QWidget *TfwEbcExport_Banche::buildPupils()
{
    auto *w = new QWidget;
    auto *grid = new QGridLayout(w);
    lbClassi = new QListWidget;
    lbClassi->setObjectName(S("lbClassi"));
    lbClassi->setContextMenuPolicy(Qt::CustomContextMenu);
    pmClassi = new QMenu(lbClassi);
    pmClassi->addAction(S("Seleziona tutto"), this, [this] { checkAllClasses(0); });
    pmClassi->addAction(S("Annulla selezione"), this, [this] { checkAllClasses(1); });
    pmClassi->addAction(S("Inverti selezione"), this, [this] { checkAllClasses(2); });
    connect(lbClassi, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { pmClassi->popup(lbClassi->viewport()->mapToGlobal(p)); });
    connect(lbClassi, &QListWidget::itemChanged, this, [this] { classesChanged(); });

    grAlunni = new QTreeWidget;
    grAlunni->setObjectName(S("grAlunni"));
    grAlunni->setHeaderLabels({S("Cognome"), S("Nome"), S("Classe")});
    grAlunni->setRootIsDecorated(false);
    grAlunni->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grAlunni->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grAlunni->setSortingEnabled(true);
    grAlunni->sortByColumn(2, Qt::AscendingOrder);
    grAlunni->header()->setSectionResizeMode(QHeaderView::Stretch);

    auto *lc = new QLabel(S("&Classi:"));
    lc->setBuddy(lbClassi);
    auto *la = new QLabel(S("A&lunni:"));
    la->setBuddy(grAlunni);
    grid->addWidget(lc, 0, 0);
    grid->addWidget(la, 0, 1);
    grid->addWidget(lbClassi, 1, 0);
    grid->addWidget(grAlunni, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 3);
    auto *hint = new QLabel(S("Nessun alunno selezionato: si esportano tutti gli alunni elencati. "
                              "Tasto destro sulle classi per selezionarle tutte."));
    hint->setWordWrap(true);
    grid->addWidget(hint, 2, 0, 1, 2);
    return w;
}

QWidget *TfwEbcExport_Banche::buildExport()
{
    auto *w = new QWidget;
    auto *v = new QVBoxLayout(w);
    auto *grid = new QGridLayout;
    v->addLayout(grid);

    cbBanca = new QComboBox;
    cbBanca->setObjectName(S("cbBanca"));
    auto line = [](const char *name, int width) {
        auto *e = new QLineEdit;
        e->setObjectName(QString::fromLatin1(name));
        e->setMaxLength(width);
        return e;
    };
    edMittente = line("edMittente", 10);
    edNOME_SUPPORTO = line("edNOME_SUPPORTO", 20);
    edNOME_SUPPORTO->setText(S("RID"));
    deData_Creazione = dateEdit(QDate::currentDate());
    deData_Creazione->setObjectName(S("deData_Creazione"));
    deData_Disposizione = dateEdit(QDate::currentDate());
    deData_Disposizione->setObjectName(S("deData_Disposizione"));
    deData_Valuta = dateEdit(QDate::currentDate());
    deData_Valuta->setObjectName(S("deData_Valuta"));
    deDATA_SCADENZA = dateEdit(QDate::currentDate());
    deDATA_SCADENZA->setObjectName(S("deDATA_SCADENZA"));
    edConto_Tesoreria = line("edConto_Tesoreria", 7);
    edCC_ORDINANTE = line("edCC_ORDINANTE", 20);
    edIdCreditore = line("edIdCreditore", 35);
    edIdCreditore->setToolTip(S("Identificativo creditore SEPA assegnato dalla banca"));
    edCUC = line("edCUC", 35);
    edCUC->setToolTip(S("Codice CBI dell'istituto (CUC)"));
    cbVersioneSdd = new QComboBox;
    cbVersioneSdd->setObjectName(S("cbVersioneSdd"));
    cbVersioneSdd->addItem(S("00.01.00"), int(SddVersion::V000100));
    cbVersioneSdd->addItem(S("00.01.01 (dal 17/03/2024)"), int(SddVersion::V000101));

    auto *lb = new QLabel(S("&Banca"));
    lb->setBuddy(cbBanca);
    grid->addWidget(lb, 0, 0);
    grid->addWidget(cbBanca, 0, 1, 1, 3);
    const struct { QWidget *control; const char *label; } header[] = {
        {edMittente, "Codice &SIA"},          {edNOME_SUPPORTO, "&Nome supporto"},
        {deData_Creazione, "Data c&reazione"}, {deData_Disposizione, "&Esecuzione disposizione"},
        {deData_Valuta, "&Valuta"},            {deDATA_SCADENZA, "Sc&adenza"},
        {edConto_Tesoreria, "Conto &tesoreria"}, {edCC_ORDINANTE, "CC &ordinante"},
        {edIdCreditore, "Identificativo credi&tore"}, {edCUC, "Codice C&UC"},
    };
    int i = 0;
    for (const auto &h : header) {
        auto *l = new QLabel(QString::fromUtf8(h.label));
        l->setBuddy(h.control);
        m_header.insert(h.control->objectName(), h.control);
        m_labels.insert(h.control->objectName(), l);
        grid->addWidget(l, 1 + i / 2, (i % 2) * 2);
        grid->addWidget(h.control, 1 + i / 2, (i % 2) * 2 + 1);
        ++i;
    }
    edFileExport = new QLineEdit;
    edFileExport->setObjectName(S("edFileExport"));
    btFileExport = new QPushButton(S("..."));
    btFileExport->setObjectName(S("btFileExport"));
    btFileExport->setToolTip(S("Scegli il file"));
    auto *lf = new QLabel(S("&File export"));
    lf->setBuddy(edFileExport);
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(edFileExport);
    fileRow->addWidget(btFileExport);
    grid->addWidget(lf, 6, 0);
    grid->addLayout(fileRow, 6, 1, 1, 3);
    lbVersioneSdd = new QLabel(S("&Versione messaggio SEPA"));
    lbVersioneSdd->setBuddy(cbVersioneSdd);
    grid->addWidget(lbVersioneSdd, 7, 0);
    grid->addWidget(cbVersioneSdd, 7, 1);
    lbVersioneSdd->hide();   // shown with the SEPA format
    cbVersioneSdd->hide();
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    grDisposizioni = new QTableWidget(0, 8);
    grDisposizioni->setObjectName(S("grDisposizioni"));
    grDisposizioni->setHorizontalHeaderLabels({S("Destinario"), S("Importo in cent."), S("ABI"), S("CAB"), S("C/C"),
                                               S("Indirizzo"), S("CAP"), S("Comune")});
    grDisposizioni->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grDisposizioni->setSelectionBehavior(QAbstractItemView::SelectRows);
    grDisposizioni->verticalHeader()->hide();
    grDisposizioni->setWordWrap(false);
    for (const auto &[column, width] : {std::pair{0, 220}, {1, 110}, {2, 60}, {3, 60}, {4, 120}, {5, 260}, {6, 60}})
        grDisposizioni->setColumnWidth(column, width);
    grDisposizioni->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grDisposizioni->horizontalHeader()->setStretchLastSection(true);
    v->addWidget(grDisposizioni, 1);

    auto *bottom = new QHBoxLayout;
    auto *ln = new QLabel(S("Disposizioni:"));
    lbNumDisposizioni = new QLabel(S("0"));
    lbNumDisposizioni->setObjectName(S("lbNumDisposizioni"));
    btRiepilogo = new QPushButton(S("Stampa &Riepilogo"));
    btRiepilogo->setObjectName(S("btRiepilogo"));
    btBrogliaccio = new QPushButton(S("Stampa Bro&gliaccio"));
    btBrogliaccio->setObjectName(S("btBrogliaccio"));
    btLog = new QPushButton(S("Log"));
    btLog->setObjectName(S("btLog"));
    btLog->hide();
    bottom->addWidget(ln);
    bottom->addWidget(lbNumDisposizioni);
    bottom->addStretch(1);
    bottom->addWidget(btLog);
    bottom->addWidget(btRiepilogo);
    bottom->addWidget(btBrogliaccio);
    v->addLayout(bottom);

    connect(cbBanca, &QComboBox::activated, this, [this](int) { selectBank(cbBanca->currentText()); });
    connect(edMittente, &QLineEdit::editingFinished, this, [this] { rebuildDispositions(); });
    connect(deData_Creazione, &fw::TVeDBDateEdit::dateEdited, this, [this] { rebuildDispositions(); });
    connect(edNOME_SUPPORTO, &QLineEdit::editingFinished, this, [this] { rebuildFileName(); });
    connect(btFileExport, &QPushButton::clicked, this, [this] {
        const QString f = AskSaveFile ? AskSaveFile(edFileExport->text()) : QString();
        if (!f.isEmpty())
            edFileExport->setText(QDir::toNativeSeparators(f));
    });
    connect(btRiepilogo, &QPushButton::clicked, this, [this] { printCategory(S("Riepilogo")); });
    connect(btBrogliaccio, &QPushButton::clicked, this, [this] { printCategory(S("Brogliaccio")); });
    connect(btLog, &QPushButton::clicked, this, [this] { rewriteLog(); });
    return w;
}

// A date still being typed counts once the page is left (Alt+A or Enter keep the focus there).
static bool commitDates(std::initializer_list<fw::TVeDBDateEdit *> edits)
{
    for (fw::TVeDBDateEdit *e : edits)
        if (!e->commitText())
            return false;
    return true;
}

bool TfwEbcExport_Banche::canEnterPage(int page, bool forward)
{
    if (!fw::TVeWizard::canEnterPage(page, forward))
        return false;
    if (page == PupilsPage && forward) {
        if (!commitDates({deDal, deAl}))
            return false;
        if (!deDal->date().isValid() || !deAl->date().isValid()) {
            fw::showWarning(S("Indicare le date di scadenza dei dati da esportare."));
            return false;
        }
        if (deDal->date() > deAl->date()) {
            fw::showWarning(S("La data iniziale è successiva a quella finale."));
            return false;
        }
        fw::SetValues(S("EBSP_DataDal"), deDal->date());
        fw::SetValues(S("EBSP_DataAl"), deAl->date());
        grAlunni->clear();
        fillClasses();
    }
    if (page == ExportPage && forward)
        return enterExport();
    return true;
}

void TfwEbcExport_Banche::fillClasses()
{
    const QSignalBlocker block(lbClassi);
    lbClassi->clear();
    auto year = SqlQuery::scalar(m_db, S("SELECT sAnsAnnoDesc FROM VAns_AnniScolast WHERE iAnsId = :id"),
                                 {{S("id"), m_ansId}});
    if (!year) {
        fw::showError(year.error());
        return;
    }
    SqlQuery q(m_db);
    // The description comes from the database; bound all the same.
    if (auto s = q.run(S("SELECT iClsId, sClsDesc FROM VCLS_CLASSI WHERE SCLSANNOSCOL = :anno ORDER BY sClsDesc"),
                       {{S("anno"), year.value().toString()}});
        !s) {
        fw::showError(s.error());
        return;
    }
    while (q.next()) {
        auto *item = new QListWidgetItem(q.value(1).toString());
        item->setData(Qt::UserRole, q.value(0));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        lbClassi->addItem(item);
    }
    lbClassi->sortItems();
}

void TfwEbcExport_Banche::checkAllClasses(int how)
{
    {
        const QSignalBlocker block(lbClassi);
        for (int i = 0; i < lbClassi->count(); ++i) {
            QListWidgetItem *it = lbClassi->item(i);
            const bool on = how == 0 || (how == 2 && it->checkState() != Qt::Checked);
            it->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        }
    }
    classesChanged();
}

void TfwEbcExport_Banche::classesChanged()
{
    QString list = S("0");
    for (int i = 0; i < lbClassi->count(); ++i)
        if (lbClassi->item(i)->checkState() == Qt::Checked)
            list += u',' + QString::number(lbClassi->item(i)->data(Qt::UserRole).toInt());
    grAlunni->setSortingEnabled(false);
    grAlunni->clear();
    SqlQuery q(m_db);
    if (auto s = q.prepare(PupilsSql.arg(list)); !s) {
        fw::showError(s.error());
        return;
    }
    q.bind(S("iMpgId"), cbModPagamento->currentData().toInt());
    q.bind(S("DataScadenzaDal"), deDal->date()).bind(S("DataScadenzaAl"), deAl->date());
    if (auto s = q.exec(); !s) {
        fw::showError(s.error());
        return;
    }
    QList<QTreeWidgetItem *> items;
    while (q.next()) {
        auto *it = new PupilItem(QStringList{q.value(2).toString(), q.value(1).toString(), q.value(3).toString()});
        it->setData(0, Qt::UserRole, q.value(0));
        items << it;
    }
    grAlunni->addTopLevelItems(items);
    grAlunni->setSortingEnabled(true);
}

bool TfwEbcExport_Banche::enterExport()
{
    WaitCursor wait;
    if (grAlunni->selectedItems().isEmpty())
        grAlunni->selectAll();
    ExportParams p{m_dwgId, m_ansId, m_sprIstId, cbModPagamento->currentData().toInt(), deDal->date(), deAl->date(), {}};
    for (QTreeWidgetItem *it : grAlunni->selectedItems())
        p.pupils << it->data(0, Qt::UserRole).toInt();
    if (p.pupils.isEmpty())
        p.pupils << 0;   // no pupil listed: nothing to export, not everyone
    deDATA_SCADENZA->setDate(QDate(QDate::currentDate().year(), 12, 31));

    auto catalogue = loadCatalogue(m_main);
    if (!catalogue) {
        fw::showError(catalogue.error());
        return false;
    }
    m_catalogue = catalogue.value();
    cbBanca->clear();
    for (const BankLayoutEntry &e : std::as_const(m_catalogue))
        cbBanca->addItem(e.banca);
    cbBanca->setCurrentIndex(-1);
    m_layout.reset();

    auto rows = loadDetailRows(m_db, p);
    if (!rows) {
        fw::showError(rows.error());
        return false;
    }
    m_rows = rows.value();

    const BankIni ini = readBankIni(m_main);
    edMittente->setText(ini.mittente);
    const SddSettings sdd = SddSettings::load(bankIniPath(m_main));
    edIdCreditore->setText(sdd.creditorId);
    edCUC->setText(sdd.cuc);
    cbVersioneSdd->setCurrentIndex(qMax(0, cbVersioneSdd->findData(int(sdd.version))));
    edConto_Tesoreria->setText(ini.contoTesoreria);
    QString bank = ini.banca;
    if (bank.isEmpty() && !m_rows.isEmpty())
        for (const BankLayoutEntry &e : std::as_const(m_catalogue))
            if (!e.abi.isEmpty() && e.abi == m_rows.first().abiRicevente) {
                bank = e.banca;
                break;
            }
    if (!bank.isEmpty() && cbBanca->findText(bank) >= 0)
        selectBank(bank);
    {
        const QSignalBlocker block(deData_Creazione);
        deData_Creazione->setDate(QDate::currentDate());
    }
    const QString folder = defaultExportFolder();
    QDir().mkpath(folder);
    edFileExport->setText(QDir::toNativeSeparators(exportFileName(folder, edNOME_SUPPORTO->text(), QDate::currentDate())));
    if (m_layout && isSddLayout(m_layout->entry))
        rebuildFileName();   // the remembered SEPA format names an .xml file
    // The SEPA row is a format, not a bank: "the only one" counts the fixed-width layouts.
    QStringList fixed;
    for (const BankLayoutEntry &e : std::as_const(m_catalogue))
        if (!isSddLayout(e))
            fixed << e.banca;
    if (!m_layout && fixed.size() == 1)
        selectBank(fixed.first());
    rebuildDispositions();
    return true;
}

void TfwEbcExport_Banche::selectBank(const QString &name)
{
    cbBanca->setCurrentIndex(cbBanca->findText(name));
    if (!loadBank(name)) {
        m_layout.reset();
        cbBanca->setCurrentIndex(-1);
    }
    const bool sdd = m_layout && isSddLayout(m_layout->entry);
    lbVersioneSdd->setVisible(sdd);
    cbVersioneSdd->setVisible(sdd);
    // The file's name follows the format: the RID default becomes the SEPA one and back.
    if (sdd && edNOME_SUPPORTO->text() == S("RID"))
        edNOME_SUPPORTO->setText(SddSupportName);
    else if (!sdd && edNOME_SUPPORTO->text() == SddSupportName)
        edNOME_SUPPORTO->setText(S("RID"));
    if (!edFileExport->text().isEmpty())
        rebuildFileName();
    rebuildDispositions();
}

bool TfwEbcExport_Banche::loadBank(const QString &name)
{
    const auto it = std::find_if(m_catalogue.cbegin(), m_catalogue.cend(),
                                 [&](const BankLayoutEntry &e) { return e.banca == name; });
    if (it == m_catalogue.cend())
        return false;
    auto layout = loadLayout(m_main, *it);
    if (!layout) {
        fw::showError(layout.error());
        return false;
    }
    for (const HeaderField &h : layout->header) {
        const QString type = h.colType.trimmed().toUpper();
        const QString control = (type == S("D") ? S("de") : S("ed")) + h.fieldName.trimmed();
        if ((type == S("AN") || type == S("D")) && !m_header.contains(control)) {
            fw::showError(S("Tracciato non valido: il campo di intestazione %1 non esiste.").arg(h.fieldName));
            return false;
        }
    }
    for (auto c = m_header.cbegin(); c != m_header.cend(); ++c)
        c.value()->setVisible(false);
    for (const HeaderField &h : layout->header) {
        const QString type = h.colType.trimmed().toUpper();
        if (type == S("AN") || type == S("D"))
            m_header.value((type == S("D") ? S("de") : S("ed")) + h.fieldName.trimmed())->setVisible(true);
    }
    for (auto c = m_header.cbegin(); c != m_header.cend(); ++c)
        m_labels.value(c.key())->setVisible(!c.value()->isHidden());
    m_layout = layout.value();
    return true;
}

void TfwEbcExport_Banche::rebuildDispositions()
{
    m_dispositions = buildDispositions(m_rows, edMittente->text(), edNOME_SUPPORTO->text(), deData_Creazione->date(),
                                       QDate::currentDate());
    grDisposizioni->setRowCount(int(m_dispositions.size()));
    int r = 0;
    for (const Disposition &d : std::as_const(m_dispositions)) {
        const QString cells[] = {d.data.debitore,          QString::number(d.data.importo), d.data.abiDomiciliataria,
                                 d.data.cabDomiciliataria, d.data.ccDomiciliataria,         d.data.indDebitore,
                                 d.data.capDebitore,       d.data.comDebitore};
        for (int c = 0; c < 8; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (c == 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grDisposizioni->setItem(r, c, item);
        }
        ++r;
    }
    lbNumDisposizioni->setText(QString::number(m_dispositions.size()));
}

void TfwEbcExport_Banche::rebuildFileName()
{
    const QString folder = QFileInfo(QDir::fromNativeSeparators(edFileExport->text())).path();
    const bool sdd = m_layout && isSddLayout(m_layout->entry);
    edFileExport->setText(QDir::toNativeSeparators(sdd ? sddFileName(folder, edNOME_SUPPORTO->text(), QDate::currentDate())
                                                       : exportFileName(folder, edNOME_SUPPORTO->text(), QDate::currentDate())));
}

void TfwEbcExport_Banche::accept()
{
    if (currentPage() != ExportPage)
        return;
    if (!commitDates({deData_Creazione, deData_Disposizione, deData_Valuta, deDATA_SCADENZA}))
        return;
    if (!deData_Creazione->date().isValid()) {
        fw::showWarning(S("Indicare la data di creazione."));
        return;
    }
    WaitCursor wait;
    rebuildDispositions();
    if (!m_layout) {
        fw::showWarning(S("Scegliere la banca."));
        return;
    }
    const QString path = QDir::fromNativeSeparators(edFileExport->text().trimmed());
    if (path.isEmpty()) {
        fw::showWarning(S("Indicare il file da produrre."));
        return;
    }
    if (isSddLayout(m_layout->entry)) {
        // The SEPA data are checked before the file question: nothing is asked for a refused export.
        for (QLineEdit *e : {edIdCreditore, edCUC})
            if (const QString error = e == edIdCreditore ? checkCreditorId(e->text()) : checkCuc(e->text()); !error.isEmpty()) {
                fw::showError(error);
                e->setFocus();
                return;
            }
    }
    if (QFileInfo::exists(path)
        && fw::VeMessageDlg(ExpText::ReplaceFile, fw::MsgType::Warning, fw::MsgButtons::YesNo) != fw::MsgResult::Yes)
        return;
    ExportRun run;
    run.mainDirectory = m_main;
    run.layout = *m_layout;
    run.rows = m_rows;
    run.dispositions = m_dispositions;
    run.path = path;
    run.mittente = edMittente->text();
    run.recordMovements = ckCreaMovimento->isChecked();
    run.movement = MovementParams{m_sprIstId, deData_Creazione->date()};
    run.sdd = SddSettings{edIdCreditore->text().trimmed().toUpper(), edCUC->text().trimmed(),
                          SddVersion(cbVersioneSdd->currentData().toInt())};
    run.mpgId = cbModPagamento->currentData().toInt();
    run.dwgId = m_dwgId;
    if (auto s = writeExport(m_db, run, hooks); !s) {
        fw::showError(s.error());
        return;
    }
    if (fw::VeMessageDlg(ExpText::Produced, fw::MsgType::Information, fw::MsgButtons::YesNo) == fw::MsgResult::Yes
        && OpenFolder)
        OpenFolder(QFileInfo(path).absolutePath());
    QDialog::accept();
}

void TfwEbcExport_Banche::rewriteLog()
{
    if (!m_layout)
        return;
    const QString path = QDir::fromNativeSeparators(edFileExport->text().trimmed());
    if (auto s = writeLog(m_main, *m_layout, path); !s)
        fw::showError(s.error());
}

reports::DataTable TfwEbcExport_Banche::printTable(const QList<DetailRow> &rows, bool numbered)
{
    QStringList columns = DetailRow::columnNames();
    columns << S("fImporto");
    if (numbered)
        columns << S("PROGRESSIVO");
    reports::DataTable table(columns);
    const QStringList names = DetailRow::columnNames();
    int n = 0;
    for (const DetailRow &r : rows) {
        QVariantList values;
        for (const QString &c : names)
            values << r.column(c);
        values << Money::fromCents(r.importo).toSqlExact();
        if (numbered)
            values << ++n;
        table.addRow(values);
    }
    return table;
}

void TfwEbcExport_Banche::printCategory(const QString &category)
{
    auto data = std::make_unique<reports::SqlDataModule>(m_db);
    if (category == S("Riepilogo")) {
        data->setTable(S("frRiepilogoPagam"), printTable(m_rows, false));
    } else {
        rebuildDispositions();
        QList<DetailRow> disp;
        for (const Disposition &d : std::as_const(m_dispositions))
            disp << d.data;
        data->setTable(S("frBrogliaccioEsp"), printTable(disp, true));
    }
    data->setVariable(S("Dal"), deDal->date());
    data->setVariable(S("Al"), deAl->date());
    data->setVariable(S("Banca"), cbBanca->currentText());
    data->setVariable(S("Nome supporto"), edNOME_SUPPORTO->text());

    reports::ReportHost host;
    host.show = [](QWidget *preview) {
        preview->setAttribute(Qt::WA_DeleteOnClose);
        preview->show();
    };
    host.logoFile = QDir(m_main).filePath(S("etc/logo.png"));
    if (ReportHostFor)
        host = ReportHostFor();
    reports::TDbReportActivation activation(m_db, host);
    reports::TStampeContestuali print(m_db, 14, category, m_main);
    print.AttivazioneReport = PrintActivation ? PrintActivation : &activation;
    print.useFirstReport = true;
    print.mode = reports::TStampeContestuali::Preview;
    print.diagnostic = false;
    print.setDataModule(std::move(data));
    print.Print();   // shows its own refusals, "Nessuna stampa associata" among them
}

} // namespace ccp::directdebit
