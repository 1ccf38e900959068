#include "AbiRBen.h"

#include "AbiFCtrlCode.h"
#include "AbiFSearchLoco.h"
#include "AbiMBen.h"
#include "TVeDBCheckBox.h"
#include "TVeDBDateEdit.h"
#include "TVeDBEdit.h"
#include "TVeDBLookupEdit.h"
#include "TVeDBMemo.h"
#include "TVeDataSource.h"
#include "TVeQueryCollection.h"
#include "TfmVeSearch.h"
#include "VeMessageDlg.h"

#include <QButtonGroup>
#include <QPointer>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

namespace ccp::ben {

namespace {

fw::TVeDBEdit *textEdit(const char *name, int maxLength, bool upper = false)
{
    auto *e = new fw::TVeDBEdit;
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(maxLength);
    e->setUpperCase(upper);
    return e;
}

fw::TVeDBCheckBox *checkBox(const char *name, const QString &caption)
{
    auto *c = new fw::TVeDBCheckBox(caption);
    c->setObjectName(QString::fromLatin1(name));
    return c;
}

// Places of birth: municipality, province and state.
const QString PlacesSql = QStringLiteral(
    "SELECT P.ISRPCID, CAST(P.SCOMDESC || COALESCE(' (' || P.SPROSIGLA || ')', '') || COALESCE(' - ' || P.SSTALDESC, '')"
    " AS VARCHAR(200)) AS COMUNE, P.SCOMDESC, P.SPROSIGLA, P.ISTAID FROM VSRPC P"
    " WHERE P.DDELETE IS NULL AND P.SCOMDESC IS NOT NULL AND ##WHERE##");

} // namespace

TfrBeneficiari::TfrBeneficiari(TdmBeneficiari &dm, QWidget *parent)
    : fw::TVeEditFrame(dm.xqcBeneficiari(), parent), m_dm(dm)
{
    setObjectName(QStringLiteral("frBeneficiari"));
    setToolTip(QStringLiteral("Beneficiari"));
    model()->setColumns({
        {QStringLiteral("SBENRAGSOC"), QStringLiteral("Beneficiario"), 340, {}, {}},
        {QStringLiteral("SBENCODFISCALE"), QStringLiteral("Codice fiscale"), 150, {}, {}},
        {QStringLiteral("SBENPARTITAIVA"), QStringLiteral("Partita I.V.A."), 130, {}, {}},
        {QStringLiteral("SRAPPRESENTANTE"), QStringLiteral("Rappresentante"), 100, {}, {}},
        {QStringLiteral("VUOTO"), QStringLiteral("Privacy"), 60, Qt::AlignCenter, {}},
        {QStringLiteral("DEND"), QStringLiteral("Storicizzato il"), 100, {}, {}},
    });
    for (int i = 0; i < model()->columns().size(); ++i)
        grid()->setColumnWidth(i, model()->columns()[i].width);

    // "&Persona": legal or natural.
    auto *kind = new QWidget;
    auto *kindRow = new QHBoxLayout(kind);
    kindRow->setContentsMargins(0, 0, 0, 0);
    rbGiuridica = new QRadioButton(QStringLiteral("Giuridica (società/enti...)"));
    rbGiuridica->setObjectName(QStringLiteral("rbGiuridica"));
    rbFisica = new QRadioButton(QStringLiteral("Fisica (persone/ditte individuali...)"));
    rbFisica->setObjectName(QStringLiteral("rbFisica"));
    auto *group = new QButtonGroup(this);
    group->addButton(rbGiuridica, 0);
    group->addButton(rbFisica, 1);
    rbGiuridica->setChecked(true);
    kindRow->addWidget(rbGiuridica);
    kindRow->addWidget(rbFisica);
    kindRow->addStretch(1);
    detailLayout()->addRow(QStringLiteral("&Persona"), kind);
    connect(group, &QButtonGroup::idClicked, this, [this](int id) {
        if (mode() != 0)
            applyKind(id == 1);
    });

    xdeRagSoc = textEdit("xdeRagSoc", 120);
    addField(QStringLiteral("Ragione &sociale"), xdeRagSoc, QStringLiteral("SBENRAGSOC"));
    xdeCognome = textEdit("xdeCognome", 60);
    addField(QStringLiteral("C&ognome"), xdeCognome, QStringLiteral("SANACOGNOME"));
    m_personRows << detailLayout()->rowCount() - 1;
    xdeNome = textEdit("xdeNome", 60);
    addField(QStringLiteral("&Nome"), xdeNome, QStringLiteral("SANANOME"));
    m_personRows << detailLayout()->rowCount() - 1;
    xddNascita = new fw::TVeDBDateEdit;
    xddNascita->setObjectName(QStringLiteral("xddNascita"));
    addField(QStringLiteral("&Data Nascita"), xddNascita, QStringLiteral("DANANASCITA"));
    m_personRows << detailLayout()->rowCount() - 1;
    xdlLuogoNascita = new fw::TVeDBLookupEdit(dm.db());
    xdlLuogoNascita->setObjectName(QStringLiteral("xdlLuogoNascita"));
    xdlLuogoNascita->setSearchQuery(PlacesSql);
    xdlLuogoNascita->setKeyField(QStringLiteral("P.ISRPCID"));
    xdlLuogoNascita->setListField(QStringLiteral("COMUNE"));
    xdlLuogoNascita->setSearchField(QStringLiteral("P.SCOMDESC"));
    xdlLuogoNascita->setSearchTitle(QStringLiteral("Comuni"));
    xdlLuogoNascita->setSearchColumns({fw::SearchColumn::make(QStringLiteral("ISRPCID"), QString(), false, 0, false),
                                       fw::SearchColumn::make(QStringLiteral("COMUNE"), QStringLiteral("Comune"), true, 320),
                                       fw::SearchColumn::make(QStringLiteral("SCOMDESC"), QString(), false, 0, false),
                                       fw::SearchColumn::make(QStringLiteral("SPROSIGLA"), QStringLiteral("Provincia"), true, 70),
                                       fw::SearchColumn::make(QStringLiteral("ISTAID"), QString(), false, 0, false)});
    usePlaceSearch(xdlLuogoNascita, dm.db());
    addField(QStringLiteral("&Luogo Nascita"), xdlLuogoNascita, QStringLiteral("ANAISRPCID"));
    m_personRows << detailLayout()->rowCount() - 1;
    btnCercaPersona = new QPushButton(QStringLiteral("Cerca tra le &anagrafiche..."));
    btnCercaPersona->setObjectName(QStringLiteral("btnCercaPersona"));
    detailLayout()->addRow(QString(), btnCercaPersona);
    m_personRows << detailLayout()->rowCount() - 1;
    connect(btnCercaPersona, &QPushButton::clicked, this, [this] { choosePerson(); });

    xdeCodFiscale = textEdit("xdeCodFiscale", 20);
    addField(QStringLiteral("Cod. &Fiscale"), xdeCodFiscale, QStringLiteral("SBENCODFISCALE"));
    xdmNote = new fw::TVeDBMemo;
    xdmNote->setObjectName(QStringLiteral("xdmNote"));
    xdmNote->setMaximumHeight(60);
    addField(QStringLiteral("No&te"), xdmNote, QStringLiteral("SBENDESC"));
    xckAvviso = checkBox("xckAvviso", QStringLiteral("&Avviso di pagamento"));
    addField(QString(), xckAvviso, QStringLiteral("LBENAVVPAGAMENTO"));
    xckPrivacy = checkBox("xckPrivacy", QStringLiteral("&Privacy"));
    addField(QString(), xckPrivacy, QStringLiteral("LBENPRIVACY"));
    xckEstero = checkBox("xckEstero", QStringLiteral("Beneficiario Estero"));
    addField(QString(), xckEstero, QStringLiteral("LBENESTERO"));
    xdePartitaIva = textEdit("xdePartitaIva", 28);
    addField(QStringLiteral("Partita &IVA"), xdePartitaIva, QStringLiteral("SBENPARTITAIVA"));
    xdeStato = textEdit("xdeStato", 2, true);
    xdeStato->setCharFilter(fw::CharFilters::letters);
    addField(QStringLiteral("Stato (Partita IVA)"), xdeStato, QStringLiteral("SBENSTATO"));
    xckTracciabilita = checkBox("xckTracciabilita", QStringLiteral("Assolto l'obbligo di tracciabilità dei flussi finanziari"));
    addField(QString(), xckTracciabilita, QStringLiteral("LBENOBBLTRACC"));
    xckNonInRegola = checkBox("xckNonInRegola", QStringLiteral("Adempimenti fiscali: Non in Regola"));
    addField(QString(), xckNonInRegola, QStringLiteral("LBENADEMPFISCNOREGOLA"));
    xddUltimoControllo = new fw::TVeDBDateEdit;
    xddUltimoControllo->setObjectName(QStringLiteral("xddUltimoControllo"));
    addField(QStringLiteral("Data ultimo controllo"), xddUltimoControllo, QStringLiteral("DBENADEMPFISCDATA"));
    xckStoricizza = checkBox("xckStoricizza", QStringLiteral("Storicizzare Beneficiario"));
    addField(QString(), xckStoricizza, QStringLiteral("LBENEND"));
    if (dm.publisherMode()) {
        setToolTip(QStringLiteral("Editori"));
        model()->setColumns([this] {
            auto columns = model()->columns();
            columns[0].caption = QStringLiteral("Ragione sociale");
            return columns;
        }());
        xckEditore = checkBox("xckEditore", QStringLiteral("&Editore"));
        addField(QString(), xckEditore, QStringLiteral("LEDITORE"));
        xdlCodAie = new fw::TVeDBLookupEdit(dm.db());
        xdlCodAie->setObjectName(QStringLiteral("xdlCodAie"));
        xdlCodAie->setSearchQuery(QStringLiteral(
            "SELECT E.IEDIID, E.SEDIDESCS, E.SEDIDESCL FROM TEDI_EDITORI E WHERE E.DDELETE IS NULL AND ##WHERE##"));
        xdlCodAie->setKeyField(QStringLiteral("E.IEDIID"));
        xdlCodAie->setListField(QStringLiteral("SEDIDESCS"));
        xdlCodAie->setDescriptionField(QStringLiteral("SEDIDESCL"));
        xdlCodAie->setSearchTitle(QStringLiteral("Codici AIE"));
        xdlCodAie->setSearchColumns({fw::SearchColumn::make(QStringLiteral("IEDIID"), QString(), false, 0, false),
                                     fw::SearchColumn::make(QStringLiteral("SEDIDESCS"), QStringLiteral("Codice"), true, 90),
                                     fw::SearchColumn::make(QStringLiteral("SEDIDESCL"), QStringLiteral("Editore"), true, 320)});
        addField(QStringLiteral("Cod. A&IE"), xdlCodAie, QStringLiteral("IEDIID"));
        // A publisher code only for a publisher.
        connect(xckEditore, &QCheckBox::toggled, this, [this](bool on) { xdlCodAie->setEnabled(on); });
    }
    // Name, fiscal code or VAT number: a click on the column's title sorts by it.
    grid()->setSortingEnabled(false);
    auto *header = grid()->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(0, Qt::AscendingOrder);
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) { sortBy(column); });

    // The module outlives its windows: the dialog's parent is this frame while it exists.
    if (!m_dm.chooseDuplicate) {
        m_dm.chooseDuplicate = [owner = QPointer<QWidget>(this)](const QList<PersonMatch> &matches) {
            return TfmCtrlCode::choose(matches, owner.data());
        };
    }
    OnPostExecute = [this] {
        if (dataSource()->commitControls() && m_dm.post())
            updateActions();
    };
    connect(this, &fw::TVeEditFrame::dataChanged, this, [this](const QString &field) {
        if (field.isEmpty() && mode() == 0)
            followRow();
    });
    connect(this, &fw::TVeEditFrame::modeChanged, this, [this](int m) {
        rbGiuridica->setEnabled(m != 0);
        rbFisica->setEnabled(m != 0);
        btnCercaPersona->setEnabled(m != 0 && isNatural());
        if (m == 1)
            setNatural(false);   // a new beneficiary starts as a legal person
        if (m == 0)
            followRow();
    });
    rbGiuridica->setEnabled(false);
    rbFisica->setEnabled(false);
    followRow();
}

