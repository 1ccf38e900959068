#pragma once
#include "EbsUCau.h"
#include "TVeDialog.h"

class QComboBox;
class QTreeWidget;

namespace ccp::fees {

class TdmEbsDataSets;

// Copies causali of an earlier school year into the causali school year: the user picks the
// year, ticks the causali that do not exist yet and confirms.
class TfmEbsDuplicaCausali : public fw::TVeDialog
{
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("Duplica Causali");

    TfmEbsDuplicaCausali(TdmEbsDataSets &dataSets, int tipo, QWidget *parent = nullptr);

    QComboBox *cbAnnoScol;
    QTreeWidget *lvCausali;

    int tipo() const { return m_tipo; }
    int sourceYear() const { return m_source; }
    // Selects the year whose id is one less than the causali school year (none: empty list).
    void loadSourceYear();
    // Selects the entry of this school year and fills the list; false when no entry has it.
    bool selectYear(int ansId);
    // Ticks the listed causale (tests and keyboard users alike).
    void setTicked(int cauId, bool ticked);
    QList<int> listedIds() const;
    QList<int> tickedIds() const;

    // Copies the ticked causali (what OK does); the outcome is also shown to the user.
    DuplicationOutcome confirm();

protected:
    bool validate() override;

private:
    void fill();

    TdmEbsDataSets &m_ds;
    int m_tipo;
    int m_source = 0;
    bool m_loading = false;
};

} // namespace ccp::fees
