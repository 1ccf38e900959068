#include "EbsFRptSelDate.h"

#include "TVeDBDateEdit.h"
#include "TVeGlobalValues.h"
#include "VeMessageDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ccp::reports {

namespace {

void relabel(QFormLayout *form, QWidget *field, const QString &text)
{
    if (auto *label = qobject_cast<QLabel *>(form->labelForField(field)))
        label->setText(text);
}

} // namespace

TfmEbsRptSelDate::TfmEbsRptSelDate(QSqlDatabase db, QWidget *parent) : TfmVeMultiSelect(std::move(db), parent)
{
    setWindowTitle(QStringLiteral("Selezione date"));
    yearFirst = contextDate("INIZIOUTENTE");
    yearLast = contextDate("FINEUTENTE");
    m_dateBox = new QGroupBox(this);
    m_dateForm = new QFormLayout(m_dateBox);
    m_start = new fw::TVeDBDateEdit(m_dateBox);
    m_end = new fw::TVeDBDateEdit(m_dateBox);
    m_start->setMaximumWidth(120);
    m_end->setMaximumWidth(120);
    m_dateForm->addRow(QStringLiteral("&Dal"), m_start);
    m_dateForm->addRow(QStringLiteral("&Al"), m_end);
    form()->addRow(m_dateBox);
    for (fw::TVeDBDateEdit *e : {m_start, m_end}) {
        e->installEventFilter(this);
        connect(e, &fw::TVeDBDateEdit::dateEdited, this, [this, e] { checkDate(e); });
    }
}

void TfmEbsRptSelDate::setDateLabel(const QString &title)
{
    m_dateBox->setTitle(title);
}

void TfmEbsRptSelDate::showEvent(QShowEvent *event)
{
    TfmVeMultiSelect::showEvent(event);
    if (event->spontaneous())
        return;
    m_start->setDate(dStart);
    m_end->setDate(dEnd);
    prepareShow();
    m_start->setFocus();
    m_start->selectAll();
}

bool TfmEbsRptSelDate::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        auto *edit = static_cast<fw::TVeDBDateEdit *>(watched);
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        // Another window (a message, the calendar) taking the focus is not leaving the edit.
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            QTimer::singleShot(0, this, [this, edit] {
                if (isVisible())
                    checkDate(edit);
            });
    }
    return TfmVeMultiSelect::eventFilter(watched, event);
}

void TfmEbsRptSelDate::refuse(fw::TVeDBDateEdit *edit)
{
    edit->setFocus();
    edit->selectAll();
}

bool TfmEbsRptSelDate::checkDate(fw::TVeDBDateEdit *edit)
{
    if (!edit->commitText())
        return false;
    const QDate d = edit->date();
    const bool outside = anfId != 0 && d.isValid()
                         && ((yearFirst.isValid() && d < yearFirst) || (yearLast.isValid() && d > yearLast));
    const QDate s = m_start->date();
    const QDate e = m_end->date();
    if (outside || (s.isValid() && e.isValid() && e < s)) {
        refuse(edit);
        return false;
    }
    if (s != dStart || e != dEnd) {
        dStart = s;
        dEnd = e;
        Q_EMIT datesChanged();
    }
    return true;
}

bool TfmEbsRptSelDate::validate()
{
    for (fw::TVeDBDateEdit *e : {m_start, m_end}) {
        if (!checkDate(e))
            return false;
        if (!e->date().isValid()) {
            fw::showWarning(QStringLiteral("Indicare le date del periodo della stampa."));
            refuse(e);
            return false;
        }
    }
    return TfmVeMultiSelect::validate();
}

TfmEbsRptSelDateList::TfmEbsRptSelDateList(QSqlDatabase db, QWidget *parent) : TfmEbsRptSelDate(std::move(db), parent)
{
    setWindowTitle(QStringLiteral("Configurazione stampa"));
    m_box = new QGroupBox(QStringLiteral(" &Componenti di causali presenti nella stampa "), this);
    auto *layout = new QVBoxLayout(m_box);
    m_list = new QListWidget(m_box);
    m_list->setMinimumSize(420, 200);
    layout->addWidget(m_list);
    form()->addRow(m_box);
    // The group's mnemonic leads into its list.
    connect(m_box, &QGroupBox::toggled, m_list, qOverload<>(&QWidget::setFocus));
    m_box->setFocusProxy(m_list);
    connect(m_list, &QListWidget::itemChanged, this, [this] {
        count();
        remember();
        Q_EMIT componentsChanged();
    });
}

void TfmEbsRptSelDateList::setListSelect(const QString &sql, const QVariantMap &params)
{
    m_listSql = sql;
    m_listParams = params;
}

void TfmEbsRptSelDateList::prepareShow()
{
    reloadList();
}

