#include "AbiRSprBen.h"

#include "AbiUDatiBancari.h"
#include "AbiUSedi.h"
#include "AbiMBen.h"
#include "AbiUIBAN.h"
#include "SqlQuery.h"
#include "TVeDBCheckBox.h"
#include "TVeDBDateEdit.h"
#include "TVeDBEdit.h"
#include "TVeDBLookupEdit.h"
#include "TVeDataSource.h"
#include "TVeQueryCollection.h"
#include "VeMessageDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace ccp::ben {

namespace {

QVariant nullInt() { return QVariant(QMetaType(QMetaType::Int)); }

int keyOr(const QVariant &v, int none = -1)
{
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok && !v.isNull() && n > 0 ? n : none;
}

// The space key is dropped as typed: an IBAN is typed in one piece.
class NoSpaceFilter : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *, QEvent *e) override
    {
        return e->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(e)->key() == Qt::Key_Space;
    }
};

} // namespace

// ---- the IBAN dialog ------------------------------------------------------------------------------------

TfmInsertIBAN::TfmInsertIBAN(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfmInsertIBAN"));
    setWindowTitle(QStringLiteral("Inserire l' IBAN della Banca"));
    auto *layout = new QVBoxLayout(this);
    ckBancaEstera = new QCheckBox(QStringLiteral("Banca &Estera"), this);
    layout->addWidget(ckBancaEstera);
    auto *label = new QLabel(QStringLiteral("&Inserisci l'IBAN"), this);
    layout->addWidget(label);
    edIban = new QLineEdit(this);
    edIban->setObjectName(QStringLiteral("edIban"));
    edIban->setMaxLength(34);
    edIban->setMinimumWidth(edIban->fontMetrics().averageCharWidth() * 40);
    edIban->installEventFilter(new NoSpaceFilter(edIban));
    label->setBuddy(edIban);
    layout->addWidget(edIban);
    lbTotCaratteri = new QLabel(QStringLiteral("Tot. Caratteri: 0"), this);
    layout->addWidget(lbTotCaratteri);
    connect(edIban, &QLineEdit::textEdited, this, [this](const QString &t) {
        const int pos = edIban->cursorPosition();
        edIban->setText(t.toUpper());
        edIban->setCursorPosition(pos);
    });
    connect(edIban, &QLineEdit::textChanged, this,
            [this](const QString &t) { lbTotCaratteri->setText(QStringLiteral("Tot. Caratteri: %1").arg(t.size())); });
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TfmInsertIBAN::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // The IBAN is what is typed first; the foreign box is the exception.
    setTabOrder(edIban, ckBancaEstera);
    resize(qMax(width(), edIban->minimumWidth() + 40), sizeHint().height());
}

QString TfmInsertIBAN::iban() const { return edIban->text(); }

bool TfmInsertIBAN::foreignBank() const { return ckBancaEstera->isChecked(); }

void TfmInsertIBAN::accept()
{
    QString t = edIban->text().trimmed();
    t.remove(u' ');
    edIban->setText(t);
    if (!ckBancaEstera->isChecked() && !abiban::CheckIBAN(t)) {
        fw::showError(QStringLiteral("IBAN non corretto"));
        edIban->setFocus();
        return;
    }
    QDialog::accept();
}

// ---- the bank details ------------------------------------------------------------------------------------

