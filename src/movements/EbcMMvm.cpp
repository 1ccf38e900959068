#include "EbcMMvm.h"

#include "EbsFCauComp.h"
#include "EbsMDataSets.h"
#include "SqlQuery.h"
#include "TVeGlobalValues.h"

namespace ccp::movements {

namespace {

TdmEbcMvm *g_instance = nullptr;

const QString kMvmTable = QStringLiteral("TMVM_MOVIMENTICCP");
const QString kSplitTable = QStringLiteral("TMVMCCA");
// Insert and delete keep three fixed statements, update two; split statements follow them.
constexpr int kFixedInsert = 3;
constexpr int kFixedUpdate = 2;

QVariant orNull(const QVariant &v)
{
    return v.isValid() && !v.isNull() ? v : QVariant(QMetaType(QMetaType::Int));
}

// Fills the "%d" and "%s" slots of a statement text in order, as the texts are written.
QString format(QString text, int id, const QString &amount)
{
    const int d = text.indexOf(QLatin1String("%d"));
    if (d >= 0)
        text.replace(d, 2, QString::number(id));
    const int s = text.indexOf(QLatin1String("%s"));
    if (s >= 0)
        text.replace(s, 2, amount);
    return text;
}

QString sqlText(Money m)
{
    // Two decimals as the user sees them; four only when the amount really has them.
    return m.units() % 100 == 0 ? m.toSql() : m.toSqlExact();
}

} // namespace

TdmEbcMvm::TdmEbcMvm(QSqlDatabase db, QObject *parent) : QObject(parent), m_db(std::move(db))
{
    setObjectName(QStringLiteral("dmEbcMvm"));
    if (!g_instance)
        g_instance = this;
    xqcMvm = new fw::TVeQueryCollection(m_db, this);
    xqcMvm->setObjectName(QStringLiteral("xqcMvm"));
    xqcMvm->setSelectText(listSelect());
    xqcMvm->setKeyField(QStringLiteral("iMvmId"));
    xqcMvm->setTableName(QStringLiteral("TMvm_MovimentiCcp"));
    // A movement's row shows only its own data: after a post only it (and the end of the
    // list, where new movements go) is read again, however long the year.
    xqcMvm->setLocalRefresh(true);
    xqcMvm->setStatements(fw::VeOperation::Insert, insertStatements());
    xqcMvm->setStatements(fw::VeOperation::Update, updateStatements());
    xqcMvm->setStatements(fw::VeOperation::Delete, deleteStatements());
    xqcMvm->VeBeforeInsert = [this](fw::VeListContext &ctx) { beforeList(ctx); };
    xqcMvm->VeBeforeUpdate = [this](fw::VeListContext &ctx) { beforeList(ctx); };
    xqcMvm->VeBeforeExec = [this](fw::VeExecContext &ctx) { beforeExec(ctx); };
    xqcMvm->VeAfterExec = [this](fw::VeExecContext &ctx) { afterExec(ctx); };
    connect(xqcMvm, &fw::TVeQueryCollection::posted, this, &TdmEbcMvm::onPosted);
    splitSource = [this](int causaleId) { return dialogSplit(causaleId); };
}

TdmEbcMvm::~TdmEbcMvm()
{
    if (g_instance == this)
        g_instance = nullptr;
}

TdmEbcMvm *TdmEbcMvm::instance() { return g_instance; }

void TdmEbcMvm::setListParams(int sprIstId, int mvmTipo, const QDate &start, const QDate &end)
{
    xqcMvm->setParam(QStringLiteral("iSprIstId"), sprIstId);
    xqcMvm->setParam(QStringLiteral("lMvmTipo"), mvmTipo);
    xqcMvm->setParam(QStringLiteral("dInizioAnnoCorr"), start);
    xqcMvm->setParam(QStringLiteral("dFineAnnoCorr"), end);
}

int TdmEbcMvm::sprIstId() const
{
    return fw::TVeGlobalValuesManager::instance().intValue(QStringLiteral("EBCP_SprIstId"));
}

QVariant TdmEbcMvm::esercizioFin() const
{
    const int anfId = fw::TVeGlobalValuesManager::instance().intValue(QStringLiteral("EBCP_AnfId"));
    if (anfId != 0 && anfId == m_anfIdCached && m_esercizioCached.isValid())
        return m_esercizioCached;
    auto r = SqlQuery::scalar(m_db, QStringLiteral(" SELECT iAnfValore FROM TAnf_AnniFinanz WHERE iAnfId = :iAnfId"),
                              {{QStringLiteral("iAnfId"), anfId}});
    if (!r || !r.value().isValid() || r.value().isNull())
        return QVariant(QMetaType(QMetaType::Int));
    m_anfIdCached = anfId;
    m_esercizioCached = r.value().toInt();
    return m_esercizioCached;
}

// ---- statement texts -----------------------------------------------------------------------

QString TdmEbcMvm::listSelect()
{
    return QStringLiteral(
        " SELECT Mvm.iMvmId, Mvm.iSprIstId, Mvm.iCauId, Mvm.sNrUffPostale, Mvm.iSprId, Mvm.iSrpcId,"
        " Mvm.iComCapId, Mvm.lMvmTipo, Mvm.fMvmImporto, Mvm.fMvmDifferenza, Mvm.iMvmProgr,"
        " Mvm.dMvmDataMov, Mvm.dMvmDataEc, Mvm.iMvmNrBollettino, CAST(NULL AS VARCHAR(1)) AS note,"
        " Cau.sCauLDesc, Mvm.iLocked, Mvm.iAnaId, Mvm.iBenId, Mvm.iSitId, Mvm.iAnaPerId, Mvm.iCbmId,"
        " (SELECT COALESCE(SUM(Mva.fMvmCcaImporto), 0) FROM TMvmCca Mva WHERE Mva.iMvmId = Mvm.iMvmId)"
        " AS fImporto_CCA,"
        " (SELECT Bd.sBenefDescr FROM PEbc_BenefDescr(Mvm.iAnaId, Mvm.iBenId) Bd) AS sBenefDescr"
        " FROM TMvm_MovimentiCcp Mvm"
        " INNER JOIN TCau_Causali Cau ON (Cau.iCauId = Mvm.iCauId)"
        " INNER JOIN TSprIst Spr ON (Spr.iSprIstId = Mvm.iSprIstId)"
        " WHERE (Mvm.iSprIstId = :iSprIstId) AND (Mvm.lMvmTipo = :lMvmTipo)"
        " AND (Mvm.dMvmDataMov BETWEEN :dInizioAnnoCorr AND :dFineAnnoCorr)"
        " ORDER BY Mvm.iMvmProgr");
}

QStringList TdmEbcMvm::insertStatements()
{
    return {
        QStringLiteral(
            " INSERT INTO TMvm_MovimentiCcp (iMvmId, iSprIstId, iCauId, sNrUffPostale, iSprId, iSrpcId, "
            "iComCapId, lMvmTipo, fMvmImporto, fMvmDifferenza, iMvmProgr, dMvmDataMov, dMvmDataEc, "
            "iMvmNrBollettino, iAnaId, iBenId, iCbmId, iSitId, iAnaPerId, iLocked) VALUES (:VEGENID, "
            ":iSprIstId, :iCauId, :sNrUffPostale, :iSprId, :iSrpcId, :iComCapId, :lMvmTipo, :fMvmImporto, "
            ":fMvmDifferenza, 0, :dMvmDataMov, :dMvmDataEc, :iMvmNrBollettino, :iAnaId, :iBenId, :iCbmId, "
            ":iSitId, :iAnaPerId, 0)"),
        QStringLiteral(" EXECUTE PROCEDURE PEbc_MvmUpdTabs(:iSprIstId, :iEsercizioFin)"),
        QStringLiteral(" EXECUTE PROCEDURE PEbc_LockUnlockAnf(:iSprIstId, :iEsercizioFin)"),
    };
}

QStringList TdmEbcMvm::updateStatements()
{
    return {
        QStringLiteral(
            " UPDATE TMvm_MovimentiCcp SET iCauId = :iCauId, sNrUffPostale = :sNrUffPostale, iSprId = :iSprId, "
            "iAnaId = :iAnaId, iBenId = :iBenId, iCbmId = :iCbmId, iSitId = :iSitId, iAnaPerId = :iAnaPerId, "
            "iSrpcId = :iSrpcId, iComCapId = :iComCapId, fMvmImporto = :fMvmImporto, "
            "fMvmDifferenza = :fMvmDifferenza, dMvmDataMov = :dMvmDataMov, dMvmDataEc = :dMvmDataEc, "
            "iMvmNrBollettino = :iMvmNrBollettino WHERE iMvmId = :VECURRID"),
        QStringLiteral(" EXECUTE PROCEDURE PEbc_MvmUpdTabs(:iSprIstId, :iEsercizioFin)"),
    };
}

QStringList TdmEbcMvm::deleteStatements()
{
    return {
        QStringLiteral(" DELETE FROM TMvm_MovimentiCcp WHERE iMvmId = :VECURRID"),
        QStringLiteral(" EXECUTE PROCEDURE PEbc_MvmUpdTabs(:iSprIstId, :iEsercizioFin)"),
        QStringLiteral(" EXECUTE PROCEDURE PEbc_LockUnlockAnf(:iSprIstId, :iEsercizioFin)"),
    };
}

QString TdmEbcMvm::splitDeleteStatement() { return QStringLiteral(" DELETE FROM TMvmCca WHERE iMvmId = :VECURRID"); }

QString TdmEbcMvm::splitSingleStatement()
{
    return QStringLiteral(" INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto) VALUES (:VEGENID, "
                          ":iMvmId, (SELECT iCcaId FROM TCauCca WHERE iCauId = %d), %s)");
}

QString TdmEbcMvm::splitRowStatement()
{
    return QStringLiteral(
        " INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto) VALUES (:VEGENID, :iMvmId, %d, %s)");
}

QString TdmEbcMvm::componentCountSelect()
{
    return QStringLiteral(" SELECT COUNT(iCcaId) iCount FROM TCauCca WHERE iCauId = :iCauId");
}

QString TdmEbcMvm::noteStatement()
{
    return QStringLiteral("UPDATE TMvm_MovimentiCcp SET bMvmNote = :bMvmNote WHERE iMvmId = :iMvmId");
}

QString TdmEbcMvm::splitCheckStatement() { return QStringLiteral(" EXECUTE PROCEDURE PEbc_MvmQuadra(:iMvmId)"); }

QString TdmEbcMvm::allowedCheckStatement()
{
    return QStringLiteral(" EXECUTE PROCEDURE PEbc_MvmConsentito(:iSprIstId, :dMvmDataMov)");
}

QString TdmEbcMvm::sqlAmountFromEdit(const QString &italianText)
{
    // The edit shows "1.234,50": read it as the user typed it, never paste it into SQL as is.
    return sqlText(Money::fromText(italianText));
}

QString TdmEbcMvm::sqlAmountFromSplit(const QString &text)
{
    bool ok = false;
    const Money m = Money::fromSqlText(text.trimmed(), &ok);
    return sqlText(ok ? m : Money::fromText(text));
}

// ---- posting -------------------------------------------------------------------------------

std::optional<QList<MvmSplitRow>> TdmEbcMvm::dialogSplit(int causaleId) const
{
    const fees::TfmEbsCauComp *dlg = fees::TfmEbsCauComp::instance();
    if (!dlg || dlg->CausaleId != causaleId || dlg->ComponentCount() <= 0)
        return std::nullopt;
    QList<MvmSplitRow> rows;
    for (int r = 1; r <= dlg->ComponentCount(); ++r)
        rows.append({dlg->ComponentIdAt(r), dlg->AmountTextAt(r)});
    return rows;
}

void TdmEbcMvm::beforeList(fw::VeListContext &ctx)
{
    const bool insert = ctx.operation == fw::VeOperation::Insert;
    QStringList &list = ctx.statements;
    // The split statements of the previous post go; this post appends its own.
    const int fixed = insert ? kFixedInsert : kFixedUpdate;
    while (list.size() > fixed)
        list.removeLast();
    m_pendingMvmId = 0;
    m_pendingNote.reset();
    if (!insert)
        list.append(splitDeleteStatement());

    bool ok = false;
    const int causaleId = xqcMvm->fieldValue(QStringLiteral("iCauId")).toInt(&ok);
    if (ok && causaleId > 0) {
        auto count = SqlQuery::scalar(m_db, componentCountSelect(), {{QStringLiteral("iCauId"), causaleId}});
        if (!count) {
            ctx.fail(count.error());
            return;
        }
        if (count.value().toInt() == 1) {
            const QString amount = m_owner ? m_owner->amountText()
                                           : Money::fromVariant(xqcMvm->fieldValue(QStringLiteral("fMvmImporto"))).toEdit();
            list.append(format(splitSingleStatement(), causaleId, sqlAmountFromEdit(amount)));
        } else if (splitSource) {
            if (const auto rows = splitSource(causaleId)) {
                for (const MvmSplitRow &row : *rows)
                    list.append(format(splitRowStatement(), row.iCcaId, sqlAmountFromSplit(row.amountText)));
            }
        }
    }
    // The note belongs to the same post: all of it is written, or none.
    if (m_owner) {
        m_pendingNote = m_owner->noteText();
        if (m_pendingNote)
            list.append(noteStatement());
    }
    // Whatever wrote the split, a movement whose rows do not add up is not stored.
    list.append(splitCheckStatement());
}

Status TdmEbcMvm::checkAllowed(const QVariant &sprIstId, const QVariant &date)
{
    SqlQuery q(m_db);
    if (auto s = q.prepare(allowedCheckStatement()); !s)
        return s;
    q.bind(QStringLiteral("iSprIstId"), sprIstId).bind(QStringLiteral("dMvmDataMov"), date);
    return q.exec();
}

void TdmEbcMvm::beforeExec(fw::VeExecContext &ctx)
{
    const bool insert = ctx.operation == fw::VeOperation::Insert;
    const bool update = ctx.operation == fw::VeOperation::Update;
    if (ctx.index == 0) {
        // A closed account or a locked year takes no movement and gives none away; the check
        // runs in the post's transaction, so a refusal leaves nothing.
        const int row = xqcMvm->currentIndex();
        const QVariant account = insert ? QVariant(sprIstId()) : xqcMvm->value(row, QStringLiteral("iSprIstId"));
        QList<QVariant> dates;
        if (!insert)
            dates << xqcMvm->value(row, QStringLiteral("dMvmDataMov"));
        if (const QVariant now = xqcMvm->fieldValue(QStringLiteral("dMvmDataMov")); insert || (update && now != dates.value(0)))
            dates << now;
        for (const QVariant &date : std::as_const(dates)) {
            if (auto s = checkAllowed(account, date); !s) {
                ctx.fail(s.error());
                return;
            }
        }
    }
    if (ctx.index == 0 && (insert || update)) {
        if (insert) {
            ctx.params.set(QStringLiteral("iSprIstId"), sprIstId());
            const int tab = m_owner ? m_owner->tabIndex() : xqcMvm->fieldValue(QStringLiteral("lMvmTipo")).toInt();
            ctx.params.set(QStringLiteral("lMvmTipo"), tab);
        }
        MvmPayer p;
        if (m_owner) {
            p = m_owner->payer();
        } else {
            p = {xqcMvm->fieldValue(QStringLiteral("iAnaId")), xqcMvm->fieldValue(QStringLiteral("iBenId")),
                 xqcMvm->fieldValue(QStringLiteral("iSitId")), xqcMvm->fieldValue(QStringLiteral("iAnaPerId"))};
        }
        ctx.params.set(QStringLiteral("iAnaId"), orNull(p.iAnaId));
        ctx.params.set(QStringLiteral("iBenId"), orNull(p.iBenId));
        ctx.params.set(QStringLiteral("iSitId"), orNull(p.iSitId));
        ctx.params.set(QStringLiteral("iAnaPerId"), orNull(p.iAnaPerId));
        return;
    }
    if (ctx.index == 1 || (ctx.index == 2 && !update)) {
        const QVariant year = esercizioFin();
        if (year.isNull()) {
            ctx.fail(QStringLiteral("Anno finanziario di lavoro non impostato."));
            return;
        }
        ctx.params.set(QStringLiteral("iEsercizioFin"), year);
        ctx.params.set(QStringLiteral("iSprIstId"), sprIstId());
        return;
    }
    if (insert || update) {
        if (ctx.tableName == kSplitTable || ctx.sql == splitCheckStatement()) {
            ctx.params.set(QStringLiteral("iMvmId"), m_pendingMvmId);
        } else if (ctx.tableName == kMvmTable && ctx.sql == noteStatement()) {
            ctx.params.set(QStringLiteral("iMvmId"), m_pendingMvmId);
            const QString note = m_pendingNote.value_or(QString());
            ctx.params.set(QStringLiteral("bMvmNote"), note.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(note));
        }
    }
}

void TdmEbcMvm::afterExec(fw::VeExecContext &ctx)
{
    if (ctx.tableName != kMvmTable || ctx.index != 0)
        return;
    if (ctx.operation == fw::VeOperation::Insert)
        m_pendingMvmId = ctx.params.value(QStringLiteral("VEGENID")).toInt();
    else if (ctx.operation == fw::VeOperation::Update)
        m_pendingMvmId = ctx.params.value(QStringLiteral("VECURRID")).toInt();
}

void TdmEbcMvm::onPosted(fw::VeOperation op)
{
    int id = 0;
    if (op != fw::VeOperation::Delete) {
        m_lastMvmId = m_pendingMvmId;
        id = m_lastMvmId;
    }
    m_pendingMvmId = 0;
    m_pendingNote.reset();
    // The fees lists show what has been paid against causali and components.
    if (auto *sets = fees::TdmEbsDataSets::instance()) {
        if (sets->xqcCompCaus && sets->xqcCompCaus->isOpen())
            sets->xqcCompCaus->refresh();
        if (sets->xqcCaus && sets->xqcCaus->isOpen())
            sets->xqcCaus->refresh();
    }
    Q_EMIT movementPosted(op, id);
}

} // namespace ccp::movements