void TfmEbsRptSelDateList::reloadList()
{
    const QSignalBlocker block(m_list);
    m_list->clear();
    m_counts[0] = m_counts[1] = m_counts[2] = m_counts[3] = 0;
    if (listSelect().isEmpty())
        return;
    auto t = readTable(db(), listSelect(), m_listParams);
    if (!t) {
        fw::showError(t.error());
        return;
    }
    const DataTable &rows = t.value();
    for (int r = 0; r < rows.rowCount(); ++r) {
        auto *item = new QListWidgetItem(rows.value(r, 2).toString().trimmed(), m_list);
        item->setData(Qt::UserRole, rows.value(r, 0).toInt());
        item->setData(Qt::UserRole + 1, rows.value(r, 1).toInt());
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        // The first showing offers every component.
        const bool ticked = !m_remembered || m_remembered->contains(r);
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }
    count();
    remember();
    Q_EMIT componentsChanged();
}

void TfmEbsRptSelDateList::count()
{
    m_counts[0] = m_counts[1] = m_counts[2] = m_counts[3] = 0;
    for (int i = 0; i < m_list->count(); ++i) {
        const QListWidgetItem *item = m_list->item(i);
        const int type = item->data(Qt::UserRole + 1).toInt();
        if (item->checkState() == Qt::Checked && type >= 1 && type <= 4)
            ++m_counts[type - 1];
    }
}

void TfmEbsRptSelDateList::remember()
{
    QList<int> ticked;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->checkState() == Qt::Checked)
            ticked << i;
    }
    m_remembered = ticked;
}

QList<int> TfmEbsRptSelDateList::untickedIds() const
{
    QList<int> out;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->checkState() != Qt::Checked)
            out << m_list->item(i)->data(Qt::UserRole).toInt();
    }
    return out;
}

QString TfmEbsRptSelDateList::exclusions() const
{
    QString out;
    for (int id : untickedIds())
        out += QStringLiteral(" AND iCcaId <> %1").arg(id);
    return out;
}

bool TfmEbsRptSelDateList::validate()
{
    remember();
    return TfmEbsRptSelDate::validate();
}

TfmEbcRptSelDateList::TfmEbcRptSelDateList(QSqlDatabase db, QWidget *parent) : TfmEbsRptSelDateList(std::move(db), parent)
{
    m_showYear = new QCheckBox(QStringLiteral("&Mostra anno scolastico"), this);
    form()->addRow(m_showYear);
    connect(m_showYear, &QCheckBox::toggled, this, [this] { reloadList(); });
}

QString TfmEbcRptSelDateList::listSelect() const
{
    QString sql = baseListSelect();
    if (!m_showYear->isChecked())
        return sql;
    static const QString item = QStringLiteral("Cca.sCcaLDesc");
    const qsizetype at = sql.indexOf(item, 0, Qt::CaseInsensitive);
    if (at >= 0)
        sql.replace(at, item.size(), QStringLiteral("Cca.sCcaLDesc || ' - ' || Ans.sAnsAnnoDesc sCcaAnsDesc"));
    return sql;
}

// Causali with movements in the period: by movement or statement date, of the chosen kind
// (2 lists both).
const QString TfmEbsRptSelDateGrid::CausaliSql = QStringLiteral(
    "SELECT Cau.iCauId, Cau.sCauLDesc, Cau.sCauSDesc, Ans.sAnsAnnoDesc, Cau.lCauTipo,"
    " (SELECT SUM(Cca.FCCAIMPORTOIST) FROM TCauCca CauCca INNER JOIN TCca_CompCausali Cca ON (Cca.iCcaId = CauCca.iCcaId)"
    "   WHERE CauCca.iCauId = Cau.iCauId) fImportoCau"
    " FROM TCau_Causali Cau"
    " INNER JOIN VAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = Cau.dStart)"
    " WHERE EXISTS (SELECT 1 FROM TMvm_MovimentiCcp Mvm WHERE (Mvm.iCauId = Cau.iCauId)"
    "   AND ((Mvm.DMVMDATAMOV BETWEEN :dStart AND :dEnd) OR (Mvm.DMVMDATAEC BETWEEN :dStart AND :dEnd)))"
    " AND ((Cau.lCauTipo = :lCauTipo) OR (:lCauTipo = 2)) /*AND VERPTFILTER*/"
    " ORDER BY Cau.lCauTipo, Cau.sCauLDesc");