void TfrBeneficiari::sortBy(int column)
{
    static const QStringList keys = {QStringLiteral("SBENRAGSOC;IBENID"), QStringLiteral("SBENCODFISCALE;SBENRAGSOC;IBENID"),
                                     QStringLiteral("SBENPARTITAIVA;SBENRAGSOC;IBENID")};
    auto *c = collection();
    if (column < 0 || column >= keys.size() || c->isEditing()) {
        grid()->horizontalHeader()->setSortIndicator(keys.indexOf(c->sortKeys()), Qt::AscendingOrder);
        return;
    }
    const QVariant key = c->currentKey();
    c->setSortKeys(keys[column]);
    grid()->horizontalHeader()->setSortIndicator(column, Qt::AscendingOrder);
    if (!c->isOpen())
        return;
    if (auto s = c->refresh(); !s)
        fw::showError(s.error());
    else if (key.isValid())
        (void)c->locate(key);
}

bool TfrBeneficiari::isNatural() const { return rbFisica->isChecked(); }

void TfrBeneficiari::setNatural(bool natural)
{
    (natural ? rbFisica : rbGiuridica)->setChecked(true);
    applyKind(natural);
}

void TfrBeneficiari::applyKind(bool natural)
{
    m_dm.setNatural(natural);
    for (int row : std::as_const(m_personRows))
        detailLayout()->setRowVisible(row, natural);
    btnCercaPersona->setEnabled(mode() != 0 && natural);
}

