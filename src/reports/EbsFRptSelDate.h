#pragma once
#include "VeFRptMultiSelect.h"

#include <QDate>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QListWidget;
class QRadioButton;

namespace ccp::fw { class TVeDBDateEdit; }

namespace ccp::reports {

// A period of the working financial year. The caller sets anfId, dStart and dEnd before
// showing and reads dStart and dEnd after OK. A date outside the year (when a year is set) or
// an end before the start sends the focus back to its edit with the text selected.
class TfmEbsRptSelDate : public TfmVeMultiSelect
{
    Q_OBJECT
public:
    explicit TfmEbsRptSelDate(QSqlDatabase db, QWidget *parent = nullptr);

    int anfId = 0;
    QDate dStart;
    QDate dEnd;
    // The working financial year's first and last day (read from the working context).
    QDate yearFirst;
    QDate yearLast;

    fw::TVeDBDateEdit *startEdit() const { return m_start; }
    fw::TVeDBDateEdit *endEdit() const { return m_end; }
    void setDateLabel(const QString &title);
    // Checks the edit as leaving it does; false: focus is back on it.
    bool checkDate(fw::TVeDBDateEdit *edit);

Q_SIGNALS:
    // A date edit took a new, accepted date.
    void datesChanged();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool validate() override;
    QFormLayout *dateForm() const { return m_dateForm; }
    // Filled from dStart/dEnd when shown; derived dialogs load their lists here.
    virtual void prepareShow() {}

private:
    void refuse(fw::TVeDBDateEdit *edit);
    QGroupBox *m_dateBox;
    QFormLayout *m_dateForm;
    fw::TVeDBDateEdit *m_start;
    fw::TVeDBDateEdit *m_end;
    bool m_filled = false;
};

// Period and the components of causali to show: per-type counters of the ticked components,
// ticks remembered from one showing to the next.
class TfmEbsRptSelDateList : public TfmEbsRptSelDate
{
    Q_OBJECT
public:
    explicit TfmEbsRptSelDateList(QSqlDatabase db, QWidget *parent = nullptr);

    // Rows: component id, component-type parent id, description.
    void setListSelect(const QString &sql, const QVariantMap &params = {});
    void reloadList();
    QListWidget *list() const { return m_list; }
    // Ticked components of type 1 to 4.
    int typeCount(int type) const { return type >= 1 && type <= 4 ? m_counts[type - 1] : 0; }
    QList<int> untickedIds() const;
    // " AND iCcaId <> n" for each unticked component.
    QString exclusions() const;

Q_SIGNALS:
    void componentsChanged();

protected:
    void prepareShow() override;
    bool validate() override;
    virtual QString listSelect() const { return m_listSql; }
    QString baseListSelect() const { return m_listSql; }

private:
    void count();
    void remember();
    QGroupBox *m_box;
    QListWidget *m_list;
    QString m_listSql;
    QVariantMap m_listParams;
    int m_counts[4] = {0, 0, 0, 0};
    std::optional<QList<int>> m_remembered;
};

class TfmEbcRptSelDateList : public TfmEbsRptSelDateList
{
    Q_OBJECT
public:
    explicit TfmEbcRptSelDateList(QSqlDatabase db, QWidget *parent = nullptr);
    QCheckBox *showYear() const { return m_showYear; }

protected:
    QString listSelect() const override;

private:
    QCheckBox *m_showYear;
};

// Period, income or outgo, and the causali with movements in it.
class TfmEbsRptSelDateGrid : public TfmEbsRptSelDate
{
    Q_OBJECT
public:
    explicit TfmEbsRptSelDateGrid(QSqlDatabase db, QWidget *parent = nullptr);
    QComboBox *cbEntrateUscite() const { return m_kind; }
    static const QString CausaliSql;

protected:
    void prepareShow() override;

private:
    void reloadCausali();
    QComboBox *m_kind;
};

class TfmEbcRptSelDateGrid : public TfmEbsRptSelDateGrid
{
    Q_OBJECT
public:
    explicit TfmEbcRptSelDateGrid(QSqlDatabase db, QWidget *parent = nullptr);
    // 1/0 and 0/1: which date of the movements the report filters on.
    int lDataEstr() const;
    int lDataMov() const { return 1 - lDataEstr(); }
    QRadioButton *statementDate() const { return m_statement; }
    QRadioButton *movementDate() const { return m_movement; }

private:
    QRadioButton *m_statement;
    QRadioButton *m_movement;
};

class TfmEbsRptSelDateCheck : public TfmEbsRptSelDate
{
    Q_OBJECT
public:
    explicit TfmEbsRptSelDateCheck(QSqlDatabase db, QWidget *parent = nullptr);
    QCheckBox *outgo() const { return m_outgo; }
    int lMvmTipo() const;

private:
    QCheckBox *m_outgo;
};

// Components and the movements of the current account that carry them.
class TfmEbcRptSelCcaAlu : public TfmEbsRptSelDateList
{
    Q_OBJECT
public:
    explicit TfmEbcRptSelCcaAlu(QSqlDatabase db, QWidget *parent = nullptr);
    static const QString MovementsSql;
    static const QString ComponentsSql;

protected:
    void prepareShow() override;

private:
    void reloadMovements();
};

// Fills a combo with the payment methods, "Tutti" (id 0) first.
void fillPaymentMethods(QComboBox *combo, QSqlDatabase db);

// Due-date period and payment method; what "&OK" stored stays at its defaults otherwise.
class TfmEbcRptSelData : public TfmEbsRptSelDate
{
    Q_OBJECT
public:
    explicit TfmEbcRptSelData(QSqlDatabase db, QWidget *parent = nullptr);
    QComboBox *cbModPag() const { return m_method; }
    // Stored by OK: day 0 (null) and method 0 until then.
    QDate dDal;
    QDate dAl;
    int iMpgId = 0;

protected:
    bool validate() override;

private:
    QComboBox *m_method;
};

// Classes of the user's school year, with payment method and due-date period.
class TfmEbcElencoXClassi : public TfmEbsRptSelDate
{
    Q_OBJECT
public:
    explicit TfmEbcElencoXClassi(QSqlDatabase db, QWidget *parent = nullptr);
    QComboBox *cbModPag() const { return m_method; }
    int iMpgId() const;
    int iAnsId = 0;
    static const QString ClassesSql;

protected:
    void prepareShow() override;

private:
    QComboBox *m_method;
};

} // namespace ccp::reports
