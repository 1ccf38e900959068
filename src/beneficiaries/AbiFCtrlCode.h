#pragma once
#include "AbiMBen.h"

#include <QDialog>

class QTableWidget;

namespace ccp::ben {

// "Codice di controllo Beneficiari": the people already in the registry with the same
// control code; "SI" takes the selected one, "No" writes a new person.
class TfmCtrlCode : public QDialog
{
    Q_OBJECT
public:
    TfmCtrlCode(const QList<PersonMatch> &matches, QWidget *parent = nullptr);
    std::optional<int> chosen() const;
    QTableWidget *grid() const { return m_grid; }

    static std::optional<int> choose(const QList<PersonMatch> &matches, QWidget *parent);

private:
    QList<PersonMatch> m_matches;
    QTableWidget *m_grid;
};

} // namespace ccp::ben
