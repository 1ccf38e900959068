#pragma once
#include "EbcUDataReplace.h"
#include "TVeWizard.h"

#include <QSqlDatabase>
#include <functional>

class QCheckBox;
class QFormLayout;
class QLabel;
class QListWidget;

namespace ccp::directdebit {

class TfrEbcDblLstAcbSelect;

// "Sostituzione dati": the field, the pupils' coordinates, the old and new value; OK writes
// the new value on every chosen record in one transaction.
class TfmEbcDataReplace : public fw::TVeWizard
{
    Q_OBJECT
public:
    enum Page { FieldPage = 0, RecordsPage = 1, ValuesPage = 2 };

    // `ansId` is the working school year; `filterFolder` where saved filters are kept.
    TfmEbcDataReplace(QSqlDatabase db, int ansId, const QString &filterFolder, QWidget *parent = nullptr);

    // Loads "EBCREPLACE" and fills the field list; false after showing why it cannot.
    bool start();

    QListWidget *lbFieldList;
    TfrEbcDblLstAcbSelect *frEbcDblLstAcbSelect1;
    QWidget *tsValues;
    QLabel *lbChosen;
    QWidget *edOld;
    QWidget *edNew;
    QCheckBox *ckAny;

    const QList<ReplaceField> &fields() const { return m_fields; }
    const ReplaceField *chosenField() const;
    // The values as the editors hold them (null for "<Vuoto>" or nothing).
    QVariant oldValue() const { return m_oldValue ? m_oldValue() : QVariant(); }
    QVariant newValue() const { return m_newValue ? m_newValue() : QVariant(); }
    // Records written by the last run (-1: none run).
    int lastCount() const { return m_lastCount; }

    static QString vuoto() { return QStringLiteral("<Vuoto>"); }

protected:
    bool canLeavePage(int page, bool forward) override;
    void pageShown(int page) override;

public Q_SLOTS:
    void accept() override;

private:
    void buildValues();
    QWidget *makeEditor(const ReplaceField &field, std::function<QVariant()> &value);
    bool run();

    QSqlDatabase m_db;
    int m_ansId;
    QList<ReplaceField> m_fields;
    QFormLayout *m_valuesForm = nullptr;
    std::function<QVariant()> m_oldValue;
    std::function<QVariant()> m_newValue;
    int m_builtFor = -1;
    int m_lastCount = -1;
};

} // namespace ccp::directdebit