TfrDatiBancari::TfrDatiBancari(QSqlDatabase db, QWidget *parent)
    : TfrBenDetail(db, QStringLiteral(
                       "SELECT S.ISPRBENID, S.IBENID, S.IMPGID, S.ISPRID, CAB.IBANID, S.SSPRBENNUMCC, S.SSPRBENCIN,"
                       " S.SSPRBENCININT, S.SSPRBENSTATO, S.SSPRBENIBAN, S.SSPRBENBIC, S.LSPRBENBANESTERA, S.LSPRBENCNTDED,"
                       " S.DSTART, S.DEND, BAN.SBANABI, CAB.SSPRCAB, MPG.SMPGDESCL, PM.TIPOLOGIA"
                       " FROM TSPRBEN S"
                       " LEFT OUTER JOIN TSPR_SPORTELLICAB CAB ON (CAB.ISPRID = S.ISPRID)"
                       " LEFT OUTER JOIN TBAN_BANCHE BAN ON (BAN.IBANID = CAB.IBANID)"
                       " LEFT OUTER JOIN TMPG_MODPAGAM MPG ON (MPG.IMPGID = S.IMPGID)"
                       " LEFT OUTER JOIN PABC_MODPAGAM PM ON (PM.IMPGID = S.IMPGID)"
                       " WHERE S.IBENID = :IBENID AND S.DDELETE IS NULL ORDER BY S.ISPRBENID"),
                   QStringLiteral("IBENID"), parent)
{
    setObjectName(QStringLiteral("frDatiBancari"));
    setToolTip(QStringLiteral("Pagamenti"));
    setRowStatements(QStringLiteral("TSPRBEN"), QStringLiteral("ISPRBENID"),
                     QStringLiteral("IMPGID, ISPRID, SSPRBENNUMCC, SSPRBENCIN, SSPRBENCININT, SSPRBENSTATO, SSPRBENIBAN,"
                                    " SSPRBENBIC, LSPRBENBANESTERA, LSPRBENCNTDED, DEND"),
                     true);
    auto *c = collection();
    c->setDefault(QStringLiteral("LSPRBENBANESTERA"), 0);
    c->setDefault(QStringLiteral("LSPRBENCNTDED"), 0);
    model()->setColumns({{QStringLiteral("SMPGDESCL"), QStringLiteral("Modalità pagamento"), 200, {}, {}},
                         {QStringLiteral("SBANABI"), QStringLiteral("ABI"), 70, {}, {}},
                         {QStringLiteral("SSPRCAB"), QStringLiteral("CAB"), 70, {}, {}},
                         {QStringLiteral("SSPRBENNUMCC"), QStringLiteral("Numero conto corrente"), 160, {}, {}},
                         {QStringLiteral("TIPOLOGIA"), QStringLiteral("Pag./Risc."), 100, {}, {}}});
    for (int i = 0; i < model()->columns().size(); ++i)
        grid()->setColumnWidth(i, model()->columns()[i].width);

    xdlModPag = new fw::TVeDBLookupEdit(db);
    xdlModPag->setObjectName(QStringLiteral("xdlModPag"));
    xdlModPag->setSearchQuery(QStringLiteral(
        "SELECT TMPG_MODPAGAM.IMPGID, TMPG_MODPAGAM.SMPGDESCS, TMPG_MODPAGAM.SMPGDESCL, TMPG_MODPAGAM.LMPGRISC,"
        " TMPG_MODPAGAM.LMPGPAG, PABC_MODPAGAM.TIPOLOGIA FROM TMPG_MODPAGAM"
        " INNER JOIN PABC_MODPAGAM ON (PABC_MODPAGAM.IMPGID = TMPG_MODPAGAM.IMPGID)"
        " WHERE TMPG_MODPAGAM.DDELETE IS NULL AND ##WHERE##"));
    xdlModPag->setKeyField(QStringLiteral("TMPG_MODPAGAM.IMPGID"));
    xdlModPag->setListField(QStringLiteral("SMPGDESCL"));
    xdlModPag->setSearchTitle(QStringLiteral("Modalità di pagamento"));
    xdlModPag->setSearchWidth(600);
    xdlModPag->setSearchColumns({fw::SearchColumn::make(QStringLiteral("IMPGID"), QString(), false, 0, false),
                                 fw::SearchColumn::make(QStringLiteral("SMPGDESCS"), QStringLiteral("Codice"), true, 50),
                                 fw::SearchColumn::make(QStringLiteral("SMPGDESCL"), QStringLiteral("Descrizione"), true, 400),
                                 fw::SearchColumn::make(QStringLiteral("LMPGRISC"), QString(), false, 0, false),
                                 fw::SearchColumn::make(QStringLiteral("LMPGPAG"), QString(), false, 0, false),
                                 fw::SearchColumn::make(QStringLiteral("TIPOLOGIA"), QStringLiteral("Pag./Risc."), false, 100)});
    addField(QStringLiteral("&Modalità pagamento"), xdlModPag, QStringLiteral("IMPGID"));

    xdlABI = new fw::TVeDBLookupEdit(db);
    xdlABI->setObjectName(QStringLiteral("xdlABI"));
    // A postal account (method 5) is always at the postal bank.
    xdlABI->OnSetSearchQuery = [this] {
        const QString only = keyOr(collection()->fieldValue(QStringLiteral("IMPGID"))) == 5
            ? QStringLiteral(" AND BAN.IBANID = 2") : QString();
        return QStringLiteral("SELECT BAN.IBANID, BAN.SBANABI, BAN.SBANDESCS FROM TBAN_BANCHE BAN WHERE BAN.DDELETE IS NULL%1"
                              " AND ##WHERE##").arg(only);
    };
    xdlABI->setKeyField(QStringLiteral("BAN.IBANID"));
    xdlABI->setListField(QStringLiteral("SBANABI"));
    xdlABI->setSearchTitle(QStringLiteral("Banche"));
    xdlABI->setSearchWidth(500);
    xdlABI->setSearchColumns({fw::SearchColumn::make(QStringLiteral("IBANID"), QString(), false, 0, false),
                              fw::SearchColumn::make(QStringLiteral("SBANABI"), QStringLiteral("ABI"), true, 50),
                              fw::SearchColumn::make(QStringLiteral("SBANDESCS"), QStringLiteral("Descrizione"), true, 400)});
    addField(QStringLiteral("A&BI"), xdlABI, QStringLiteral("IBANID"));
    lbBanca = new QLabel;
    lbBanca->setObjectName(QStringLiteral("lbBanca"));
    detailLayout()->addRow(QString(), lbBanca);

    xdlCAB = new fw::TVeDBLookupEdit(db);
    xdlCAB->setObjectName(QStringLiteral("xdlCAB"));
    xdlCAB->setSearchQuery(QStringLiteral(
        "SELECT CAB.ISPRID, CAB.SSPRCAB, CAB.SSPRDESCS, CAB.SSPRINDIRIZZO,"
        " CAST(COM.SCOMDESC || ' (' || COALESCE(PRO.SPROSIGLA, '') || ')' AS VARCHAR(200)) AS COMUNE, PRO.SPROSIGLA"
        " FROM TSPR_SPORTELLICAB CAB"
        " LEFT OUTER JOIN TSRPC SRPC ON (SRPC.ISRPCID = CAB.ISRPCID AND SRPC.DDELETE IS NULL)"
        " LEFT OUTER JOIN TCOM_COMUNI COM ON (COM.ICOMID = SRPC.ICOMID AND COM.DDELETE IS NULL)"
        " LEFT OUTER JOIN TPRO_PROVINCE PRO ON (PRO.IPROID = SRPC.IPROID AND PRO.DDELETE IS NULL)"
        " WHERE CAB.DDELETE IS NULL AND CAB.IBANID = :IBANID AND ##WHERE##"));
    xdlCAB->setKeyField(QStringLiteral("CAB.ISPRID"));
    xdlCAB->setListField(QStringLiteral("SSPRCAB"));
    xdlCAB->setSearchTitle(QStringLiteral("Sportelli"));
    xdlCAB->setSearchWidth(800);
    xdlCAB->setSearchColumns({fw::SearchColumn::make(QStringLiteral("ISPRID"), QString(), false, 0, false),
                              fw::SearchColumn::make(QStringLiteral("SSPRCAB"), QStringLiteral("CAB"), true, 40),
                              fw::SearchColumn::make(QStringLiteral("SSPRDESCS"), QStringLiteral("Descrizione"), true, 215),
                              fw::SearchColumn::make(QStringLiteral("SSPRINDIRIZZO"), QStringLiteral("Indirizzo"), true, 260),
                              fw::SearchColumn::make(QStringLiteral("COMUNE"), QStringLiteral("Comune"), true, 200),
                              fw::SearchColumn::make(QStringLiteral("SPROSIGLA"), QStringLiteral("Prov."), false, 35)});
    xdlCAB->setParam(QStringLiteral("IBANID"), -1);
    addField(QStringLiteral("&CAB"), xdlCAB, QStringLiteral("ISPRID"));
    lbSportello = new QLabel;
    lbSportello->setObjectName(QStringLiteral("lbSportello"));
    detailLayout()->addRow(QString(), lbSportello);

    xdeNumCC = textEdit("xdeNumCC", 20, true);
    xdeNumCC->setCharFilter(fw::CharFilters::digitsAndLetters);
    addField(QStringLiteral("&Numero conto corrente"), xdeNumCC, QStringLiteral("SSPRBENNUMCC"));
    xdCIN = textEdit("xdCIN", 1, true);
    xdCIN->setCharFilter(fw::CharFilters::letters);
    addField(QStringLiteral("C&IN"), xdCIN, QStringLiteral("SSPRBENCIN"));
    xdeStato = textEdit("xdeStato", 2, true);
    xdeStato->setCharFilter(fw::CharFilters::letters);
    addField(QStringLiteral("IBAN: &Stato"), xdeStato, QStringLiteral("SSPRBENSTATO"));
    xdeCinInt = textEdit("xdeCinInt", 2);
    xdeCinInt->setCharFilter(fw::CharFilters::digits);
    addField(QStringLiteral("IBAN: Ci&n"), xdeCinInt, QStringLiteral("SSPRBENCININT"));
    xdeIban = textEdit("xdeIban", 34, true);
    xdeIban->setMinimumWidth(xdeIban->fontMetrics().horizontalAdvance(QStringLiteral("W")) * 30);
    xdeIban->setReadOnlyByOwner(true);
    addField(QStringLiteral("IBAN"), xdeIban, QStringLiteral("SSPRBENIBAN"));
    lbTotCaratteri = new QLabel(QStringLiteral("Tot. Caratteri: 0"));
    detailLayout()->addRow(QString(), lbTotCaratteri);
    btnInsIban = new QPushButton(QStringLiteral("&Inserisci"));
    btnInsIban->setObjectName(QStringLiteral("btnInsIban"));
    detailLayout()->addRow(QString(), btnInsIban);
    xdeBic = textEdit("xdeBic", 11, true);
    addField(QStringLiteral("BI&C"), xdeBic, QStringLiteral("SSPRBENBIC"));
    xddDataFinVal = new fw::TVeDBDateEdit;
    addField(QStringLiteral("Data fine &Validità"), xddDataFinVal, QStringLiteral("DEND"));
    xckContoDed = new fw::TVeDBCheckBox(QStringLiteral("Conto corrente dedicato per la tracciabilità dei flussi finanziari"));
    addField(QString(), xckContoDed, QStringLiteral("LSPRBENCNTDED"));
    ckBancaEstera = new fw::TVeDBCheckBox(QStringLiteral("Banca &Estera"));
    ckBancaEstera->setObjectName(QStringLiteral("ckBancaEstera"));
    addField(QString(), ckBancaEstera, QStringLiteral("LSPRBENBANESTERA"));

    connect(xdeIban, &QLineEdit::textChanged, this,
            [this](const QString &t) { lbTotCaratteri->setText(QStringLiteral("Tot. Caratteri: %1").arg(t.size())); });
    connect(btnInsIban, &QPushButton::clicked, this, &TfrDatiBancari::insertIban);
    xdlABI->OnChangeFKValue = [this] {
        // Another bank: its branches are others.
        if (mode() != 0) {
            collection()->setFieldValue(QStringLiteral("ISPRID"), nullInt());
            collection()->setFieldValue(QStringLiteral("SSPRCAB"), QVariant());
        }
        collection()->setFieldValue(QStringLiteral("SBANABI"), xdlABI->rowValue(QStringLiteral("SBANABI")));
        xdlCAB->setParam(QStringLiteral("IBANID"), keyOr(xdlABI->key()));
        dataSource()->reload();
        showDescriptions();
    };
    xdlCAB->OnChangeFKValue = [this] {
        collection()->setFieldValue(QStringLiteral("SSPRCAB"), xdlCAB->rowValue(QStringLiteral("SSPRCAB")));
        showDescriptions();
    };
    xdlModPag->OnChangeFKValue = [this] { btnInsIban->setEnabled(mode() != 0 && keyOr(xdlModPag->key()) > 0); };
    connect(ckBancaEstera, &QCheckBox::toggled, this, [this](bool on) {
        if (mode() != 0)
            setForeignControls(on);
    });
    connect(this, &fw::TVeEditFrame::dataChanged, this, [this](const QString &field) {
        if (field.isEmpty())
            followRow();
    });
    connect(this, &fw::TVeEditFrame::modeChanged, this, [this](int m) {
        btnInsIban->setEnabled(m != 0);
        followRow();
    });
    btnInsIban->setEnabled(false);
    OnCheckPost = [this] { return checkPost(); };
    frDelegati = new TfrDelegatiConto(db);
    addInnerFrame(frDelegati, QStringLiteral("Delegati Conto"), QStringLiteral("ISPRBENID"));
    frQuietanzante = new TfrQuietanzante(db);
    addInnerFrame(frQuietanzante, QStringLiteral("Quietanzante"), QStringLiteral("ISPRBENID"));
}

