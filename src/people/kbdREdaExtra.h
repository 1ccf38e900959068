#pragma once
#include "TVeEditFrame.h"

#include <QSqlDatabase>

namespace ccp::fw {
class TVeDBLookupEdit;
}

namespace ccp::people {

// "Stato occupazionale": the one employment status of the person current in the people
// window. A new status replaces the old one; deleting removes the person's status.
class TfrkbdEdeExtra : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    static inline const QString ClassName = QStringLiteral("TfrkbdEdeExtra");

    explicit TfrkbdEdeExtra(QSqlDatabase db, QWidget *parent = nullptr);
    int anaId() const { return m_anaId; }
    // Registers the frame by class name (the people window builds its tabs by name).
    static void registerClass();

public Q_SLOTS:
    // Follows the people window's current person (0: none).
    void showPerson(int anaId);

public:
    fw::TVeDBLookupEdit *xdlStato;

private:
    int m_anaId = 0;
};

} // namespace ccp::people