TfmEbsRptSelDateGrid::TfmEbsRptSelDateGrid(QSqlDatabase db, QWidget *parent) : TfmEbsRptSelDate(std::move(db), parent)
{
    m_kind = new QComboBox(this);
    m_kind->addItems({QStringLiteral("ENTRATE"), QStringLiteral("USCITE")});
    m_kind->setObjectName(QStringLiteral("cbEntrateUscite"));
    form()->addRow(QStringLiteral("&Tipo causali"), m_kind);
    setSelectText(CausaliSql);
    setColumns({{QStringLiteral("sCauSDesc"), QStringLiteral("Codice")},
                {QStringLiteral("sCauLDesc"), QStringLiteral("Descrizione")},
                {QStringLiteral("sAnsAnnoDesc"), QStringLiteral("Anno scolastico")},
                {QStringLiteral("fImportoCau"), QStringLiteral("Importo")}});
    setKeyField(QStringLiteral("iCauId"), QStringLiteral("Cau.iCauId"));
    connect(m_kind, &QComboBox::currentIndexChanged, this, [this] { reloadCausali(); });
    connect(this, &TfmEbsRptSelDate::datesChanged, this, [this] { reloadCausali(); });
}

void TfmEbsRptSelDateGrid::prepareShow()
{
    reloadCausali();
}

void TfmEbsRptSelDateGrid::reloadCausali()
{
    setParam(QStringLiteral("dStart"), dStart);
    setParam(QStringLiteral("dEnd"), dEnd);
    setParam(QStringLiteral("lCauTipo"), m_kind->currentIndex());
    reload();
}

TfmEbcRptSelDateGrid::TfmEbcRptSelDateGrid(QSqlDatabase db, QWidget *parent) : TfmEbsRptSelDateGrid(std::move(db), parent)
{
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    m_statement = new QRadioButton(QStringLiteral("Data Estratto Conto"), box);
    m_movement = new QRadioButton(QStringLiteral("Data Movimento"), box);
    m_statement->setChecked(true);
    row->addWidget(m_statement);
    row->addWidget(m_movement);
    row->addStretch();
    form()->addRow(QStringLiteral("Filtra per"), box);
}

int TfmEbcRptSelDateGrid::lDataEstr() const
{
    return m_statement->isChecked() ? 1 : 0;
}

TfmEbsRptSelDateCheck::TfmEbsRptSelDateCheck(QSqlDatabase db, QWidget *parent) : TfmEbsRptSelDate(std::move(db), parent)
{
    setWindowTitle(QStringLiteral("Seleziona date"));
    m_outgo = new QCheckBox(QStringLiteral("Stampa i movimenti in uscita"), this);
    form()->addRow(m_outgo);
}

int TfmEbsRptSelDateCheck::lMvmTipo() const
{
    return m_outgo->isChecked() ? 1 : 0;
}

// Components of the financial year and the one before, each with its code and school year.
const QString TfmEbcRptSelCcaAlu::ComponentsSql = QStringLiteral(
    "SELECT DISTINCT Cca.iCcaId, Tcc.iTccId_P,"
    " Cca.sCcaLDesc || ' (' || COALESCE(Cca.sCcaSDesc, '') || ') - ' || Ans.sAnsAnnoDesc sCcaDesc"
    " FROM TCca_CompCausali Cca"
    " INNER JOIN TTcc_TipoCompCaus Tcc ON (Tcc.iTccId = Cca.iTccId)"
    " INNER JOIN VAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = Cca.dStart)"
    " WHERE (Cca.DDELETE IS NULL) AND (Ans.iAnsId = :iAnfId OR Ans.iAnsId = :iAnfId - 1)"
    " ORDER BY 2, 3");

// Movements of the account in the period that carry a ticked component; %1: the exclusions.
const QString TfmEbcRptSelCcaAlu::MovementsSql = QStringLiteral(
    "SELECT Mvm.iMvmId, (SELECT Bd.sBenefDescr FROM PEbc_BenefDescr(Mvm.iAnaId, Mvm.iBenId) Bd) SBENEFDESCR,"
    " VCls.sClsSDesc, Mvm.dMvmDataEc, Mvm.fMvmImporto"
    " FROM TMvm_MovimentiCcp Mvm"
    " LEFT OUTER JOIN TSit_Situazioni Sit ON (Sit.iSitId = Mvm.iSitId)"
    " LEFT OUTER JOIN TClsPst ClsPst ON (ClsPst.iClsPstId = Sit.iClsPstId)"
    " LEFT OUTER JOIN VCls_Classi VCls ON (VCls.iClsId = ClsPst.iClsId)"
    " WHERE (Mvm.iSprIstId = :iSprIstId) AND (Mvm.dMvmDataEc BETWEEN :dInizio AND :dFine)"
    " AND EXISTS (SELECT 1 FROM TMvmCca MvmCca WHERE (MvmCca.iMvmId = Mvm.iMvmId) AND (MvmCca.fMvmCcaImporto > 0)%1)"
    " /*AND VERPTFILTER*/"
    " ORDER BY 2, 3");

