#pragma once
#include "TfmVeSearch.h"

#include <QDialog>
#include <QSqlDatabase>

class QCheckBox;
class QLineEdit;
class QTableWidget;
class QTimer;

namespace ccp::ben {

// "Cerca Beneficiario": the search window of beneficiary lookups; the text typed is looked
// for in the column the cursor is in, and moving to another column starts afresh.
class TfmAbiBenSearch : public fw::TfmVeSearch
{
    Q_OBJECT
public:
    static constexpr int TypingDelayMs = 500;
    explicit TfmAbiBenSearch(QSqlDatabase db, QWidget *parent = nullptr);
    // The select field of the column searched.
    QString searchField() const;

protected:
    fw::SearchCondition searchCondition(const QString &text) const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int m_column = -1;
};

// "Seleziona il Beneficiario": ticks any number of beneficiaries of a list narrowed by the
// boxes and the typed name. The list's select (with a ##WHERE## slot) must give IBENID,
// SBENRAGSOC, LBENEND, LBENOBBLTRACC, SBENCODFISCALE, ISEDIOIL and IPAGAMOIL.
class TfmAbiMultiSelectBen : public QDialog
{
    Q_OBJECT
public:
    static constexpr int TypingDelayMs = 500;
    explicit TfmAbiMultiSelectBen(QSqlDatabase db, QWidget *parent = nullptr);

    // Every beneficiary, with the number of its seats and bank details.
    static QString defaultSelect();
    void setSelectText(const QString &sql) { m_select = sql; }
    // The condition of the boxes and of the name typed (bound).
    static fw::SearchCondition filterCondition(bool historicized, bool traceability, bool oilIncomplete,
                                               const QString &text);
    // Reads the list again with the current filter; the ticks are lost.
    bool applyFilter();
    // The ticked beneficiaries (valid after OK).
    QList<int> selectedIds() const;
    void setTicked(int row, bool ticked);
    int rowCount() const;
    void accept() override;

    QCheckBox *ckStorico;
    QCheckBox *ckTracciabilita;
    QCheckBox *ckOil;
    QLineEdit *edFiltra;
    QTableWidget *grid;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void boxClicked();
    bool m_loaded = false;

    QSqlDatabase m_db;
    QString m_select;
    QString m_appliedText;
    QTimer *m_typing;
};

} // namespace ccp::ben
