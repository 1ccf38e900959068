#include "AbiRDettagli.h"

#include "AbiFBenSearch.h"
#include "AbiFSearchLoco.h"
#include "AbiMBen.h"
#include "AbiUSedi.h"
#include "Money.h"
#include "SqlQuery.h"
#include "TVeDBCheckBox.h"
#include "TVeDBCurrencyEdit.h"
#include "TVeDBDateEdit.h"
#include "TVeDBEdit.h"
#include "TVeDBLookupEdit.h"
#include "TVeDataSource.h"
#include "TVeQueryCollection.h"
#include "VeMessageDlg.h"

#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QBoxLayout>

namespace ccp::ben {

namespace {

fw::TVeQueryCollection *detailCollection(QSqlDatabase db, const QString &select)
{
    auto *c = new fw::TVeQueryCollection(db);
    c->setSelectText(select);
    return c;
}

void setGrid(fw::TVeEditFrame *f, const QList<fw::TVeQueryModel::Column> &columns)
{
    f->model()->setColumns(columns);
    for (int i = 0; i < columns.size(); ++i)
        f->grid()->setColumnWidth(i, columns[i].width);
}

bool isBlank(const QVariant &v) { return !v.isValid() || v.isNull() || v.toString().trimmed().isEmpty(); }

// A required text: its message and the focus when empty.
bool requireText(fw::TVeQueryCollection *c, const QString &field, const QString &label, QWidget *control)
{
    if (!isBlank(c->fieldValue(field)))
        return true;
    fw::showError(invalidMessage(label));
    control->setFocus();
    return false;
}

const QString SoftDelete = QStringLiteral("UPDATE %1 SET DDELETE = CURRENT_DATE WHERE %2 = :VECURRID");

} // namespace

// ---- the common frame ------------------------------------------------------------------------

TfrBenDetail::TfrBenDetail(QSqlDatabase db, const QString &select, const QString &benParam, QWidget *parent)
    : fw::TVeEditFrame(detailCollection(db, select), parent), m_db(db), m_benParam(benParam)
{
    collection()->setParent(this);
    collection()->setParam(m_benParam, 0);
    OnPostExecute = [this] {
        if (!dataSource()->commitControls())
            return;
        if (OnCheckPost && !OnCheckPost())
            return;
        post();
    };
    OnBeforeInsert = [this] { return m_benId > 0; };
}

void TfrBenDetail::openFor(int benId)
{
    if (collection()->isEditing())
        return;
    m_benId = benId;
    collection()->setParam(m_benParam, benId);
    if (m_benParam == QLatin1String("IBENID"))
        collection()->setDefault(m_benParam, benId);
    if (auto s = collection()->open(); !s)
        fw::showError(s.error());
    dataSource()->reload();
    updateActions();
}

void TfrBenDetail::makeReadOnly()
{
    for (Action a : {Insert, Edit, Delete, Post, Cancel})
        lockAction(a, true);
    pages()->setTabVisible(DetailPage, false);
    // Nothing to do on these rows: they follow the beneficiary by themselves.
    toolBar()->hide();
}

void TfrBenDetail::addInnerFrame(TfrBenDetail *inner, const QString &title, const QString &keyField)
{
    if (!m_innerTabs) {
        m_innerTabs = new QTabWidget(this);
        m_innerTabs->setObjectName(QStringLiteral("pcInterno"));
        addBeside(m_innerTabs);
        connect(this, &fw::TVeEditFrame::dataChanged, this, [this](const QString &field) {
            if (field.isEmpty())
                followInner();
        });
        connect(this, &fw::TVeEditFrame::modeChanged, this, &TfrBenDetail::followInner);
    }
    m_innerTabs->addTab(inner, title);
    m_inner << Inner{inner, keyField};
    followInner();
}

void TfrBenDetail::addBeside(QWidget *widget)
{
    if (!m_beside) {
        // Side by side: the tabs below the registry's list have width to spare, not height.
        auto *box = static_cast<QBoxLayout *>(layout());
        const int at = box->indexOf(pages());
        m_beside = new QSplitter(Qt::Horizontal, this);
        box->removeWidget(pages());
        m_beside->addWidget(pages());
        box->insertWidget(at, m_beside, 1);
    }
    m_beside->addWidget(widget);
    m_beside->setStretchFactor(0, 3);
    m_beside->setStretchFactor(m_beside->count() - 1, 2);
}

QList<TfrBenDetail *> TfrBenDetail::innerFrames() const
{
    QList<TfrBenDetail *> out;
    for (const Inner &i : m_inner)
        out << i.frame;
    return out;
}

void TfrBenDetail::followInner()
{
    // A row being inserted has no rows of its own yet.
    auto *c = collection();
    for (const Inner &i : std::as_const(m_inner)) {
        const int key = c->isOpen() && c->mode() != fw::DataMode::Insert && c->currentIndex() >= 0
            ? c->value(c->currentIndex(), i.keyField).toInt() : 0;
        if (key != i.frame->benId() || !i.frame->collection()->isOpen())
            i.frame->openFor(key);
    }
}

void TfrBenDetail::proposePostcode(fw::TVeDBLookupEdit *place)
{
    place->OnChangeFKValue = [this, place] {
        SqlQuery q(db());
        if (!q.prepare(QStringLiteral("SELECT FIRST 1 SCAPVALUE, SFRAQUADESC FROM VCOMCAP WHERE ISRPCID = :S AND DDELETE IS NULL"
                                      " ORDER BY SCAPVALUE")).ok())
            return;
        q.bind(QStringLiteral("S"), place->key());
        if (!q.exec().ok() || !q.next())
            return;
        collection()->setFieldValue(QStringLiteral("SCAPVALUE"), q.value(0));
        collection()->setFieldValue(QStringLiteral("SFRAQUADESC"), q.value(1));
        dataSource()->reload();
    };
}

bool TfrBenDetail::bindAddress(fw::VeExecContext &ctx)
{
    auto *col = collection();
    auto id = resolveAddress(m_db, col->fieldValue(QStringLiteral("ISRPCID")),
                             col->fieldValue(QStringLiteral("SCAPVALUE")).toString(),
                             col->fieldValue(QStringLiteral("SFRAQUADESC")).toString());
    if (!id) {
        ctx.fail(id.error());
        return false;
    }
    ctx.params.set(QStringLiteral("ICOMCAPID"), *id);
    return true;
}

void TfrBenDetail::setRowStatements(const QString &table, const QString &key, const QString &columns, bool dated)
{
    QStringList cols, values, sets;
    for (const QString &col : columns.split(u',')) {
        cols << col.trimmed();
        values << u':' + col.trimmed();
        sets << col.trimmed() + QStringLiteral(" = :") + col.trimmed();
    }
    const QString start = dated ? QStringLiteral(", DSTART") : QString();
    const QString today = dated ? QStringLiteral(", CURRENT_DATE") : QString();
    auto *c = collection();
    c->setStatements(fw::VeOperation::Insert, {QStringLiteral("INSERT INTO %1 (%2, IBENID%3, %4) VALUES (:VEGENID, :IBENID%5, %6)")
                                                  .arg(table, key, start, cols.join(QStringLiteral(", ")), today,
                                                       values.join(QStringLiteral(", ")))});
    c->setStatements(fw::VeOperation::Update, {QStringLiteral("UPDATE %1 SET %2 WHERE %3 = :VECURRID")
                                                  .arg(table, sets.join(QStringLiteral(", ")), key)});
    c->setStatements(fw::VeOperation::Delete, {SoftDelete.arg(table, key)});
}

fw::TVeDBEdit *TfrBenDetail::textEdit(const char *name, int maxLength, bool upper)
{
    auto *e = new fw::TVeDBEdit;
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(maxLength);
    e->setUpperCase(upper);
    return e;
}

fw::TVeDBLookupEdit *TfrBenDetail::placeLookup(const char *name, bool withState)
{
    auto *l = new fw::TVeDBLookupEdit(m_db);
    l->setObjectName(QString::fromLatin1(name));
    const QString text = withState
        ? QStringLiteral("P.SCOMDESC || ' (' || COALESCE(P.SPROSIGLA, '') || ')' || ' - ' || COALESCE(P.SSTALDESC, '')")
        : QStringLiteral("P.SCOMDESC || ' (' || COALESCE(P.SPROSIGLA, '') || ')'");
    l->setSearchQuery(QStringLiteral("SELECT P.ISRPCID, CAST(%1 AS VARCHAR(200)) AS COMUNE, P.SCOMDESC, P.SPROSIGLA, P.ISTAID"
                                     " FROM VSRPC P WHERE P.DDELETE IS NULL AND P.SCOMDESC IS NOT NULL AND ##WHERE##").arg(text));
    l->setKeyField(QStringLiteral("P.ISRPCID"));
    l->setListField(QStringLiteral("COMUNE"));
    l->setSearchField(QStringLiteral("P.SCOMDESC"));
    l->setSearchTitle(QStringLiteral("Comuni"));
    l->setSearchColumns({fw::SearchColumn::make(QStringLiteral("ISRPCID"), QString(), false, 0, false),
                         fw::SearchColumn::make(QStringLiteral("COMUNE"), QStringLiteral("Comune"), true, 360),
                         fw::SearchColumn::make(QStringLiteral("SCOMDESC"), QString(), false, 0, false),
                         fw::SearchColumn::make(QStringLiteral("SPROSIGLA"), QStringLiteral("Provincia"), true, 70),
                         fw::SearchColumn::make(QStringLiteral("ISTAID"), QString(), false, 0, false)});
    usePlaceSearch(l, m_db);
    return l;
}

// ---- telephones, e-mail, web sites -----------------------------------------------------------------

TfrNumTelefono::TfrNumTelefono(QSqlDatabase db, QWidget *parent)
    : TfrBenDetail(db, QStringLiteral("SELECT T.ITEBID, T.IBENID, T.STEBTELEFONO, T.STEBDESC, T.LTEBVIEW FROM TTEB_TELEFONO T"
                                      " WHERE T.IBENID = :IBENID AND T.DDELETE IS NULL ORDER BY T.ITEBID"),
                   QStringLiteral("IBENID"), parent)
{
    setObjectName(QStringLiteral("frNumTelefono"));
    setToolTip(QStringLiteral("Telefoni"));
    setRowStatements(QStringLiteral("TTEB_TELEFONO"), QStringLiteral("ITEBID"), QStringLiteral("STEBTELEFONO, STEBDESC, LTEBVIEW"), false);
    collection()->setDefault(QStringLiteral("LTEBVIEW"), 1);
    setGrid(this, {{QStringLiteral("STEBTELEFONO"), QStringLiteral("Numero telefonico"), 200, {}, {}},
                   {QStringLiteral("STEBDESC"), QStringLiteral("Descrizione"), 300, {}, {}}});
    xdeNumero = textEdit("xdeNumero", 30);
    addField(QStringLiteral("&Numero telefonico"), xdeNumero, QStringLiteral("STEBTELEFONO"));
    xdeDescrizione = textEdit("xdeDescrizione", 60);
    addField(QStringLiteral("&Descrizione"), xdeDescrizione, QStringLiteral("STEBDESC"));
    xckVisualizza = new fw::TVeDBCheckBox(QStringLiteral("&Visualizza il Numero"));
    addField(QString(), xckVisualizza, QStringLiteral("LTEBVIEW"));
    OnCheckPost = [this] { return requireText(collection(), QStringLiteral("STEBTELEFONO"), QStringLiteral("Numero telefonico"), xdeNumero); };
}

TfrEmail::TfrEmail(QSqlDatabase db, QWidget *parent)
    : TfrBenDetail(db, QStringLiteral("SELECT E.IEMBID, E.IBENID, E.SEMBEMAIL, E.LEMBVIEW FROM TEMB_EMAIL E"
                                      " WHERE E.IBENID = :IBENID AND E.DDELETE IS NULL ORDER BY E.IEMBID"),
                   QStringLiteral("IBENID"), parent)
{
    setObjectName(QStringLiteral("frEmail"));
    setToolTip(QStringLiteral("E-mail"));
    setRowStatements(QStringLiteral("TEMB_EMAIL"), QStringLiteral("IEMBID"), QStringLiteral("SEMBEMAIL, LEMBVIEW"), false);
    collection()->setDefault(QStringLiteral("LEMBVIEW"), 1);
    setGrid(this, {{QStringLiteral("SEMBEMAIL"), QStringLiteral("Indirizzo E-Mail"), 400, {}, {}}});
    xdeEmail = textEdit("xdeEmail", 100);
    addField(QStringLiteral("&Indirizzo E-Mail"), xdeEmail, QStringLiteral("SEMBEMAIL"));
    xckVisualizza = new fw::TVeDBCheckBox(QStringLiteral("&Visualizza nelle stampe"));
    addField(QString(), xckVisualizza, QStringLiteral("LEMBVIEW"));
    OnCheckPost = [this] { return requireText(collection(), QStringLiteral("SEMBEMAIL"), QStringLiteral("Indirizzo E-Mail"), xdeEmail); };
}

TfrSitiWeb::TfrSitiWeb(QSqlDatabase db, QWidget *parent)
    : TfrBenDetail(db, QStringLiteral("SELECT W.ISWBID, W.IBENID, W.SSWBSITO FROM TSWB_SITIWEB W"
                                      " WHERE W.IBENID = :IBENID AND W.DDELETE IS NULL ORDER BY W.ISWBID"),
                   QStringLiteral("IBENID"), parent)
{
    setObjectName(QStringLiteral("frSitiWeb"));
    setToolTip(QStringLiteral("Siti Web"));
    setRowStatements(QStringLiteral("TSWB_SITIWEB"), QStringLiteral("ISWBID"), QStringLiteral("SSWBSITO"), false);
    setGrid(this, {{QStringLiteral("SSWBSITO"), QStringLiteral("Sito Web"), 450, {}, {}}});
    xdeSito = textEdit("xdeSito", 200);
    addField(QStringLiteral("&Sito Web"), xdeSito, QStringLiteral("SSWBSITO"));
    OnCheckPost = [this] { return requireText(collection(), QStringLiteral("SSWBSITO"), QStringLiteral("Sito Web"), xdeSito); };
}

// ---- legal data ----------------------------------------------------------------------------------------

QString turnoverPairMessage()
{
    return QStringLiteral("Attenzione!\r\nSe viene inserito il fatturato, è necessario inserire l'anno di riferimento."
                          " Viceversa se si inserisce l'anno di riferimento occorre inserire anche il fatturato");
}

QString registrationPairMessage()
{
    return QStringLiteral("Attenzione!\r\nSe si inserisce un Comune è necessario inserire anche il relativo numero di"
                          " iscrizione. Altrimenti se viene inserito il numero di iscrizione bisogna inserire anche il Comune");
}

LegalField checkLegal(const LegalInput &in)
{
    const bool year = !in.year.trimmed().isEmpty() && in.year.trimmed() != QLatin1String("0");
    const bool turnover = !Money::fromText(in.turnover).isZero();
    if (year != turnover) {
        fw::showError(turnoverPairMessage());
        return year ? LegalField::Turnover : LegalField::Year;
    }
    struct Pair { const QVariant &place; const QString &number; LegalField placeField, numberField; };
    const Pair pairs[] = {{in.cciaPlace, in.cciaNumber, LegalField::CciaPlace, LegalField::CciaNumber},
                          {in.tribunalPlace, in.tribunalNumber, LegalField::TribunalPlace, LegalField::TribunalNumber},
                          {in.prefecturePlace, in.prefectureNumber, LegalField::PrefecturePlace, LegalField::PrefectureNumber}};
    for (const Pair &p : pairs) {
        const bool place = !isBlank(p.place) && p.place.toInt() > 0;
        const bool number = !p.number.trimmed().isEmpty();
        if (place != number) {
            fw::showError(registrationPairMessage());
            return place ? p.numberField : p.placeField;
        }
    }
    return LegalField::None;
}

TfrDatiLegali::TfrDatiLegali(QSqlDatabase db, QWidget *parent)
    : TfrBenDetail(db, QStringLiteral(
                       "SELECT L.ILEGID, L.IBENID, L.SLEGNUMCCIA, L.ILEGSRPCCCIA, L.SLEGNUMTRIBUN, L.ILEGSRPCTRIBUN,"
                       " L.SLEGNUMPREFETT, L.ILEGSRPCPREFETT, L.ILEGANNOFATT, L.FLEGFATTURATO, L.SLEGPOSIZINPS,"
                       " L.SLEGCODDITTAINAIL, C.SCOMDESC AS SCOMCCIA FROM TLEG_DATILEGALI L"
                       " LEFT OUTER JOIN VSRPC C ON (C.ISRPCID = L.ILEGSRPCCCIA)"
                       " WHERE L.IBENID = :IBENID AND L.DDELETE IS NULL ORDER BY L.ILEGID"),
                   QStringLiteral("IBENID"), parent)
{
    setObjectName(QStringLiteral("frDatiLegali"));
    setToolTip(QStringLiteral("Dati legali"));
    setRowStatements(QStringLiteral("TLEG_DATILEGALI"), QStringLiteral("ILEGID"),
                     QStringLiteral("SLEGNUMCCIA, ILEGSRPCCCIA, SLEGNUMTRIBUN, ILEGSRPCTRIBUN, SLEGNUMPREFETT, ILEGSRPCPREFETT,"
                                    " ILEGANNOFATT, FLEGFATTURATO, SLEGPOSIZINPS, SLEGCODDITTAINAIL"),
                     true);
    setGrid(this, {{QStringLiteral("SCOMCCIA"), QStringLiteral("CCIA"), 200, {}, {}},
                   {QStringLiteral("SLEGNUMCCIA"), QStringLiteral("Numero iscrizione"), 150, {}, {}},
                   {QStringLiteral("ILEGANNOFATT"), QStringLiteral("Anno"), 70, {}, QStringLiteral("")},
                   {QStringLiteral("FLEGFATTURATO"), QStringLiteral("Fatturato"), 140, {}, {}}});
    xdlComCcia = placeLookup("xdlComCcia", false);
    addField(QStringLiteral("Camera di commercio (CCIA): &Comune"), xdlComCcia, QStringLiteral("ILEGSRPCCCIA"));
    xdeNumCcia = textEdit("xdeNumCcia", 30);
    addField(QStringLiteral("CCIA: Numero iscrizione"), xdeNumCcia, QStringLiteral("SLEGNUMCCIA"));
    xdlComTribunale = placeLookup("xdlComTribunale", false);
    addField(QStringLiteral("&Tribunale: Comune"), xdlComTribunale, QStringLiteral("ILEGSRPCTRIBUN"));
    xdeNumTribunale = textEdit("xdeNumTribunale", 30);
    addField(QStringLiteral("Tribunale: Numero iscrizione"), xdeNumTribunale, QStringLiteral("SLEGNUMTRIBUN"));
    xdlComPrefettura = placeLookup("xdlComPrefettura", false);
    addField(QStringLiteral("&Prefettura: Comune"), xdlComPrefettura, QStringLiteral("ILEGSRPCPREFETT"));
    xdeNumPrefettura = textEdit("xdeNumPrefettura", 30);
    addField(QStringLiteral("Prefettura: Numero iscrizione"), xdeNumPrefettura, QStringLiteral("SLEGNUMPREFETT"));
    xdcFatturato = new fw::TVeDBCurrencyEdit;
    xdcFatturato->setObjectName(QStringLiteral("xdcFatturato"));
    addField(QStringLiteral("Fatturato: &Importo"), xdcFatturato, QStringLiteral("FLEGFATTURATO"));
    xdeAnnoFatt = new fw::TVeDBNumericEdit;
    xdeAnnoFatt->setObjectName(QStringLiteral("xdeAnnoFatt"));
    xdeAnnoFatt->setMaxLength(4);
    addField(QStringLiteral("Fatturato: &Anno di riferimento"), xdeAnnoFatt, QStringLiteral("ILEGANNOFATT"));
    xdeInps = textEdit("xdeInps", 30);
    addField(QStringLiteral("Posizione I&NPS"), xdeInps, QStringLiteral("SLEGPOSIZINPS"));
    xdeInail = textEdit("xdeInail", 30);
    addField(QStringLiteral("Codice ditta IN&AIL"), xdeInail, QStringLiteral("SLEGCODDITTAINAIL"));
    OnCheckPost = [this] {
        auto *c = collection();
        const LegalInput in{xdeAnnoFatt->text(), xdcFatturato->text(),
                            c->fieldValue(QStringLiteral("ILEGSRPCCCIA")), c->fieldValue(QStringLiteral("ILEGSRPCTRIBUN")),
                            c->fieldValue(QStringLiteral("ILEGSRPCPREFETT")), xdeNumCcia->text(), xdeNumTribunale->text(),
                            xdeNumPrefettura->text()};
        switch (checkLegal(in)) {
        case LegalField::None: return true;
        case LegalField::Year: xdeAnnoFatt->setFocus(); break;
        case LegalField::Turnover: xdcFatturato->setFocus(); break;
        case LegalField::CciaPlace: xdlComCcia->setFocus(); break;
        case LegalField::CciaNumber: xdeNumCcia->setFocus(); break;
        case LegalField::TribunalPlace: xdlComTribunale->setFocus(); break;
        case LegalField::TribunalNumber: xdeNumTribunale->setFocus(); break;
        case LegalField::PrefecturePlace: xdlComPrefettura->setFocus(); break;
        case LegalField::PrefectureNumber: xdeNumPrefettura->setFocus(); break;
        }
        return false;
    };
}

void TfrDatiLegali::setTurnoverFormat(int option)
{
    xdcFatturato->setPrefix(option == 0 ? QString() : QLocale(QLocale::Italian, QLocale::Italy).currencySymbol() + u' ');
}

// ---- seats -------------------------------------------------------------------------------------------------

TfrSedi::TfrSedi(QSqlDatabase db, QWidget *parent)
    : TfrBenDetail(db, QStringLiteral(
                       "SELECT S.ISEBID, S.IBENID, S.IANAID, S.ICOMCAPID, S.SSEBINDIRIZZO, S.LSEBRIFERIMENTO, S.DSTART,"
                       " CC.ISRPCID, CC.SCAPVALUE, CC.SFRAQUADESC, CC.ISTAID,"
                       " CAST(CC.SCOMDESC || ' (' || COALESCE(CC.SPROSIGLA, '') || ')' AS VARCHAR(200)) AS COMUNE"
                       " FROM TSEB_SEDIBEN S LEFT OUTER JOIN VCOMCAP CC ON (CC.ICOMCAPID = S.ICOMCAPID)"
                       " WHERE S.IBENID = :IBENID AND S.DDELETE IS NULL ORDER BY S.ISEBID"),
                   QStringLiteral("IBENID"), parent)
{
    setObjectName(QStringLiteral("frSedi"));
    setToolTip(QStringLiteral("Sedi"));
    auto *c = collection();
    // A new reference seat first takes the flag from the old one: the database holds one only.
    const QString clear = QStringLiteral(
        "UPDATE TSEB_SEDIBEN SET TSEB_SEDIBEN.LSEBRIFERIMENTO = NULL WHERE TSEB_SEDIBEN.LSEBRIFERIMENTO = :LSEBRIFERIMENTO"
        " AND TSEB_SEDIBEN.IBENID = :IBENID");
    c->setStatements(fw::VeOperation::Insert, {clear, QStringLiteral(
        "INSERT INTO TSEB_SEDIBEN (ISEBID, IBENID, IANAID, ICOMCAPID, SSEBINDIRIZZO, LSEBRIFERIMENTO, DSTART)"
        " VALUES (:VEGENID, :IBENID, (SELECT B.IANAID FROM TBEN_BENEFICIARI B WHERE B.IBENID = :IBENID), :ICOMCAPID,"
        " :SSEBINDIRIZZO, :LSEBRIFERIMENTO, CURRENT_DATE)")});
    c->setStatements(fw::VeOperation::Update, {clear, QStringLiteral(
        "UPDATE TSEB_SEDIBEN SET ICOMCAPID = :ICOMCAPID, SSEBINDIRIZZO = :SSEBINDIRIZZO, LSEBRIFERIMENTO = :LSEBRIFERIMENTO"
        " WHERE ISEBID = :VECURRID")});
    c->setStatements(fw::VeOperation::Delete, {SoftDelete.arg(QStringLiteral("TSEB_SEDIBEN"), QStringLiteral("ISEBID"))});
    c->VeBeforeExec = [this](fw::VeExecContext &ctx) {
        auto *col = collection();
        if (ctx.operation == fw::VeOperation::Delete)
            return;
        const bool reference = col->fieldValue(QStringLiteral("LSEBRIFERIMENTO")).toInt() == 1;
        if (ctx.index == 0) {
            // Only a reference seat clears the others.
            ctx.execute = reference;
            ctx.params.set(QStringLiteral("LSEBRIFERIMENTO"), 1);
            return;
        }
        if (!bindAddress(ctx))
            return;
        ctx.params.set(QStringLiteral("LSEBRIFERIMENTO"), reference ? QVariant(1) : QVariant(QMetaType(QMetaType::Int)));
    };
    setGrid(this, {{QStringLiteral("SSEBINDIRIZZO"), QStringLiteral("Indirizzo"), 280, {}, {}},
                   {QStringLiteral("COMUNE"), QStringLiteral("Comune"), 220, {}, {}},
                   {QStringLiteral("SCAPVALUE"), QStringLiteral("CAP"), 60, {}, {}},
                   {QStringLiteral("SFRAQUADESC"), QStringLiteral("Quartiere"), 150, {}, {}},
                   {QStringLiteral("LSEBRIFERIMENTO"), QStringLiteral("Riferimento"), 80, {}, QStringLiteral("")}});
    xdeIndirizzo = textEdit("xdeIndirizzo", 100);
    addField(QStringLiteral("&Indirizzo"), xdeIndirizzo, QStringLiteral("SSEBINDIRIZZO"));
    xdlComune = placeLookup("xdlComune", true);
    addField(QStringLiteral("&Comune"), xdlComune, QStringLiteral("ISRPCID"));
    xdeCap = textEdit("xdeCap", 5);
    addField(QStringLiteral("C&AP"), xdeCap, QStringLiteral("SCAPVALUE"));
    xdeQuartiere = textEdit("xdeQuartiere", 100);
    addField(QStringLiteral("&Quartiere"), xdeQuartiere, QStringLiteral("SFRAQUADESC"));
    xckRiferimento = new fw::TVeDBCheckBox(QStringLiteral("&Sede di riferimento"));
    xckRiferimento->setObjectName(QStringLiteral("xckRiferimento"));
    addField(QString(), xckRiferimento, QStringLiteral("LSEBRIFERIMENTO"));
    proposePostcode(xdlComune);
    frTipoSede = new TfrTipoSede(db);
    addInnerFrame(frTipoSede, QStringLiteral("Tipologia di sede"), QStringLiteral("ISEBID"));
    OnBeforeDelete = [this] {
        if (collection()->value(collection()->currentIndex(), QStringLiteral("LSEBRIFERIMENTO")).toInt() != 1)
            return true;
        fw::showError(deleteReferenceMessage());
        return false;
    };
    OnCheckPost = [this] {
        auto *col = collection();
        SeatInput in;
        in.inserting = col->mode() == fw::DataMode::Insert;
        in.reference = col->fieldValue(QStringLiteral("LSEBRIFERIMENTO")).toInt() == 1;
        in.wasReference = !in.inserting && col->value(col->currentIndex(), QStringLiteral("LSEBRIFERIMENTO")).toInt() == 1;
        auto others = SqlQuery::scalar(this->db(), QStringLiteral("SELECT COUNT(*) FROM TSEB_SEDIBEN WHERE IBENID = :B AND DDELETE IS NULL AND ISEBID <> :S"),
                                       {{QStringLiteral("B"), benId()}, {QStringLiteral("S"), in.inserting ? 0 : col->currentKey().toInt()}});
        in.otherSeats = others ? others->toInt() : 0;
        in.address = col->fieldValue(QStringLiteral("SSEBINDIRIZZO")).toString();
        in.cap = col->fieldValue(QStringLiteral("SCAPVALUE")).toString();
        in.domestic = xdlComune->rowValue(QStringLiteral("ISTAID")).toInt() == 1
            || (xdlComune->row().isEmpty() && col->fieldValue(QStringLiteral("ISTAID")).toInt() == 1);
        const SeatCheck check = checkSeat(in);
        if (!check.ok) {
            QWidget *focus = check.focus == SeatField::Reference ? static_cast<QWidget *>(xckRiferimento)
                           : check.focus == SeatField::Address   ? static_cast<QWidget *>(xdeIndirizzo)
                                                                 : static_cast<QWidget *>(xdeCap);
            focus->setFocus();
            return false;
        }
        col->setFieldValue(QStringLiteral("LSEBRIFERIMENTO"), check.reference ? 1 : 0);
        return true;
    };
}

// ---- representatives and substitutions -------------------------------------------------------------

namespace {

fw::TVeDBLookupEdit *beneficiaryLookup(QSqlDatabase db, const char *name, const QString &title)
{
    auto *l = new fw::TVeDBLookupEdit(db);
    l->setObjectName(QString::fromLatin1(name));
    l->setSearchQuery(QStringLiteral("SELECT B.IBENID, B.SBENRAGSOC, B.SBENCODFISCALE, B.SBENPARTITAIVA FROM TBEN_BENEFICIARI B"
                                     " WHERE B.DDELETE IS NULL AND B.IBENID <> :BENID_P AND ##WHERE##"));
    l->setKeyField(QStringLiteral("B.IBENID"));
    l->setListField(QStringLiteral("SBENRAGSOC"));
    l->setSearchTitle(title);
    l->setSearchColumns({fw::SearchColumn::make(QStringLiteral("IBENID"), QString(), false, 0, false),
                         fw::SearchColumn::make(QStringLiteral("SBENRAGSOC"), QStringLiteral("Ragione sociale"), true, 320),
                         fw::SearchColumn::make(QStringLiteral("SBENCODFISCALE"), QStringLiteral("Codice fiscale"), true, 150),
                         fw::SearchColumn::make(QStringLiteral("SBENPARTITAIVA"), QStringLiteral("Partita I.V.A."), true, 120)});
    l->CreateSearchForm = [db](QWidget *parent) -> fw::TfmVeSearch * { return new TfmAbiBenSearch(db, parent); };
    return l;
}

} // namespace

TfrRappresentanti::TfrRappresentanti(QSqlDatabase db, QWidget *parent)
    : TfrBenDetail(db, QStringLiteral(
                       "SELECT R.IRPSID, R.IBENID, R.IBENID_P, R.DSTART, R.DEND, B.SBENRAGSOC, B.SBENCODFISCALE, B.SBENPARTITAIVA"
                       " FROM TRPS_RAPPR R INNER JOIN TBEN_BENEFICIARI B ON (B.IBENID = R.IBENID)"
                       " WHERE R.IBENID_P = :BENID_P AND R.DDELETE IS NULL ORDER BY R.IRPSID"),
                   QStringLiteral("BENID_P"), parent)
{
    setObjectName(QStringLiteral("frRappresentanti"));
    setToolTip(QStringLiteral("Rappresentanti"));
    auto *c = collection();
    // The representative holds category 4 exactly while it represents someone.
    const QString addCategory = QStringLiteral(
        "INSERT INTO TBENBCA (IBENBCAID, IBENID, IBCAID) SELECT :VEGENID, CAST(:IBENID AS INTEGER), 4 FROM RDB$DATABASE"
        " WHERE NOT EXISTS (SELECT TBENBCA.IBENBCAID FROM TBENBCA WHERE TBENBCA.IBENID = :IBENID AND TBENBCA.IBCAID = 4"
        " AND TBENBCA.DDELETE IS NULL)");
    const QString dropCategory = QStringLiteral(
        "DELETE FROM TBENBCA WHERE IBENID = :OLDIBENID AND IBCAID = 4"
        " AND NOT EXISTS (SELECT 1 FROM TRPS_RAPPR R WHERE R.IBENID = :OLDIBENID AND R.DDELETE IS NULL)");
    c->setStatements(fw::VeOperation::Insert, {QStringLiteral(
        "INSERT INTO TRPS_RAPPR (IRPSID, IBENID, IBENID_P, DSTART, DEND) VALUES (:VEGENID, :IBENID, :BENID_P, :DSTART, :DEND)"),
        addCategory});
    c->setStatements(fw::VeOperation::Update, {QStringLiteral(
        "UPDATE TRPS_RAPPR SET IBENID = :IBENID, DSTART = :DSTART, DEND = :DEND WHERE IRPSID = :VECURRID"),
        addCategory, dropCategory});
    c->setStatements(fw::VeOperation::Delete, {SoftDelete.arg(QStringLiteral("TRPS_RAPPR"), QStringLiteral("IRPSID")), dropCategory});
    c->VeBeforeExec = [this](fw::VeExecContext &ctx) {
        auto *col = collection();
        if (ctx.sql.contains(QLatin1String(":OLDIBENID")))
            ctx.params.set(QStringLiteral("OLDIBENID"), col->value(col->currentIndex(), QStringLiteral("IBENID")));
    };
    setGrid(this, {{QStringLiteral("SBENRAGSOC"), QStringLiteral("Rappresentante"), 300, {}, {}},
                   {QStringLiteral("SBENCODFISCALE"), QStringLiteral("Codice fiscale"), 150, {}, {}},
                   {QStringLiteral("SBENPARTITAIVA"), QStringLiteral("Partita I.V.A."), 130, {}, {}},
                   {QStringLiteral("DSTART"), QStringLiteral("Dal"), 90, {}, {}},
                   {QStringLiteral("DEND"), QStringLiteral("Al"), 90, {}, {}}});
    xdlRappresentante = beneficiaryLookup(db, "xdlRappresentante", QStringLiteral("Rappresentante"));
    addField(QStringLiteral("&Rappresentante"), xdlRappresentante, QStringLiteral("IBENID"));
    xddInizio = new fw::TVeDBDateEdit;
    addField(QStringLiteral("&Dal"), xddInizio, QStringLiteral("DSTART"));
    xddFine = new fw::TVeDBDateEdit;
    addField(QStringLiteral("&Al"), xddFine, QStringLiteral("DEND"));
    OnCheckPost = [this] {
        if (!isBlank(collection()->fieldValue(QStringLiteral("IBENID"))))
            return true;
        fw::showError(invalidMessage(QStringLiteral("Rappresentante")));
        xdlRappresentante->setFocus();
        return false;
    };
    connect(this, &fw::TVeEditFrame::modeChanged, this, [this] { xdlRappresentante->setParam(QStringLiteral("BENID_P"), benId()); });
}

TfrSostituzioni::TfrSostituzioni(QSqlDatabase db, QWidget *parent)
    : TfrBenDetail(db, QStringLiteral(
                       "SELECT S.ISOSID, S.IBENID, S.IBENID_P, S.DSTART, B.SBENRAGSOC, B.SBENCODFISCALE, B.SBENPARTITAIVA"
                       " FROM TSOS_SOSTITUZIONI S INNER JOIN TBEN_BENEFICIARI B ON (B.IBENID = S.IBENID)"
                       " WHERE S.IBENID_P = :BENID_P AND S.DDELETE IS NULL ORDER BY S.DSTART"),
                   QStringLiteral("BENID_P"), parent)
{
    setObjectName(QStringLiteral("frSostituzioni"));
    setToolTip(QStringLiteral("E' sostituito da"));
    frSostituisce = new TfrSostituisce(db, this);
    addBeside(frSostituisce);
    auto *caption = new QLabel(QStringLiteral("<b>E' sostituito da</b>"), this);
    static_cast<QBoxLayout *>(layout())->insertWidget(0, caption);
    auto *c = collection();
    c->setStatements(fw::VeOperation::Insert, {QStringLiteral(
        "INSERT INTO TSOS_SOSTITUZIONI (ISOSID, IBENID, IBENID_P, DSTART) VALUES (:VEGENID, :IBENID, :BENID_P, :DSTART)")});
    c->setStatements(fw::VeOperation::Update, {QStringLiteral(
        "UPDATE TSOS_SOSTITUZIONI SET IBENID = :IBENID, DSTART = :DSTART WHERE ISOSID = :VECURRID")});
    c->setStatements(fw::VeOperation::Delete, {SoftDelete.arg(QStringLiteral("TSOS_SOSTITUZIONI"), QStringLiteral("ISOSID"))});
    setGrid(this, {{QStringLiteral("SBENRAGSOC"), QStringLiteral("Beneficiario sostituente"), 300, {}, {}},
                   {QStringLiteral("SBENCODFISCALE"), QStringLiteral("Codice fiscale"), 150, {}, {}},
                   {QStringLiteral("DSTART"), QStringLiteral("Data sostituzione"), 110, {}, {}}});
    xdlSostituente = beneficiaryLookup(db, "xdlSostituente", QStringLiteral("Beneficiario sostituente"));
    addField(QStringLiteral("Beneficiario &sostituente"), xdlSostituente, QStringLiteral("IBENID"));
    xddData = new fw::TVeDBDateEdit;
    addField(QStringLiteral("&Data sostituzione"), xddData, QStringLiteral("DSTART"));
    OnCheckPost = [this] {
        if (isBlank(collection()->fieldValue(QStringLiteral("IBENID")))) {
            fw::showError(invalidMessage(QStringLiteral("Beneficiario sostituente")));
            xdlSostituente->setFocus();
            return false;
        }
        if (!collection()->fieldValue(QStringLiteral("DSTART")).toDate().isValid()) {
            fw::showError(QStringLiteral("Attenzione!\r\nData di sostituzione obbligatoria"));
            xddData->setFocus();
            return false;
        }
        return true;
    };
    connect(this, &fw::TVeEditFrame::modeChanged, this, [this] { xdlSostituente->setParam(QStringLiteral("BENID_P"), benId()); });
}

} // namespace ccp::ben