// ---- account delegates and receipt signer ------------------------------------------------------------------

namespace {

// The first empty one of the required texts: its message and the focus.
bool requireAll(fw::TVeQueryCollection *c, const QList<std::tuple<QString, QString, QWidget *>> &fields)
{
    for (const auto &[field, label, control] : fields) {
        const QVariant v = c->fieldValue(field);
        const bool isKey = v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong;
        if (isKey ? v.toInt() > 0 : !v.toString().trimmed().isEmpty())
            continue;
        fw::showError(invalidMessage(label));
        control->setFocus();
        return false;
    }
    return true;
}

} // namespace

TfrDelegatiConto::TfrDelegatiConto(QSqlDatabase db, QWidget *parent)
    : TfrBenDetail(db, QStringLiteral(
                       "SELECT D.IDEGID, D.ISPRBENID, D.SDEGCOGNOME, D.SDEGNOME, D.SDEGCODFISCALE, D.DSTART, D.DEND"
                       " FROM TDEG_DELEGATI D WHERE D.ISPRBENID = :SPRBENID ORDER BY D.SDEGCOGNOME, D.SDEGNOME, D.IDEGID"),
                   QStringLiteral("SPRBENID"), parent)
{
    setObjectName(QStringLiteral("frDelegatiConto"));
    setToolTip(QStringLiteral("Delegati Conto"));
    auto *c = collection();
    c->setStatements(fw::VeOperation::Insert, {QStringLiteral(
        "INSERT INTO TDeg_Delegati (iDegId, iSprBenId, sDegCognome, sDegNome, sDegCodFiscale, dStart, dEnd)"
        " VALUES (:VEGENID, :SPRBENID, :SDEGCOGNOME, :SDEGNOME, :SDEGCODFISCALE, :DSTART, :DEND)")});
    c->setStatements(fw::VeOperation::Update, {QStringLiteral(
        "UPDATE TDeg_Delegati SET sDegCognome = :SDEGCOGNOME, sDegNome = :SDEGNOME, sDegCodFiscale = :SDEGCODFISCALE,"
        " dStart = :DSTART, dEnd = :DEND WHERE iDegId = :VECURRID")});
    c->setStatements(fw::VeOperation::Delete, {QStringLiteral("DELETE FROM TDeg_Delegati WHERE iDegId = :VECURRID")});
    model()->setColumns({{QStringLiteral("SDEGCOGNOME"), QStringLiteral("Cognome"), 180, {}, {}},
                         {QStringLiteral("SDEGNOME"), QStringLiteral("Nome"), 160, {}, {}},
                         {QStringLiteral("SDEGCODFISCALE"), QStringLiteral("Codice fiscale"), 150, {}, {}},
                         {QStringLiteral("DSTART"), QStringLiteral("Inizio validità"), 100, {}, {}},
                         {QStringLiteral("DEND"), QStringLiteral("Fine validità"), 100, {}, {}}});
    for (int i = 0; i < model()->columns().size(); ++i)
        grid()->setColumnWidth(i, model()->columns()[i].width);
    xdeCognome = textEdit("xdeCognome", 60);
    addField(QStringLiteral("&Cognome"), xdeCognome, QStringLiteral("SDEGCOGNOME"));
    xdeNome = textEdit("xdeNome", 60);
    addField(QStringLiteral("&Nome"), xdeNome, QStringLiteral("SDEGNOME"));
    xdeCodFiscale = textEdit("xdeCodFiscale", 20, true);
    addField(QStringLiteral("Codice &fiscale"), xdeCodFiscale, QStringLiteral("SDEGCODFISCALE"));
    xddInizio = new fw::TVeDBDateEdit;
    addField(QStringLiteral("&Inizio validità"), xddInizio, QStringLiteral("DSTART"));
    xddFine = new fw::TVeDBDateEdit;
    addField(QStringLiteral("Fin&e validità"), xddFine, QStringLiteral("DEND"));
    OnCheckPost = [this] {
        return requireAll(collection(), {{QStringLiteral("SDEGCOGNOME"), QStringLiteral("Cognome"), xdeCognome},
                                         {QStringLiteral("SDEGNOME"), QStringLiteral("Nome"), xdeNome},
                                         {QStringLiteral("SDEGCODFISCALE"), QStringLiteral("Codice fiscale"), xdeCodFiscale}});
    };
}

