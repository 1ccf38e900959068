#pragma once
#include "Money.h"
#include "TVeQueryCollection.h"

#include <QList>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

namespace ccp::movements {

// Who paid or was paid: each id is null when the movement has none.
struct MvmPayer
{
    QVariant iAnaId;
    QVariant iBenId;
    QVariant iSitId;
    QVariant iAnaPerId;
};

// One split row to write: the component and its amount as text ("12.50" or "12,50").
struct MvmSplitRow
{
    int iCcaId = 0;
    QString amountText;
};

// What the store reads, at each post, from the window that edits its rows.
class TEbcMvmOwner
{
public:
    virtual ~TEbcMvmOwner() = default;
    // The tab the row is entered on: 0 income ("&Entrate"), 1 expense ("&Uscite").
    virtual int tabIndex() const = 0;
    virtual MvmPayer payer() const = 0;
    // The text of the institute-amount edit (Italian, as displayed).
    virtual QString amountText() const = 0;
    // The note to store with the movement in the same transaction; nullopt leaves it alone.
    virtual std::optional<QString> noteText() const { return std::nullopt; }
};

// The movements of the working account: the list, and the statement lists that write a
// movement, bring the account-year up to date and rewrite its split rows. Everything of one
// post (row, procedures, split rows, note) runs in one transaction: on failure nothing stays.
class TdmEbcMvm : public QObject
{
    Q_OBJECT
public:
    explicit TdmEbcMvm(QSqlDatabase db, QObject *parent = nullptr);
    ~TdmEbcMvm() override;

    // The one instance, set by the connection module that owns it (null before).
    static TdmEbcMvm *instance();

    // List, insert, update and delete of movements. Parameters of the list: iSprIstId,
    // lMvmTipo, dInizioAnnoCorr, dFineAnnoCorr (set by the owner before opening).
    fw::TVeQueryCollection *xqcMvm;

    // Sets the four list parameters (does not open the list).
    void setListParams(int sprIstId, int mvmTipo, const QDate &start, const QDate &end);

    // Non-owning; null: tab, payer and amount are taken from the row being posted.
    void setOwner(TEbcMvmOwner *owner) { m_owner = owner; }
    TEbcMvmOwner *owner() const { return m_owner; }

    // The split to write for a movement of this causale with more than one component; nullopt
    // when there is none. Default: the composition dialog's, when it is set up for that causale.
    std::function<std::optional<QList<MvmSplitRow>>(int causaleId)> splitSource;

    // Id of the movement last inserted or updated by a successful post (0 before any).
    int lastMvmId() const { return m_lastMvmId; }

    // The account and the financial-year value the procedures receive: the working context
    // (EBCP_SprIstId, and the value of the year EBCP_AnfId).
    int sprIstId() const;
    QVariant esercizioFin() const;

    // ---- statement texts ---------------------------------------------------------------
    static QString listSelect();
    static QStringList insertStatements();   // indexes 0..2
    static QStringList updateStatements();   // indexes 0..1
    static QStringList deleteStatements();   // indexes 0..2
    static QString splitDeleteStatement();
    static QString splitSingleStatement();   // %d causale, %s amount
    static QString splitRowStatement();      // %d component, %s amount
    static QString componentCountSelect();
    static QString noteStatement();
    // Last of every insert and update: the split rows must add up to the movement's amount.
    static QString splitCheckStatement();
    // Run before a movement is written, changed or removed: refuses a closed account and an
    // account-year whose movements are locked.
    static QString allowedCheckStatement();
    // An amount text as it goes into a statement: "12.50" (four decimals when it has them).
    static QString sqlAmountFromEdit(const QString &italianText);
    static QString sqlAmountFromSplit(const QString &text);

Q_SIGNALS:
    // A movement was inserted, updated or deleted (after the commit).
    void movementPosted(ccp::fw::VeOperation op, int mvmId);

private:
    void beforeList(fw::VeListContext &ctx);
    void beforeExec(fw::VeExecContext &ctx);
    void afterExec(fw::VeExecContext &ctx);
    void onPosted(fw::VeOperation op);
    std::optional<QList<MvmSplitRow>> dialogSplit(int causaleId) const;
    Status checkAllowed(const QVariant &sprIstId, const QVariant &date);

    QSqlDatabase m_db;
    TEbcMvmOwner *m_owner = nullptr;
    int m_lastMvmId = 0;
    int m_pendingMvmId = 0;   // written by the post under way, kept once it commits
    std::optional<QString> m_pendingNote;
    mutable int m_anfIdCached = 0;
    mutable QVariant m_esercizioCached;
};

} // namespace ccp::movements
