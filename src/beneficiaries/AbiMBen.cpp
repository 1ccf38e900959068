#include "AbiMBen.h"

#include "AbiUNames.h"
#include "SqlQuery.h"
#include "TVeQueryCollection.h"
#include "VeMessageDlg.h"

namespace ccp::ben {

namespace {

const QString S_IANAID = QStringLiteral("IANAID");
const QString S_IBENID = QStringLiteral("IBENID");
const QString S_VEGENID = QStringLiteral("VEGENID");
const QString S_VECURRID = QStringLiteral("VECURRID");

const QString InsAna = QStringLiteral(
    "INSERT INTO TANA_ANAGRAFICHE (IANAID, SANACOGNOME, SANANOME, DANANASCITA, ISRPCID, SANACODFISCALE,"
    " IIOCTRLCODE, SANACOGNOMENOMEIDX, DMODIFIED, DSTART)"
    " VALUES (:VEGENID, :SANACOGNOME, :SANANOME, :DANANASCITA, :ANAISRPCID, :SANACODFISCALE,"
    " :IIOCTRLCODE, :SANACOGNOMENOMEIDX, CURRENT_DATE, CURRENT_DATE)");
const QString UpdAna = QStringLiteral(
    "UPDATE TANA_ANAGRAFICHE SET SANACOGNOME = :SANACOGNOME, SANANOME = :SANANOME, DANANASCITA = :DANANASCITA,"
    " ISRPCID = :ANAISRPCID, SANACODFISCALE = :SANACODFISCALE, IIOCTRLCODE = :IIOCTRLCODE,"
    " SANACOGNOMENOMEIDX = :SANACOGNOMENOMEIDX, DMODIFIED = CURRENT_DATE WHERE IANAID = :IANAID");
const QString InsBen = QStringLiteral(
    "INSERT INTO TBEN_BENEFICIARI (IBENID, IANAID, IEDIID, SBENRAGSOC, SBENDESC, SBENCODFISCALE, SBENPARTITAIVA,"
    " LBENAVVPAGAMENTO, LBENPRIVACY, LBENEND, LBENOBBLTRACC, LBENESTERO, SBENSTATO, LBENADEMPFISCNOREGOLA,"
    " DBENADEMPFISCDATA, DSTART, DEND)"
    " VALUES (:VEGENID, :IANAID, :IEDIID, :SBENRAGSOC, :SBENDESC, :SBENCODFISCALE, :SBENPARTITAIVA,"
    " :LBENAVVPAGAMENTO, :LBENPRIVACY, :LBENEND, :LBENOBBLTRACC, :LBENESTERO, :SBENSTATO, :LBENADEMPFISCNOREGOLA,"
    " :DBENADEMPFISCDATA, CURRENT_DATE, :DEND)");
const QString UpdBen = QStringLiteral(
    "UPDATE TBEN_BENEFICIARI SET IANAID = :IANAID, IEDIID = :IEDIID, SBENRAGSOC = :SBENRAGSOC, SBENDESC = :SBENDESC,"
    " SBENCODFISCALE = :SBENCODFISCALE, SBENPARTITAIVA = :SBENPARTITAIVA, LBENAVVPAGAMENTO = :LBENAVVPAGAMENTO,"
    " LBENPRIVACY = :LBENPRIVACY, LBENEND = :LBENEND, LBENOBBLTRACC = :LBENOBBLTRACC, LBENESTERO = :LBENESTERO,"
    " SBENSTATO = :SBENSTATO, LBENADEMPFISCNOREGOLA = :LBENADEMPFISCNOREGOLA, DBENADEMPFISCDATA = :DBENADEMPFISCDATA,"
    " DEND = :DEND WHERE IBENID = :VECURRID");
const QString InsBca = QStringLiteral("INSERT INTO TBENBCA (IBENBCAID, IBENID, IBCAID) VALUES (:VEGENID, :IBENID, :IBCAID)");
const QString UpdBca = QStringLiteral("UPDATE TBENBCA  SET IBCAID = :IBCAID WHERE IBENID = :IBENID AND IBCAID = :OLDIBCAID");
const QString InsEdiBca = QStringLiteral("INSERT INTO TBENBCA (IBENBCAID, IBENID, IBCAID) VALUES (:VEGENID, :IBENID, :EDIBCAID)");
const QString UpdEdiBca = QStringLiteral("UPDATE TBENBCA SET IBCAID = :EDIBCAID WHERE IBENBCAID = :IEDIBCAID");
const QString InsCag = QStringLiteral(
    "INSERT INTO TANACAG (IANACAGID, IANAID, ICAGID, SANACAGCODE, DSTART) VALUES (:VEGENID, :IANAID, :ICAGID, :SANACAGCODE, CURRENT_DATE)");
// The reference seat of a new natural beneficiary: the person's first dwelling.
const QString InsSeat = QStringLiteral(
    "INSERT INTO TSEB_SEDIBEN (ISEBID, IBENID, IANAID, ICOMCAPID, SSEBINDIRIZZO, DSTART, LSEBRIFERIMENTO)"
    " SELECT FIRST 1 :VEGENID, :IBENID, :IANAID, ABT.ICOMCAPID, ABT.SABTINDIRIZZO, ABT.DSTART, 1"
    " FROM TABT_ABITAZ ABT INNER JOIN TANAABT AA ON (AA.IABTID = ABT.IABTID AND AA.DDELETE IS NULL)"
    " WHERE AA.IANAID = :IANAID AND ABT.DDELETE IS NULL"
    " AND NOT EXISTS (SELECT 1 FROM TSEB_SEDIBEN S WHERE S.IBENID = :IBENID AND S.DDELETE IS NULL)"
    " ORDER BY AA.DSTART, AA.IANAABTID");

bool isEmptyText(const QVariant &v)
{
    return !v.isValid() || v.isNull() || v.toString().trimmed().isEmpty();
}

QVariant intOrNull(int id)
{
    return id > 0 ? QVariant(id) : QVariant(QMetaType(QMetaType::Int));
}

} // namespace

QString invalidMessage(const QString &label)
{
    return QStringLiteral("Attenzione!\r\nValore non valido per il campo \"%1\"").arg(label);
}

QString historicizeQuestion()
{
    return QStringLiteral("Sei sicuro di voler storicizzare il Beneficiario?");
}

Result<QList<PersonMatch>> peopleWithControlCode(QSqlDatabase db, int code, int exceptAnaId)
{
    SqlQuery q(db);
    if (auto s = q.prepare(QStringLiteral(
            "SELECT ANA.IANAID, ANA.SANACOGNOME, ANA.SANANOME, ANA.DANANASCITA, ANA.SANACODFISCALE,"
            " P.SCOMDESC, P.SPROSIGLA, P.SSTALDESC FROM TANA_ANAGRAFICHE ANA"
            " LEFT OUTER JOIN VSRPC P ON (P.ISRPCID = ANA.ISRPCID)"
            " WHERE ANA.IIOCTRLCODE = :CODE AND ANA.DDELETE IS NULL AND ANA.IANAID <> :EXCEPT"
            " ORDER BY ANA.SANACOGNOMENOMEIDX, ANA.IANAID"));
        !s)
        return s;
    q.bind(QStringLiteral("CODE"), code).bind(QStringLiteral("EXCEPT"), exceptAnaId);
    if (auto s = q.exec(); !s)
        return s;
    QList<PersonMatch> out;
    while (q.next())
        out << PersonMatch{q.value(0).toInt(), q.value(1).toString(), q.value(2).toString(), q.value(3).toDate(),
                           q.value(4).toString(), q.value(5).toString(), q.value(6).toString(), q.value(7).toString()};
    return out;
}

QString beneficiaryListSql(bool publishers)
{
    const QString publisherColumns = publishers
        ? QStringLiteral(
              " CAST(CASE WHEN EXISTS (SELECT 1 FROM TBENBCA E WHERE E.IBENID = BEN.IBENID AND E.IBCAID = 3"
              "   AND E.DDELETE IS NULL) THEN 1 ELSE 0 END AS SMALLINT) AS LEDITORE,"
              " (SELECT FIRST 1 E.IBENBCAID FROM TBENBCA E WHERE E.IBENID = BEN.IBENID AND E.IBCAID IN (3, 4)"
              "   AND E.DDELETE IS NULL ORDER BY E.IBCAID) AS IEDIBCAID,")
        : QString();
    return QStringLiteral(
        "SELECT BEN.IBENID, BEN.IANAID, BEN.IEDIID, BEN.SBENRAGSOC, BEN.SBENDESC, BEN.SBENCODFISCALE,"
        " BEN.SBENPARTITAIVA, BEN.LBENAVVPAGAMENTO, BEN.LBENPRIVACY, BEN.LBENEND, BEN.LBENOBBLTRACC,"
        " BEN.LBENESTERO, BEN.SBENSTATO, BEN.LBENADEMPFISCNOREGOLA, BEN.DBENADEMPFISCDATA, BEN.DSTART, BEN.DEND,"
        " ANA.SANACOGNOME, ANA.SANANOME, ANA.DANANASCITA, ANA.ISRPCID AS ANAISRPCID, ANA.SANACODFISCALE,"
        " ANA.IIOCTRLCODE, PLACE.SCOMDESC, PLACE.SPROSIGLA, PLACE.SSTALDESC, PLACE.ISTAID,"
        " CAST('' AS VARCHAR(1)) AS VUOTO,%1"
        " CAST(CASE WHEN EXISTS (SELECT 1 FROM TBENBCA R WHERE R.IBENID = BEN.IBENID AND R.IBCAID = 4"
        "   AND R.DDELETE IS NULL) THEN 'SI' ELSE '' END AS VARCHAR(2)) AS SRAPPRESENTANTE"
        " FROM TBEN_BENEFICIARI BEN"
        " LEFT OUTER JOIN TANA_ANAGRAFICHE ANA ON (ANA.IANAID = BEN.IANAID)"
        " LEFT OUTER JOIN VSRPC PLACE ON (PLACE.ISRPCID = ANA.ISRPCID)"
        " WHERE BEN.DDELETE IS NULL AND ##WHERE##").arg(publisherColumns);
}

ListCondition listCondition(bool historicized, const QString &search, bool publishers)
{
    ListCondition c;
    c.sql = historicized ? QStringLiteral("(BEN.LBENEND = 1)") : QStringLiteral("((BEN.LBENEND IS NULL) OR (BEN.LBENEND = 0))");
    if (publishers)
        c.sql += QStringLiteral(" AND EXISTS (SELECT 1 FROM TBENBCA P WHERE P.IBENID = BEN.IBENID AND P.IBCAID IN (3, 4)"
                                " AND P.DDELETE IS NULL)");
    const QString t = search.trimmed();
    if (!t.isEmpty()) {
        QString escaped = t.toUpper();
        escaped.replace(u'\\', QStringLiteral("\\\\")).replace(u'%', QStringLiteral("\\%")).replace(u'_', QStringLiteral("\\_"));
        c.sql += QStringLiteral(" AND (UPPER(BEN.SBENRAGSOC) LIKE :VESEARCH ESCAPE '\\')");
        c.params.insert(QStringLiteral("VESEARCH"), QString(u'%' + escaped + u'%'));
    }
    return c;
}

TdmBeneficiari::TdmBeneficiari(QSqlDatabase db, QObject *parent)
    : QObject(parent), m_db(std::move(db)), m_ben(new fw::TVeQueryCollection(m_db, this))
{
    m_ben->setObjectName(QStringLiteral("xqcBeneficiari"));
    m_ben->setSelectText(beneficiaryListSql());
    m_ben->setKeyField(S_IBENID);
    m_ben->setTableName(QStringLiteral("TBEN_BENEFICIARI"));
    m_ben->setSortKeys(QStringLiteral("SBENRAGSOC;IBENID"));
    m_ben->setLocalRefresh(true);
    m_ben->setDefault(QStringLiteral("LBENAVVPAGAMENTO"), 0);
    m_ben->setDefault(QStringLiteral("LBENPRIVACY"), 0);
    m_ben->setDefault(QStringLiteral("LBENEND"), 0);
    m_ben->setDefault(QStringLiteral("LBENOBBLTRACC"), 0);
    m_ben->setDefault(QStringLiteral("LBENESTERO"), 0);
    m_ben->setDefault(QStringLiteral("LBENADEMPFISCNOREGOLA"), 0);
    // Beneficiaries are historicized, never deleted here: other programs point to them.
    m_ben->setStatements(fw::VeOperation::Delete, {});
    m_ben->VeBeforeExec = [this](fw::VeExecContext &ctx) { beforeExec(ctx); };
    m_ben->VeAfterExec = [this](fw::VeExecContext &ctx) { afterExec(ctx); };
    const auto follow = [this] {
        if (!m_ben->isEditing())
            followCurrent();
    };
    connect(m_ben, &fw::TVeQueryCollection::currentChanged, this, follow);
    setStatements();
}

TdmBeneficiari::~TdmBeneficiari() = default;

Status TdmBeneficiari::open(int mode, int option)
{
    if (mode != m_mode || !m_ben->isOpen()) {
        m_ben->close();
        m_ben->setSelectText(beneficiaryListSql(mode == 1));
    }
    m_mode = mode;
    m_option = option;
    if (publisherMode())
        m_ben->setDefault(QStringLiteral("LEDITORE"), 1);
    setStatements();
    return setView(m_historicized, m_search);
}

Status TdmBeneficiari::setView(bool historicized, const QString &search)
{
    m_historicized = historicized;
    m_search = search;
    const ListCondition c = listCondition(historicized, search, publisherMode());
    m_ben->setWhere(c.sql, c.params);
    if (auto s = m_ben->open(); !s)
        return s;
    followCurrent();
    return {};
}

void TdmBeneficiari::followCurrent()
{
    const int row = m_ben->currentIndex();
    m_benId = row >= 0 ? m_ben->value(row, S_IBENID).toInt() : 0;
    m_anaId = row >= 0 ? m_ben->value(row, S_IANAID).toInt() : 0;
    setNatural(m_anaId > 0);
}

void TdmBeneficiari::setNatural(bool natural)
{
    m_natural = natural;
    setStatements();
}

void TdmBeneficiari::setStatements()
{
    if (m_natural) {
        m_ben->setStatements(fw::VeOperation::Insert, {InsAna, InsBen, InsBca, InsCag, InsSeat});
        // A beneficiary without its person (a legal one turned natural) gets it now.
        const bool hasPerson = m_ben->mode() == fw::DataMode::Edit ? !isEmptyText(m_ben->fieldValue(S_IANAID)) : m_anaId > 0;
        if (hasPerson)
            m_ben->setStatements(fw::VeOperation::Update, {UpdAna, UpdBen, UpdBca});
        else
            m_ben->setStatements(fw::VeOperation::Update, {InsAna, InsCag, UpdBen, UpdBca});
    } else {
        m_ben->setStatements(fw::VeOperation::Insert, {InsBen, InsBca});
        m_ben->setStatements(fw::VeOperation::Update, {UpdBen, UpdBca});
    }
    if (publisherMode()) {
        // Publisher (3) or, when not ticked, representative (4): the row that keeps it in this list.
        m_ben->statements(fw::VeOperation::Insert) << InsEdiBca;
        m_ben->statements(fw::VeOperation::Update) << UpdEdiBca;
    }
}

QString TdmBeneficiari::text(const QString &field) const
{
    return m_ben->fieldValue(field).toString().trimmed();
}

bool TdmBeneficiari::post()
{
    if (!m_ben->isEditing())
        return false;
    const bool inserting = m_ben->mode() == fw::DataMode::Insert;
    setStatements();
    m_plan = PostPlan();
    const int benBefore = m_benId;
    const int anaBefore = m_anaId;
    if (!inserting)
        m_benId = m_ben->currentKey().toInt();
    m_anaId = m_natural && !inserting ? m_ben->fieldValue(S_IANAID).toInt() : 0;

    m_plan.fiscalCode = text(QStringLiteral("SBENCODFISCALE"));
    if (m_natural) {
        const QString surname = text(QStringLiteral("SANACOGNOME"));
        const QString name = text(QStringLiteral("SANANOME"));
        const QDate birth = m_ben->fieldValue(QStringLiteral("DANANASCITA")).toDate();
        if (names::normalize(surname).isEmpty()) {
            fw::showError(invalidMessage(QStringLiteral("Cognome")));
            return false;
        }
        if (names::normalize(name).isEmpty()) {
            fw::showError(invalidMessage(QStringLiteral("Nome")));
            return false;
        }
        if (!birth.isValid()) {
            fw::showError(invalidMessage(QStringLiteral("Data nascita")));
            return false;
        }
        m_ben->setFieldValue(QStringLiteral("SANACOGNOME"), surname);
        m_ben->setFieldValue(QStringLiteral("SANANOME"), name);
        if (text(QStringLiteral("SBENRAGSOC")).isEmpty())
            m_ben->setFieldValue(QStringLiteral("SBENRAGSOC"), QString(surname + u' ' + name));
        m_plan.controlCode = names::controlCode(surname, name, birth);
        m_plan.personKey = names::personKey(surname, name);
        // A new person, or one whose name or birth changed, may already be in the registry.
        const bool asks = m_anaId == 0
            || m_ben->isFieldChanged(QStringLiteral("SANACOGNOME")) || m_ben->isFieldChanged(QStringLiteral("SANANOME"))
            || m_ben->isFieldChanged(QStringLiteral("DANANASCITA"));
        if (asks) {
            auto matches = peopleWithControlCode(m_db, m_plan.controlCode, m_anaId);
            if (!matches) {
                fw::showError(matches.error());
                return false;
            }
            if (!matches->isEmpty() && chooseDuplicate) {
                if (const std::optional<int> chosen = chooseDuplicate(*matches)) {
                    for (const PersonMatch &m : std::as_const(*matches))
                        if (m.anaId == *chosen && m_plan.fiscalCode.isEmpty())
                            m_plan.fiscalCode = m.fiscalCode;
                    m_anaId = *chosen;
                    m_plan.skipPersonInsert = true;
                    // The chosen person keeps its own record: only the link is written.
                    auto has = SqlQuery::scalar(m_db, QStringLiteral("SELECT COUNT(*) FROM TANACAG WHERE IANAID = :A AND ICAGID = 4 AND DDELETE IS NULL"),
                                                {{QStringLiteral("A"), *chosen}});
                    m_plan.skipPersonCategory = has && has->toInt() > 0;
                    if (!inserting)
                        m_ben->setStatements(fw::VeOperation::Update, publisherMode() ? QStringList{InsCag, UpdBen, UpdBca, UpdEdiBca}
                                                                                      : QStringList{InsCag, UpdBen, UpdBca});
                }
            }
        }
    }
    if (text(QStringLiteral("SBENRAGSOC")).isEmpty()) {
        fw::showError(invalidMessage(QStringLiteral("Ragione sociale")));
        return false;
    }
    if (publisherMode() && m_ben->fieldValue(QStringLiteral("LEDITORE")).toInt() != 1)
        m_ben->setFieldValue(QStringLiteral("IEDIID"), QVariant(QMetaType(QMetaType::Int)));
    const bool historicize = m_ben->fieldValue(QStringLiteral("LBENEND")).toInt() == 1;
    const bool wasHistoricized = !inserting && m_ben->value(m_ben->currentIndex(), QStringLiteral("LBENEND")).toInt() == 1;
    if (historicize && !wasHistoricized) {
        if (VeMessageDlg(historicizeQuestion(), fw::MsgType::Information, fw::MsgButtons::YesNo) == fw::MsgResult::Yes) {
            m_plan.endDate = QDate::currentDate();
        } else if (inserting) {
            // A new row is still written, just not historicized.
            m_ben->setFieldValue(QStringLiteral("LBENEND"), 0);
        } else {
            m_plan.skipBeneficiary = true;
        }
    } else if (historicize) {
        m_plan.endDate = m_ben->value(m_ben->currentIndex(), QStringLiteral("DEND")).toDate();
    }
    if (m_ben->post()) {
        setStatements();
        return true;
    }
    m_benId = benBefore;
    m_anaId = anaBefore;
    setStatements();
    return false;
}

namespace {
// An update post may insert too (a legal beneficiary turned natural gets its person).
bool isInsert(const fw::VeExecContext &ctx) { return ctx.sql.trimmed().startsWith(QLatin1String("INSERT"), Qt::CaseInsensitive); }
} // namespace

void TdmBeneficiari::beforeExec(fw::VeExecContext &ctx)
{
    const bool insert = isInsert(ctx);
    auto &p = ctx.params;
    if (ctx.tableName == QLatin1String("TANA_ANAGRAFICHE")) {
        if (insert && m_plan.skipPersonInsert) {
            ctx.execute = false;
            return;
        }
        p.set(QStringLiteral("IIOCTRLCODE"), m_plan.controlCode);
        p.set(QStringLiteral("SANACOGNOMENOMEIDX"), m_plan.personKey);
        p.set(QStringLiteral("SANACODFISCALE"), m_plan.fiscalCode.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(m_plan.fiscalCode));
        if (!insert)
            p.set(S_IANAID, m_anaId);
    } else if (ctx.tableName == QLatin1String("TANACAG")) {
        if (m_plan.skipPersonCategory) {
            ctx.execute = false;
            return;
        }
        p.set(S_IANAID, intOrNull(m_natural ? m_anaId : 0));
        p.set(QStringLiteral("ICAGID"), BeneficiaryPersonCategory);
        p.set(QStringLiteral("SANACAGCODE"), QString::number(m_anaId).rightJustified(10, u'0'));
    } else if (ctx.tableName == QLatin1String("TBEN_BENEFICIARI")) {
        if (m_plan.skipBeneficiary) {
            ctx.execute = false;
            return;
        }
        p.set(S_IANAID, intOrNull(m_natural ? m_anaId : 0));
        p.set(QStringLiteral("DEND"), m_plan.endDate.isValid() ? QVariant(m_plan.endDate) : QVariant(QMetaType(QMetaType::QDate)));
    } else if (ctx.tableName == QLatin1String("TBENBCA") && ctx.sql.contains(QLatin1String(":EDIBCAID"))) {
        p.set(S_IBENID, m_benId);
        p.set(QStringLiteral("EDIBCAID"), m_ben->fieldValue(QStringLiteral("LEDITORE")).toInt() == 1 ? Bca::Publisher
                                                                                                   : Bca::Representative);
    } else if (ctx.tableName == QLatin1String("TBENBCA")) {
        p.set(S_IBENID, m_benId);
        p.set(QStringLiteral("IBCAID"), m_natural ? Bca::Natural : Bca::Legal);
        p.set(QStringLiteral("OLDIBCAID"), m_natural ? Bca::Legal : Bca::Natural);
    } else if (ctx.tableName == QLatin1String("TSEB_SEDIBEN")) {
        p.set(S_IBENID, m_benId);
        p.set(S_IANAID, m_anaId);
    }
}

void TdmBeneficiari::afterExec(fw::VeExecContext &ctx)
{
    if (ctx.tableName == QLatin1String("TANA_ANAGRAFICHE") && isInsert(ctx))
        m_anaId = ctx.params.value(S_VEGENID).toInt();
    else if (ctx.tableName == QLatin1String("TBEN_BENEFICIARI"))
        m_benId = ctx.params.value(isInsert(ctx) ? S_VEGENID : S_VECURRID).toInt();
}

} // namespace ccp::ben
