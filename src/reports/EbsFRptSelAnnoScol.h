#pragma once
#include "VeFRptMultiSelect.h"

#include <QDate>

class QButtonGroup;
class QCheckBox;
class QComboBox;

namespace ccp::fw { class TVeDBDateEdit; }

namespace ccp::reports {

// Multi-selection of the rows of a school year: the grid's :iAnsId follows the chosen year.
class TfmVeuSelRptAnnoScol : public TfmVeMultiSelect
{
    Q_OBJECT
public:
    explicit TfmVeuSelRptAnnoScol(QSqlDatabase db, QWidget *parent = nullptr);
    QComboBox *cbAnnoScol() const { return m_year; }
    void setAnsId(int ansId);
    int ansId() const;
    QString yearText() const;

protected:
    void showEvent(QShowEvent *event) override;
    // The year changed: derived dialogs reload what depends on it.
    virtual void yearChanged() {}
    virtual void reloadGrid();

private:
    QComboBox *m_year;
};

// Causali of a school year, income while "Causali di entrata" is ticked, outgo otherwise.
class TfmEbsSelRptAnnoScolCau : public TfmVeuSelRptAnnoScol
{
    Q_OBJECT
public:
    explicit TfmEbsSelRptAnnoScolCau(QSqlDatabase db, QWidget *parent = nullptr);
    QCheckBox *ckEntrate() const { return m_income; }
    int lCauTipo() const;

protected:
    void reloadGrid() override;

private:
    QCheckBox *m_income;
};

// Pupils (or the people of another beneficiary category) to whom a causale's notices go.
class TfmEbsRptSelAluCau : public TfmVeuSelRptAnnoScol
{
    Q_OBJECT
public:
    // allCausali: every causale of the two years, not only the school-fee ones.
    TfmEbsRptSelAluCau(QSqlDatabase db, bool allCausali, QWidget *parent = nullptr);
    // Which of the optional boxes the report offers.
    void setOptions(bool showNewEnrolled, bool showErario);

    static const QString OtherPeopleSql;
    static constexpr int PupilsCategory = 1;

    QComboBox *cbCausali() const { return m_causali; }
    QComboBox *cbIstituto() const { return m_institute; }
    QComboBox *cbClasse() const { return m_class; }
    QComboBox *cbConto() const { return m_account; }
    QComboBox *cbBen() const { return m_category; }
    QCheckBox *ckNewIscr() const { return m_new; }
    QCheckBox *ckFreq() const { return m_attending; }
    QCheckBox *ckPrintBarCode() const { return m_barCodes; }
    QCheckBox *ckErario() const { return m_erario; }

    int causaleId() const;  // 0: none chosen
    int dwgId() const;
    QString clsId() const;  // "%": every class
    QString clsSDesc() const;  // empty: every class
    int category() const;
    QString accountNumber() const;
    bool barCodes() const;
    bool erario() const;

protected:
    void yearChanged() override;
    void reloadGrid() override;
    bool validate() override;

private:
    void loadCausali();
    void loadInstitutes();
    void loadClasses();
    bool m_allCausali;
    QComboBox *m_causali;
    QComboBox *m_institute;
    QComboBox *m_class;
    QComboBox *m_account;
    QComboBox *m_category;
    QCheckBox *m_new;
    QCheckBox *m_attending;
    QCheckBox *m_barCodes;
    QCheckBox *m_erario;
};

// A causale of a school year, the date and kind of its movements, and the classes to list.
class TfmEbcSelRptClsCau : public TfmVeMultiSelect
{
    Q_OBJECT
public:
    explicit TfmEbcSelRptClsCau(QSqlDatabase db, QWidget *parent = nullptr);
    static const QString YearsSql;
    static const QString ClassesSql;

    QComboBox *cbAnnoCau() const { return m_year; }
    QComboBox *cbCausale() const { return m_causale; }
    fw::TVeDBDateEdit *movementDate() const { return m_date; }
    int ansId() const;
    int causaleId() const;
    QDate dataMov() const;
    // 0 "Effettuati", 1 "Non effettuati", 2 "Tutti".
    int effettuato() const;
    void setEffettuato(int choice);
    // "causale dell'anno 2026/2027", the title of the class list.
    QString title() const;

protected:
    void showEvent(QShowEvent *event) override;
    bool validate() override;

private:
    void yearChanged();
    QComboBox *m_year;
    QComboBox *m_causale;
    fw::TVeDBDateEdit *m_date;
    QButtonGroup *m_done;
};

} // namespace ccp::reports
