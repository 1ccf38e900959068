#include "EbsFRptSelAnnoScol.h"

#include "EbsMReport.h"
#include "SqlQuery.h"
#include "TVeDBDateEdit.h"
#include "TVeGlobalValues.h"
#include "VeMessageDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QShowEvent>

namespace ccp::reports {

namespace {

void select(QComboBox *combo, const QVariant &value)
{
    const int i = combo->findData(value);
    if (i >= 0)
        combo->setCurrentIndex(i);
}

const QString noCausale = QStringLiteral("Nessuna causale selezionata: impossibile procedere.");

} // namespace

TfmVeuSelRptAnnoScol::TfmVeuSelRptAnnoScol(QSqlDatabase db, QWidget *parent) : TfmVeMultiSelect(std::move(db), parent)
{
    m_year = new QComboBox(this);
    m_year->setObjectName(QStringLiteral("cbAnnoScol"));
    fillCombo(m_year, this->db(), QStringLiteral("SELECT iAnsId, sAnsAnnoDesc FROM VAns_AnniScolast ORDER BY iAnsValore DESC"));
    setAnsId(contextInt("VEUP_AnsId"));
    form()->addRow(QStringLiteral("&Anno scolastico"), m_year);
    connect(m_year, &QComboBox::currentIndexChanged, this, [this] {
        yearChanged();
        reloadGrid();
    });
}

void TfmVeuSelRptAnnoScol::setAnsId(int ansId)
{
    select(m_year, ansId);
}

int TfmVeuSelRptAnnoScol::ansId() const
{
    return m_year->currentData().toInt();
}

QString TfmVeuSelRptAnnoScol::yearText() const
{
    return m_year->currentText();
}

void TfmVeuSelRptAnnoScol::showEvent(QShowEvent *event)
{
    TfmVeMultiSelect::showEvent(event);
    if (!event->spontaneous())
        reloadGrid();
}

void TfmVeuSelRptAnnoScol::reloadGrid()
{
    setParam(QStringLiteral("iAnsId"), ansId());
    reload();
}

TfmEbsSelRptAnnoScolCau::TfmEbsSelRptAnnoScolCau(QSqlDatabase db, QWidget *parent) : TfmVeuSelRptAnnoScol(std::move(db), parent)
{
    m_income = new QCheckBox(QStringLiteral("Causali di entrata"), this);
    m_income->setChecked(true);
    setAnsId(contextInt("EBSP_CauAnsId"));
    form()->addRow(m_income);
    connect(m_income, &QCheckBox::clicked, this, [this] { reloadGrid(); });
}

int TfmEbsSelRptAnnoScolCau::lCauTipo() const
{
    return m_income->isChecked() ? 0 : 1;
}

void TfmEbsSelRptAnnoScolCau::reloadGrid()
{
    setParam(QStringLiteral("lCauTipo"), lCauTipo());
    TfmVeuSelRptAnnoScol::reloadGrid();
}

const QString TfmEbsRptSelAluCau::OtherPeopleSql = QStringLiteral(
    "SELECT Ana.iAnaId, Ana.sAnaCognome, Ana.sAnaNome, AnaCag.sAnaCagCode, '8' AS iSitId "
    " FROM TAna_Anagrafiche Ana INNER JOIN TAnaCag AnaCag ON (AnaCag.iAnaId = Ana.iAnaId) WHERE (AnaCag.iCagId = :iCagId)");

TfmEbsRptSelAluCau::TfmEbsRptSelAluCau(QSqlDatabase db, bool allCausali, QWidget *parent)
    : TfmVeuSelRptAnnoScol(std::move(db), parent), m_allCausali(allCausali)
{
    setWindowTitle(QStringLiteral("Selezione alunni"));
    m_causali = new QComboBox(this);
    m_causali->setMinimumWidth(460);
    m_institute = new QComboBox(this);
    m_class = new QComboBox(this);
    m_account = new QComboBox(this);
    m_category = new QComboBox(this);
    m_new = new QCheckBox(QStringLiteral("Alunni &nuovi iscritti"), this);
    m_attending = new QCheckBox(QStringLiteral("Solo frequentanti"), this);
    m_barCodes = new QCheckBox(QStringLiteral("Stampa codici a &barre"), this);
    m_erario = new QCheckBox(QStringLiteral("Stampa importo &erario"), this);
    form()->addRow(QStringLiteral("&Causale"), m_causali);
    form()->addRow(QStringLiteral("&Istituto"), m_institute);
    form()->addRow(QStringLiteral("Classe"), m_class);
    form()->addRow(QStringLiteral("Numero conto"), m_account);
    form()->addRow(QStringLiteral("Beneficiari"), m_category);
    auto *boxes = new QWidget(this);
    auto *row = new QHBoxLayout(boxes);
    row->setContentsMargins(0, 0, 0, 0);
    for (QCheckBox *c : {m_new, m_attending, m_barCodes, m_erario})
        row->addWidget(c);
    row->addStretch();
    form()->addRow(boxes);

    const bool offerBarCodes = contextInt("EBSP_PrintBarCode") != 0;
    m_barCodes->setVisible(offerBarCodes);
    m_barCodes->setChecked(offerBarCodes);
    setOptions(true, false);

    fillCombo(m_account, this->db(), QStringLiteral(
        "SELECT iSprIstId, sSprIstNumCc FROM TSprIst WHERE (iSprIstPgm = 2) AND (DDELETE IS NULL)"
        " AND ((dStart IS NULL) OR (:dLast IS NULL) OR (dStart <= :dLast)) AND ((dEnd IS NULL) OR (:dFirst IS NULL) OR (dEnd >= :dFirst))"
        " ORDER BY sSprIstNumCc"),
        {{QStringLiteral("dFirst"), contextDate("INIZIOUTENTE")}, {QStringLiteral("dLast"), contextDate("FINEUTENTE")}});
    // The working account by its number; the first one when it is not among them.
    auto number = SqlQuery::scalar(this->db(), QStringLiteral("SELECT sSprIstNumCc FROM TSprIst WHERE iSprIstId = :id"),
                                   {{QStringLiteral("id"), contextInt("EBCP_SprIstId")}});
    if (number && number.value().isValid())
        m_account->setCurrentIndex(std::max(0, m_account->findText(number.value().toString().trimmed())));

    fillCombo(m_category, this->db(), QStringLiteral("SELECT iCbmId, sCbmDesc  FROM TCbm_CatBenefMvm  WHERE (iCbmId = 1) OR (iCbmId = 6);"));
    m_category->setCurrentIndex(0);

    setColumns({{QStringLiteral("sAnaCognome"), QStringLiteral("Cognome")},
                {QStringLiteral("sAnaNome"), QStringLiteral("Nome")},
                {QStringLiteral("sAnaCagCode"), QStringLiteral("Codice anagrafico")},
                {QStringLiteral("sClsSDesc"), QStringLiteral("Classe")}});
    setSortOrders({QStringLiteral("sAnaCognome;sAnaNome"), QStringLiteral("sClsSDesc;sAnaCognome;sAnaNome")});
    yearChanged();

    connect(m_institute, &QComboBox::currentIndexChanged, this, [this] {
        loadClasses();
        reloadGrid();
    });
    connect(m_class, &QComboBox::currentIndexChanged, this, [this] { reloadGrid(); });
    connect(m_new, &QCheckBox::toggled, this, [this](bool on) {
        m_class->setDisabled(on);
        reloadGrid();
    });
    connect(m_attending, &QCheckBox::toggled, this, [this] { reloadGrid(); });
    connect(m_category, &QComboBox::currentIndexChanged, this, [this] {
        const bool pupils = category() == PupilsCategory;
        for (QWidget *w : std::initializer_list<QWidget *>{m_class, m_institute, m_attending, m_new})
            w->setEnabled(pupils);
        if (pupils)
            m_class->setDisabled(m_new->isChecked());
        reloadGrid();
    });
}

void TfmEbsRptSelAluCau::setOptions(bool showNewEnrolled, bool showErario)
{
    m_new->setVisible(showNewEnrolled);
    if (!showNewEnrolled)
        m_new->setChecked(false);
    m_erario->setVisible(showErario);
    if (!showErario)
        m_erario->setChecked(false);
}

void TfmEbsRptSelAluCau::yearChanged()
{
    loadCausali();
    loadInstitutes();
    loadClasses();
}

void TfmEbsRptSelAluCau::loadCausali()
{
    fillCombo(m_causali, db(), QStringLiteral(
        "SELECT Cau.iCauId, Cau.sCauLDesc || ' (A.S.: ' || Ans.iAnsValore || '/' || (Ans.iAnsValore + 1) || ')'"
        " FROM TCau_Causali Cau INNER JOIN TAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = Cau.dStart)"
        " INNER JOIN TAns_AnniScolast Sel ON (Sel.iAnsId = :iAnsId)"
        " WHERE (Cau.lCauTipo = 0) AND (Cau.DDELETE IS NULL) AND (Ans.iAnsValore IN (Sel.iAnsValore, Sel.iAnsValore + 1))"
        " AND ((Cau.lCauRette = 1) OR (%1 = 1)) ORDER BY Ans.iAnsValore, Cau.sCauLDesc").arg(m_allCausali ? 1 : 0),
        {{QStringLiteral("iAnsId"), ansId()}});
    // Nothing chosen until the user picks one.
    m_causali->insertItem(0, QString(), QVariant());
    m_causali->setCurrentIndex(0);
}

void TfmEbsRptSelAluCau::loadInstitutes()
{
    const int keep = m_institute->count() > 0 ? dwgId() : contextInt("VEUP_DwgId");
    fillCombo(m_institute, db(), QStringLiteral(
        "SELECT DISTINCT Dow.iDwgId, Dow.sDwgSDesc FROM VDow_DataOwner Dow"
        " INNER JOIN TAns_AnniScolast Ans ON (Ans.iAnsId = :iAnsId)"
        " WHERE ((Dow.dStart_Dwg IS NULL) OR (Dow.dStart_Dwg <= Ans.dAnsVeltoInizio))"
        " AND ((Dow.dEnd_Dwg IS NULL) OR (Dow.dEnd_Dwg >= Ans.dAnsVeltoInizio)) ORDER BY 2"),
        {{QStringLiteral("iAnsId"), ansId()}});
    const QSignalBlocker block(m_institute);
    select(m_institute, keep);
}

void TfmEbsRptSelAluCau::loadClasses()
{
    fillCombo(m_class, db(), QStringLiteral(
        "SELECT iClsId, TRIM(sClsDesc) || ' ' || COALESCE(sSedNomSDesc, ''), sClsSDesc FROM VCls_Classi"
        " WHERE (iDwgId = :iDwgId) AND (iAnsId = :iAnsId) ORDER BY sClsSDesc"),
        {{QStringLiteral("iDwgId"), dwgId()}, {QStringLiteral("iAnsId"), ansId()}});
    const QSignalBlocker block(m_class);
    m_class->insertItem(0, QStringLiteral("Tutte"), QStringLiteral("%"));
    m_class->setCurrentIndex(0);
}

void TfmEbsRptSelAluCau::reloadGrid()
{
    QVariantMap params;
    if (category() == PupilsCategory) {
        setSelectText(RptSql::withMyFilter(RptSql::pupils(m_new->isChecked()), m_attending->isChecked()));
        setKeyField(QStringLiteral("iSitId"), QStringLiteral("Sit.iSitId"));
        setParam(QStringLiteral("iDwgId"), dwgId());
        setParam(QStringLiteral("iClsId"), clsId());
    } else {
        setSelectText(OtherPeopleSql);
        setKeyField(QStringLiteral("iAnaId"), QStringLiteral("Ana.iAnaId"));
        setParam(QStringLiteral("iCagId"), category());
    }
    TfmVeuSelRptAnnoScol::reloadGrid();
}

int TfmEbsRptSelAluCau::causaleId() const
{
    return m_causali->currentData().toInt();
}

int TfmEbsRptSelAluCau::dwgId() const
{
    return m_institute->currentData().toInt();
}

QString TfmEbsRptSelAluCau::clsId() const
{
    return m_class->currentIndex() <= 0 ? QStringLiteral("%") : m_class->currentData().toString();
}

QString TfmEbsRptSelAluCau::clsSDesc() const
{
    if (m_class->currentIndex() <= 0)
        return {};
    auto v = SqlQuery::scalar(db(), QStringLiteral("SELECT sClsSDesc FROM VCls_Classi WHERE iClsId = :id"),
                              {{QStringLiteral("id"), m_class->currentData()}});
    return v ? v.value().toString().trimmed() : QString();
}

int TfmEbsRptSelAluCau::category() const
{
    return m_category->currentData().toInt();
}

QString TfmEbsRptSelAluCau::accountNumber() const
{
    return m_account->currentText();
}

bool TfmEbsRptSelAluCau::barCodes() const
{
    return !m_barCodes->isHidden() && m_barCodes->isChecked();
}

bool TfmEbsRptSelAluCau::erario() const
{
    return !m_erario->isHidden() && m_erario->isChecked();
}

bool TfmEbsRptSelAluCau::validate()
{
    if (causaleId() == 0) {
        fw::showWarning(noCausale);
        m_causali->setFocus();
        return false;
    }
    return TfmVeuSelRptAnnoScol::validate();
}

const QString TfmEbcSelRptClsCau::YearsSql = QStringLiteral(
    "SELECT DISTINCT VAns.iAnsId, VAns.sAnsAnnoDesc FROM VAns_AnniScolast VAns INNER JOIN TCau_Causali Cau"
    " ON (Cau.dStart = VAns.dAnsVeltoInizio) AND (Cau.dEnd = VAns.dAnsVeltoFine) ORDER BY VAns.iAnsValore");

const QString TfmEbcSelRptClsCau::ClassesSql = QStringLiteral(
    "SELECT VCls.iClsId, VCls.sClsSDesc, VCls.sClsDesc FROM VCls_Classi VCls"
    " WHERE (VCls.iAnsId = :iAnsId) /*AND VERPTFILTER*/ ORDER BY VCls.sClsSDesc");

TfmEbcSelRptClsCau::TfmEbcSelRptClsCau(QSqlDatabase db, QWidget *parent) : TfmVeMultiSelect(std::move(db), parent)
{
    setWindowTitle(QStringLiteral("Selezione classi - causali"));
    auto *group = new QGroupBox(QStringLiteral("Causale"), this);
    auto *gf = new QFormLayout(group);
    m_year = new QComboBox(group);
    m_causale = new QComboBox(group);
    m_causale->setMinimumWidth(380);
    m_date = new fw::TVeDBDateEdit(group);
    m_date->setMaximumWidth(120);
    m_date->setDate(QDate::currentDate());
    gf->addRow(QStringLiteral("Anno scolastico causale"), m_year);
    gf->addRow(QStringLiteral("Causale"), m_causale);
    gf->addRow(QStringLiteral("Movimenti alla data"), m_date);
    auto *kinds = new QGroupBox(QStringLiteral("Movimenti"), group);
    auto *kr = new QHBoxLayout(kinds);
    m_done = new QButtonGroup(this);
    const QStringList texts = {QStringLiteral("Effettuati"), QStringLiteral("Non effettuati"), QStringLiteral("Tutti")};
    for (int i = 0; i < texts.size(); ++i) {
        auto *b = new QRadioButton(texts[i], kinds);
        m_done->addButton(b, i);
        kr->addWidget(b);
    }
    m_done->button(0)->setChecked(true);
    gf->addRow(kinds);
    form()->addRow(group);

    fillCombo(m_year, this->db(), YearsSql);
    select(m_year, contextInt("EBSP_CauAnsId"));
    setSelectText(ClassesSql);
    setColumns({{QStringLiteral("sClsSDesc"), QStringLiteral("Codice")}, {QStringLiteral("sClsDesc"), QStringLiteral("Classe")}});
    setKeyField(QStringLiteral("iClsId"), QStringLiteral("VCls.iClsId"));
    yearChanged();
    connect(m_year, &QComboBox::currentIndexChanged, this, [this] {
        yearChanged();
        reload();
    });
}

void TfmEbcSelRptClsCau::yearChanged()
{
    fillCombo(m_causale, db(), QStringLiteral(
        "SELECT Cau.iCauId, Cau.sCauLDesc FROM TCau_Causali Cau"
        " INNER JOIN VAns_AnniScolast Ans ON (Ans.dAnsVeltoInizio = Cau.dStart) AND (Ans.dAnsVeltoFine = Cau.dEnd)"
        " WHERE (Ans.iAnsId = :iAnsId) AND (Cau.lCauTipo = 0) AND (Cau.DDELETE IS NULL) ORDER BY Cau.sCauLDesc"),
        {{QStringLiteral("iAnsId"), ansId()}});
    setParam(QStringLiteral("iAnsId"), ansId());
}

void TfmEbcSelRptClsCau::showEvent(QShowEvent *event)
{
    TfmVeMultiSelect::showEvent(event);
    if (!event->spontaneous())
        reload();
}

int TfmEbcSelRptClsCau::ansId() const
{
    return m_year->currentData().toInt();
}

int TfmEbcSelRptClsCau::causaleId() const
{
    return m_causale->currentData().toInt();
}

QDate TfmEbcSelRptClsCau::dataMov() const
{
    return m_date->date();
}

int TfmEbcSelRptClsCau::effettuato() const
{
    return m_done->checkedId();
}

void TfmEbcSelRptClsCau::setEffettuato(int choice)
{
    if (auto *b = m_done->button(choice))
        b->setChecked(true);
}

QString TfmEbcSelRptClsCau::title() const
{
    return m_causale->currentText() + QStringLiteral(" dell'anno ") + m_year->currentText();
}

bool TfmEbcSelRptClsCau::validate()
{
    if (!m_date->commitText())
        return false;
    if (causaleId() == 0) {
        fw::showWarning(noCausale);
        m_causale->setFocus();
        return false;
    }
    if (!m_date->date().isValid()) {
        fw::showWarning(QStringLiteral("Indicare la data dei movimenti."));
        m_date->setFocus();
        return false;
    }
    return TfmVeMultiSelect::validate();
}

} // namespace ccp::reports