TfrQuietanzante::TfrQuietanzante(QSqlDatabase db, QWidget *parent)
    : TfrBenDetail(db, QStringLiteral(
                       "SELECT Q.IQUIID, Q.ISPRBENID, Q.SQUINOMINATIVO, Q.SQUIINDIRIZZO, Q.SQUICODICEFISCALE, Q.ICOMCAPID,"
                       " CC.ISRPCID, CC.SCAPVALUE, CC.SFRAQUADESC, CC.ISTAID,"
                       " CAST(CC.SCOMDESC || ' (' || COALESCE(CC.SPROSIGLA, '') || ')' AS VARCHAR(200)) AS COMUNE"
                       " FROM TQUI_QUIETANZANTE Q LEFT OUTER JOIN VCOMCAP CC ON (CC.ICOMCAPID = Q.ICOMCAPID)"
                       " WHERE Q.ISPRBENID = :SPRBENID ORDER BY Q.IQUIID"),
                   QStringLiteral("SPRBENID"), parent)
{
    setObjectName(QStringLiteral("frQuietanzante"));
    setToolTip(QStringLiteral("Quietanzante"));
    auto *c = collection();
    c->setStatements(fw::VeOperation::Insert, {QStringLiteral(
        "INSERT INTO TQui_Quietanzante (iQuiId, iSprBenId, sQuiNominativo, sQuiIndirizzo, sQuiCodiceFiscale, iComCapId)"
        " VALUES (:VEGENID, :SPRBENID, :SQUINOMINATIVO, :SQUIINDIRIZZO, :SQUICODICEFISCALE, :ICOMCAPID)")});
    c->setStatements(fw::VeOperation::Update, {QStringLiteral(
        "UPDATE TQui_Quietanzante SET sQuiNominativo = :SQUINOMINATIVO, sQuiIndirizzo = :SQUIINDIRIZZO,"
        " sQuiCodiceFiscale = :SQUICODICEFISCALE, iComCapId = :ICOMCAPID WHERE iQuiId = :VECURRID")});
    c->setStatements(fw::VeOperation::Delete, {QStringLiteral("DELETE FROM TQui_Quietanzante WHERE iQuiId = :VECURRID")});
    // The address parts are written with the signer, in its transaction.
    c->VeBeforeExec = [this](fw::VeExecContext &ctx) {
        if (ctx.operation == fw::VeOperation::Delete)
            return;
        bindAddress(ctx);
    };
    model()->setColumns({{QStringLiteral("SQUINOMINATIVO"), QStringLiteral("Nominativo"), 220, {}, {}},
                         {QStringLiteral("SQUIINDIRIZZO"), QStringLiteral("Indirizzo"), 220, {}, {}},
                         {QStringLiteral("COMUNE"), QStringLiteral("Comune"), 180, {}, {}},
                         {QStringLiteral("SQUICODICEFISCALE"), QStringLiteral("Codice Fiscale"), 150, {}, {}}});
    for (int i = 0; i < model()->columns().size(); ++i)
        grid()->setColumnWidth(i, model()->columns()[i].width);
    xdeNominativo = textEdit("xdeNominativo", 120);
    addField(QStringLiteral("&Nominativo"), xdeNominativo, QStringLiteral("SQUINOMINATIVO"));
    xdeIndirizzo = textEdit("xdeIndirizzo", 100);
    addField(QStringLiteral("&Indirizzo"), xdeIndirizzo, QStringLiteral("SQUIINDIRIZZO"));
    xdlComune = placeLookup("xdlComune", true);
    addField(QStringLiteral("&Comune"), xdlComune, QStringLiteral("ISRPCID"));
    xdeCap = textEdit("xdeCap", 5);
    addField(QStringLiteral("C&AP"), xdeCap, QStringLiteral("SCAPVALUE"));
    xdeQuartiere = textEdit("xdeQuartiere", 100);
    addField(QStringLiteral("&Quartiere"), xdeQuartiere, QStringLiteral("SFRAQUADESC"));
    xdeCodFiscale = textEdit("xdeCodFiscale", 20, true);
    addField(QStringLiteral("Codice &Fiscale"), xdeCodFiscale, QStringLiteral("SQUICODICEFISCALE"));
    proposePostcode(xdlComune);
    OnCheckPost = [this] {
        auto *col = collection();
        if (col->fieldValue(QStringLiteral("SQUINOMINATIVO")).toString().trimmed().isEmpty())
            return true;
        return requireAll(col, {{QStringLiteral("SQUICODICEFISCALE"), QStringLiteral("Codice Fiscale del quietanzante"), xdeCodFiscale},
                                {QStringLiteral("SQUIINDIRIZZO"), QStringLiteral("Indirizzo del quietanzante"), xdeIndirizzo},
                                {QStringLiteral("ISRPCID"), QStringLiteral("Comune del quietanzante"), xdlComune},
                                {QStringLiteral("SCAPVALUE"), QStringLiteral("CAP del quietanzante"), xdeCap}});
    };
}

