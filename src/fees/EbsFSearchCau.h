#pragma once
#include "EbsUCau.h"
#include "TfmVeSearch.h"

class QComboBox;
class QLabel;

namespace ccp::fees {

// Search window of the causale lookups: the causali of one school year (chosen above the
// list), each shown with its year.
class TfmEbsSearchCau : public fw::TfmVeSearch
{
    Q_OBJECT
public:
    explicit TfmEbsSearchCau(QSqlDatabase db, QWidget *parent = nullptr);

    QComboBox *cbAnnoScol;

    void SetShowAll(bool on);
    void SetAllInstitutes(bool on);
    void SetTipo(int tipo);
    // Stores the year and selects its entry; with an entry selected the list is read again.
    void SetSchoolYear(int ansId);

    const CauSearchOptions &options() const { return m_options; }
    // The select text for the current settings (with its ##WHERE## slot).
    QString selectForOptions() const { return SearchCausaliSql(m_options); }

private:
    void rebuild();
    void refreshForYear();

    CauSearchOptions m_options;
    bool m_loading = false;
};

} // namespace ccp::fees
