#pragma once
#include "TfmVeSearch.h"

class QComboBox;
class QLabel;

namespace ccp::movements {

// Search window of the pupil lookups: the pupils of one school year, chosen above the list
// ("&Anno scolastico"); changing the year searches again.
class TfmEbsSearchBen : public fw::TfmVeSearch
{
    Q_OBJECT
public:
    explicit TfmEbsSearchBen(QSqlDatabase db, QWidget *parent = nullptr);

    QLabel *laAnnoScol;
    QComboBox *cbAnnoScol;

    // Selects the year (0: the working school year VEUP_AnsId) and binds it.
    void SetSchoolYear(int ansId);
    int schoolYear() const { return m_ansId; }

protected:
    QSqlDatabase database() const { return m_db; }
    // After the year changed (and was bound): subclasses add their own parameters.
    virtual void yearChanged() {}
    // Reads the list again with the current parameters (when it is open).
    void research();

private:
    QSqlDatabase m_db;
    int m_ansId = 0;
    bool m_loading = false;
};

} // namespace ccp::movements