void TfrDatiBancari::setForeignControls(bool foreign)
{
    for (QWidget *w : {static_cast<QWidget *>(xdeStato), static_cast<QWidget *>(xdeNumCC), static_cast<QWidget *>(xdeCinInt),
                       static_cast<QWidget *>(xdCIN), static_cast<QWidget *>(xdlCAB), static_cast<QWidget *>(xdlABI)})
        w->setEnabled(!foreign);
}

void TfrDatiBancari::followRow()
{
    auto *c = collection();
    setForeignControls(c->fieldValue(QStringLiteral("LSPRBENBANESTERA")).toInt() == 1);
    xdlCAB->setParam(QStringLiteral("IBANID"), keyOr(c->fieldValue(QStringLiteral("IBANID"))));
    showDescriptions();
}

void TfrDatiBancari::showDescriptions()
{
    auto *c = collection();
    const int bank = keyOr(c->fieldValue(QStringLiteral("IBANID")));
    const int branch = keyOr(c->fieldValue(QStringLiteral("ISPRID")));
    QString bankText, branchText;
    if (bank > 0) {
        auto d = SqlQuery::scalar(db(), QStringLiteral("SELECT SBANDESCS FROM TBAN_BANCHE WHERE IBANID = :ID AND DDELETE IS NULL"),
                                  {{QStringLiteral("ID"), bank}});
        bankText = d ? d->toString() : QString();
    }
    if (branch > 0) {
        SqlQuery q(db());
        if (q.prepare(QStringLiteral("SELECT CAB.SSPRDESCS, CAB.SSPRINDIRIZZO, COM.SCOMDESC || ' (' || COALESCE(PRO.SPROSIGLA, '') || ')'"
                                     " FROM TSPR_SPORTELLICAB CAB LEFT OUTER JOIN TSRPC S ON (S.ISRPCID = CAB.ISRPCID)"
                                     " LEFT OUTER JOIN TCOM_COMUNI COM ON (COM.ICOMID = S.ICOMID)"
                                     " LEFT OUTER JOIN TPRO_PROVINCE PRO ON (PRO.IPROID = S.IPROID) WHERE CAB.ISPRID = :ID")).ok()) {
            q.bind(QStringLiteral("ID"), branch);
            if (q.exec().ok() && q.next()) {
                const QString where = q.value(1).toString() + QStringLiteral(" -- ") + q.value(2).toString();
                branchText = q.value(0).toString().isEmpty() ? where : q.value(0).toString() + u'\n' + where;
            }
        }
    }
    lbBanca->setText(bankText);
    lbSportello->setText(branchText);
}