TfmEbcRptSelCcaAlu::TfmEbcRptSelCcaAlu(QSqlDatabase db, QWidget *parent) : TfmEbsRptSelDateList(std::move(db), parent)
{
    setWindowTitle(QStringLiteral("Seleziona Componenti e alunni"));
    setListSelect(ComponentsSql, {{QStringLiteral("iAnfId"), contextInt("EBCP_AnfId")}});
    setColumns({{QStringLiteral("SBENEFDESCR"), QStringLiteral("Alunno")}, {QStringLiteral("sClsSDesc"), QStringLiteral("Classe")}});
    setKeyField(QStringLiteral("iMvmId"), QStringLiteral("Mvm.iMvmId"));
    setSelectText(MovementsSql);
    connect(this, &TfmEbsRptSelDateList::componentsChanged, this, [this] { reloadMovements(); });
    connect(this, &TfmEbsRptSelDate::datesChanged, this, [this] { reloadMovements(); });
}

void TfmEbcRptSelCcaAlu::prepareShow()
{
    TfmEbsRptSelDateList::prepareShow();
    reloadMovements();
}

void TfmEbcRptSelCcaAlu::reloadMovements()
{
    setSelectText(MovementsSql.arg(exclusions()));
    setParam(QStringLiteral("iSprIstId"), contextInt("EBCP_SprIstId"));
    setParam(QStringLiteral("dInizio"), dStart);
    setParam(QStringLiteral("dFine"), dEnd);
    reload();
}

void fillPaymentMethods(QComboBox *combo, QSqlDatabase db)
{
    fillCombo(combo, db, QStringLiteral("SELECT iMpgId, sMpgDescL FROM TMpg_ModPagam"));
    combo->insertItem(0, QStringLiteral("Tutti"), 0);
    combo->setCurrentIndex(0);
}

TfmEbcRptSelData::TfmEbcRptSelData(QSqlDatabase db, QWidget *parent) : TfmEbsRptSelDate(std::move(db), parent)
{
    setWindowTitle(QStringLiteral("Seleziona data"));
    relabel(dateForm(), startEdit(), QStringLiteral("Seleziona data scadenza dei movimenti &dal"));
    relabel(dateForm(), endEdit(), QStringLiteral("Seleziona data scadenza dei movimenti &Al"));
    m_method = new QComboBox(this);
    fillPaymentMethods(m_method, this->db());
    dateForm()->addRow(QStringLiteral("&Modalità di pagamento"), m_method);
    okButton()->setText(QStringLiteral("&OK"));
}

bool TfmEbcRptSelData::validate()
{
    if (!TfmEbsRptSelDate::validate())
        return false;
    dDal = dStart;
    dAl = dEnd;
    iMpgId = m_method->currentData().toInt();
    return true;
}

const QString TfmEbcElencoXClassi::ClassesSql = QStringLiteral(
    "SELECT VCls.iClsId, VCls.sClsSDesc, VCls.sClsDesc, Sed.sSedNomLDesc ssednomldesc"
    " FROM VCls_Classi VCls LEFT OUTER JOIN TSed_Sedi Sed ON (Sed.iSedId = VCls.iSedId)"
    " WHERE (VCls.iAnsId = :iAnsId) /*AND VERPTFILTER*/ ORDER BY VCls.sClsSDesc");

TfmEbcElencoXClassi::TfmEbcElencoXClassi(QSqlDatabase db, QWidget *parent) : TfmEbsRptSelDate(std::move(db), parent)
{
    setWindowTitle(QStringLiteral("Elenco Classi"));
    iAnsId = contextInt("VEUP_AnsId");
    m_method = new QComboBox(this);
    fillPaymentMethods(m_method, this->db());
    // Method first, then the due dates, as the office reads the list.
    dateForm()->insertRow(0, QStringLiteral("&Modalità di pagamento:"), m_method);
    relabel(dateForm(), startEdit(), QStringLiteral("Data scadenza &Dal:"));
    relabel(dateForm(), endEdit(), QStringLiteral("Data scadenza &Al:"));
    setSelectText(ClassesSql);
    setColumns({{QStringLiteral("sClsSDesc"), QStringLiteral("Codice")},
                {QStringLiteral("sClsDesc"), QStringLiteral("Classe")},
                {QStringLiteral("ssednomldesc"), QStringLiteral("Sede")}});
    setKeyField(QStringLiteral("iClsId"), QStringLiteral("VCls.iClsId"));
}

int TfmEbcElencoXClassi::iMpgId() const
{
    return m_method->currentData().toInt();
}

void TfmEbcElencoXClassi::prepareShow()
{
    setParam(QStringLiteral("iAnsId"), iAnsId);
    reload();
}

} // namespace ccp::reports