namespace ccp::ben {

void TfrSostituzioni::openBoth(int benId)
{
    openFor(benId);
    frSostituisce->openFor(benId);
}

TfrSostituisce::TfrSostituisce(QSqlDatabase db, QWidget *parent)
    : TfrBenDetail(db, QStringLiteral(
                       "SELECT S.ISOSID, S.IBENID, S.IBENID_P, S.DSTART, B.SBENRAGSOC, B.SBENCODFISCALE"
                       " FROM TSOS_SOSTITUZIONI S INNER JOIN TBEN_BENEFICIARI B ON (B.IBENID = S.IBENID_P)"
                       " WHERE S.IBENID = :BENID AND S.DDELETE IS NULL ORDER BY S.DSTART"),
                   QStringLiteral("BENID"), parent)
{
    setObjectName(QStringLiteral("frSostituisce"));
    setToolTip(QStringLiteral("Sostituisce"));
    makeReadOnly();
    auto *caption = new QLabel(QStringLiteral("<b>Sostituisce</b>"), this);
    static_cast<QBoxLayout *>(layout())->insertWidget(0, caption);
    setGrid(this, {{QStringLiteral("SBENRAGSOC"), QStringLiteral("Beneficiario sostituito"), 300, {}, {}},
                   {QStringLiteral("SBENCODFISCALE"), QStringLiteral("Codice fiscale"), 150, {}, {}},
                   {QStringLiteral("DSTART"), QStringLiteral("Data sostituzione"), 110, {}, {}}});
}

TfrTipoSede::TfrTipoSede(QSqlDatabase db, QWidget *parent)
    : TfrBenDetail(db, QStringLiteral(
                       "SELECT T.ISEBTPSID, T.ISEBID, T.ITPSID, P.STPSDESCS, P.STPSDESCL FROM TSEBTPS T"
                       " INNER JOIN TTPS_TIPOSEDE P ON (P.ITPSID = T.ITPSID)"
                       " WHERE T.ISEBID = :SEBID AND T.DDELETE IS NULL ORDER BY P.STPSDESCS, T.ISEBTPSID"),
                   QStringLiteral("SEBID"), parent)
{
    setObjectName(QStringLiteral("frTipoSede"));
    setToolTip(QStringLiteral("Tipologia di sede"));
    auto *c = collection();
    c->setStatements(fw::VeOperation::Insert, {QStringLiteral(
        "INSERT INTO TSEBTPS (ISEBTPSID, ISEBID, ITPSID) VALUES (:VEGENID, :SEBID, :ITPSID)")});
    c->setStatements(fw::VeOperation::Update, {QStringLiteral("UPDATE TSEBTPS SET ITPSID = :ITPSID WHERE ISEBTPSID = :VECURRID")});
    c->setStatements(fw::VeOperation::Delete, {SoftDelete.arg(QStringLiteral("TSEBTPS"), QStringLiteral("ISEBTPSID"))});
    setGrid(this, {{QStringLiteral("STPSDESCS"), QStringLiteral("Codice"), 80, {}, {}},
                   {QStringLiteral("STPSDESCL"), QStringLiteral("Tipologia di sede"), 300, {}, {}}});
    xdlTipoSede = new fw::TVeDBLookupEdit(db);
    xdlTipoSede->setObjectName(QStringLiteral("xdlTipoSede"));
    xdlTipoSede->setSearchQuery(QStringLiteral(
        "SELECT P.ITPSID, P.STPSDESCS, P.STPSDESCL FROM TTPS_TIPOSEDE P WHERE P.DDELETE IS NULL AND ##WHERE##"));
    xdlTipoSede->setKeyField(QStringLiteral("P.ITPSID"));
    xdlTipoSede->setListField(QStringLiteral("STPSDESCL"));
    xdlTipoSede->setSearchTitle(QStringLiteral("Tipologie di sedi"));
    xdlTipoSede->setSearchColumns({fw::SearchColumn::make(QStringLiteral("ITPSID"), QString(), false, 0, false),
                                   fw::SearchColumn::make(QStringLiteral("STPSDESCS"), QStringLiteral("Codice"), true, 80),
                                   fw::SearchColumn::make(QStringLiteral("STPSDESCL"), QStringLiteral("Descrizione"), true, 300)});
    addField(QStringLiteral("&Tipologia di sede"), xdlTipoSede, QStringLiteral("ITPSID"));
    // The type is the row: without it there is nothing to write.
    OnCheckPost = [this] {
        if (collection()->fieldValue(QStringLiteral("ITPSID")).toInt() > 0)
            return true;
        fw::showError(invalidMessage(QStringLiteral("Tipologia di sede")));
        xdlTipoSede->setFocus();
        return false;
    };
}

TfrDurc::TfrDurc(QSqlDatabase db, QWidget *parent)
    : TfrBenDetail(db, QStringLiteral(
                       "SELECT C.ICCDID, C.SCCDCODICE, C.SCCDLDESC, C.DCCDDATAASSEGN, C.DCCDDATASCAD FROM TCCD_CIGCUPDURC C"
                       " WHERE C.ITCCDID = 3 AND C.DDELETE IS NULL AND (C.IBENID = :IBENID"
                       " OR C.ICCDID IN (SELECT M.ICCDID_DURC FROM TMGM_MOVMAGAZZINO M WHERE M.IBENID = :IBENID AND M.DDELETE IS NULL)"
                       " OR C.ICCDID IN (SELECT V.ICCDID_DURC FROM TMOV_MOVIMENTI V WHERE V.IBENID = :IBENID AND V.DDELETE IS NULL)"
                       " OR C.ICCDID IN (SELECT O.ICCDID_DURC FROM TOMG_ORDINIMAGAZ O WHERE O.IBENID = :IBENID AND O.DDELETE IS NULL)"
                       " OR C.ICCDID IN (SELECT F.ICCDID_DURC FROM TOFF_OFFERTE F INNER JOIN TPREBEN P ON (P.IPREBENID = F.IPREBENID)"
                       " WHERE P.IBENID = :IBENID AND F.DDELETE IS NULL))"
                       " ORDER BY C.DCCDDATAASSEGN, C.SCCDCODICE"),
                   QStringLiteral("IBENID"), parent)
{
    setObjectName(QStringLiteral("frDurc"));
    setToolTip(QStringLiteral("DURC"));
    makeReadOnly();
    setGrid(this, {{QStringLiteral("SCCDCODICE"), QStringLiteral("Codice"), 160, {}, {}},
                   {QStringLiteral("SCCDLDESC"), QStringLiteral("Descrizione"), 320, {}, {}},
                   {QStringLiteral("DCCDDATAASSEGN"), QStringLiteral("Data assegnazione"), 120, {}, {}},
                   {QStringLiteral("DCCDDATASCAD"), QStringLiteral("Data scadenza"), 120, {}, {}}});
}

} // namespace ccp::ben