void TfrDatiBancari::insertIban()
{
    if (mode() == 0 && !edit())
        return;
    std::optional<std::pair<QString, bool>> typed;
    if (askIban) {
        typed = askIban();
    } else {
        TfmInsertIBAN dialog(this);
        if (dialog.exec() == QDialog::Accepted)
            typed = std::pair{dialog.iban(), dialog.foreignBank()};
    }
    m_lastDialogOk = typed.has_value();
    if (!typed)
        return;
    auto *c = collection();
    const auto clearParts = [c] {
        for (const char *f : {"SSPRBENSTATO", "SSPRBENNUMCC", "SSPRBENCININT", "SSPRBENCIN"})
            c->setFieldValue(QString::fromLatin1(f), QVariant(QMetaType(QMetaType::QString)));
        for (const char *f : {"IBANID", "ISPRID"})
            c->setFieldValue(QString::fromLatin1(f), nullInt());
    };
    if (typed->second) {
        clearParts();
        c->setFieldValue(QStringLiteral("SSPRBENIBAN"), typed->first);
        c->setFieldValue(QStringLiteral("LSPRBENBANESTERA"), 1);
        setForeignControls(true);
    } else {
        auto reg = abiban::CheckIBANAndRegisterBank(db(), typed->first);
        if (!reg) {
            fw::showError(reg.error());
            return;
        }
        if (!reg->valid)
            return;
        if (!reg->message.isEmpty())
            fw::showInfo(reg->message);
        // Read the parts from the check of the typed IBAN again: the registration may have
        // used the calculator since.
        abiban::CheckIBAN(typed->first);
        const auto &calc = abiban::IBANCalculator();
        clearParts();
        c->setFieldValue(QStringLiteral("SSPRBENSTATO"), QStringLiteral("IT"));
        c->setFieldValue(QStringLiteral("SSPRBENCININT"), calc.CheckDigits());
        c->setFieldValue(QStringLiteral("SSPRBENCIN"), calc.DomesticBBAN()->CheckLetter());
        c->setFieldValue(QStringLiteral("SSPRBENNUMCC"), calc.DomesticBBAN()->Account());
        c->setFieldValue(QStringLiteral("IBANID"), reg->bankId);
        c->setFieldValue(QStringLiteral("ISPRID"), reg->branchId);
        c->setFieldValue(QStringLiteral("SBANABI"), calc.DomesticBBAN()->Bank());
        c->setFieldValue(QStringLiteral("SSPRCAB"), calc.DomesticBBAN()->Branch());
        c->setFieldValue(QStringLiteral("SSPRBENIBAN"), typed->first);
        c->setFieldValue(QStringLiteral("LSPRBENBANESTERA"), 0);
        setForeignControls(false);
    }
    dataSource()->reload();
    followRow();
}