void TfrBeneficiari::followRow()
{
    m_dm.followCurrent();
    const bool natural = m_dm.isNatural();
    (natural ? rbFisica : rbGiuridica)->setChecked(true);
    for (int row : std::as_const(m_personRows))
        detailLayout()->setRowVisible(row, natural);
}

bool TfrBeneficiari::choosePerson()
{
    if (mode() == 0)
        return false;
    fw::TfmVeSearch search(m_dm.db(), this);
    search.setWindowTitle(QStringLiteral("Anagrafiche"));
    search.setSelectText(QStringLiteral(
        "SELECT ANA.IANAID, CAST(ANA.SANACOGNOME || ' ' || ANA.SANANOME AS VARCHAR(121)) AS BENEFICIARIO,"
        " ANA.SANACODFISCALE, ANA.SANACOGNOME, ANA.SANANOME, ANA.DANANASCITA, ANA.ISRPCID, ANA.SANACOGNOMENOMEIDX"
        " FROM TANA_ANAGRAFICHE ANA WHERE ANA.DDELETE IS NULL AND ANA.SANACODFISCALE IS NOT NULL"
        " AND ANA.SANACODFISCALE <> '' AND ##WHERE##"));
    search.setColumns({fw::SearchColumn::make(QStringLiteral("IANAID"), QString(), false, 0, false),
                       fw::SearchColumn::make(QStringLiteral("BENEFICIARIO"), QStringLiteral("Beneficiario"), true, 320),
                       fw::SearchColumn::make(QStringLiteral("SANACODFISCALE"), QStringLiteral("Codice fiscale"), true, 160),
                       fw::SearchColumn::make(QStringLiteral("SANACOGNOME"), QString(), false, 0, false),
                       fw::SearchColumn::make(QStringLiteral("SANANOME"), QString(), false, 0, false),
                       fw::SearchColumn::make(QStringLiteral("DANANASCITA"), QString(), false, 0, false),
                       fw::SearchColumn::make(QStringLiteral("ISRPCID"), QString(), false, 0, false),
                       fw::SearchColumn::make(QStringLiteral("SANACOGNOMENOMEIDX"), QString(), false, 0, false)});
    search.setSortKeys(QStringLiteral("SANACOGNOMENOMEIDX"));
    if (!search.openList() || search.exec() != QDialog::Accepted)
        return false;
    auto *c = collection();
    c->setFieldValue(QStringLiteral("SANACOGNOME"), search.chosenValue(QStringLiteral("SANACOGNOME")));
    c->setFieldValue(QStringLiteral("SANANOME"), search.chosenValue(QStringLiteral("SANANOME")));
    c->setFieldValue(QStringLiteral("DANANASCITA"), search.chosenValue(QStringLiteral("DANANASCITA")));
    c->setFieldValue(QStringLiteral("ANAISRPCID"), search.chosenValue(QStringLiteral("ISRPCID")));
    c->setFieldValue(QStringLiteral("SBENCODFISCALE"), search.chosenValue(QStringLiteral("SANACODFISCALE")));
    dataSource()->reload();
    return true;
}

} // namespace ccp::ben