bool TfrDatiBancari::checkPost()
{
    auto *c = collection();
    BankDetails in;
    in.method = keyOr(c->fieldValue(QStringLiteral("IMPGID")));
    in.foreign = c->fieldValue(QStringLiteral("LSPRBENBANESTERA")).toInt() == 1;
    in.endDateSet = c->fieldValue(QStringLiteral("DEND")).toDate().isValid();
    in.bankId = keyOr(c->fieldValue(QStringLiteral("IBANID")));
    in.branchId = keyOr(c->fieldValue(QStringLiteral("ISPRID")));
    in.abi = c->fieldValue(QStringLiteral("SBANABI")).toString();
    in.cab = c->fieldValue(QStringLiteral("SSPRCAB")).toString();
    in.account = c->fieldValue(QStringLiteral("SSPRBENNUMCC")).toString();
    in.country = c->fieldValue(QStringLiteral("SSPRBENSTATO")).toString();
    in.checkDigits = c->fieldValue(QStringLiteral("SSPRBENCININT")).toString();
    in.cin = c->fieldValue(QStringLiteral("SSPRBENCIN")).toString();
    in.iban = c->fieldValue(QStringLiteral("SSPRBENIBAN")).toString();
    in.lastDialogAccepted = m_lastDialogOk;
    if (in.foreign && c->fieldValue(QStringLiteral("SSPRBENBIC")).toString().trimmed().isEmpty()) {
        fw::showError(QStringLiteral("Per le banche estere è obbligatorio il codice BIC"));
        xdeBic->setFocus();
        return false;
    }
    const auto domestic = [this](const QString &sql, int id) {
        if (id <= 0)
            return false;
        auto v = SqlQuery::scalar(db(), sql, {{QStringLiteral("ID"), id}});
        return v && v->toInt() == 1;
    };
    in.domesticBank = domestic(QStringLiteral("SELECT TSRPC.ISTAID FROM TBAN_BANCHE INNER JOIN TSRPC ON (TBAN_BANCHE.ISRPCID = TSRPC.ISRPCID)"
                                              " WHERE TBAN_BANCHE.IBANID = :ID"), in.bankId)
        || domestic(QStringLiteral("SELECT TSRPC.ISTAID FROM TSPR_SPORTELLICAB INNER JOIN TSRPC ON (TSPR_SPORTELLICAB.ISRPCID = TSRPC.ISRPCID)"
                                   " WHERE TSPR_SPORTELLICAB.ISPRID = :ID"), in.branchId);
    const BankPost r = checkBankDetails(in);
    const BankDetails &v = r.values;
    const auto text = [](const QString &s) { return s.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(s); };
    c->setFieldValue(QStringLiteral("SSPRBENNUMCC"), text(v.account));
    c->setFieldValue(QStringLiteral("SSPRBENIBAN"), text(v.iban));
    c->setFieldValue(QStringLiteral("SSPRBENSTATO"), text(v.country));
    c->setFieldValue(QStringLiteral("SSPRBENCININT"), text(v.checkDigits));
    c->setFieldValue(QStringLiteral("SSPRBENCIN"), text(v.cin));
    if (in.bankId <= 0)
        c->setFieldValue(QStringLiteral("ISPRID"), nullInt());
    dataSource()->reload();
    if (r.ok)
        return true;
    switch (r.focus) {
    case BankField::Method: xdlModPag->setFocus(); break;
    case BankField::Bank: xdlABI->setFocus(); break;
    case BankField::Branch: xdlCAB->setFocus(); break;
    case BankField::Account: xdeNumCC->setFocus(); break;
    case BankField::None: break;
    }
    return false;
}

} // namespace ccp::ben
