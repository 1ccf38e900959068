#pragma once
#include "TVeMdiForm.h"
#include "TVeEditFrame.h"

#include <QSqlDatabase>
#include <QWidget>

namespace ccp::fw {
class TVeDBEdit;
class TVeDBLookupEdit;
} // namespace ccp::fw

namespace ccp::fees {

// The component typologies: top-level types 1 to 4 and the sub-types under them.
class TfrEbsTipologie : public fw::TVeEditFrame
{
    Q_OBJECT
public:
    explicit TfrEbsTipologie(fw::TVeQueryCollection *collection, QWidget *parent = nullptr);

    fw::TVeDBEdit *xdeCodice;
    fw::TVeDBEdit *xdeDescrizione;
    fw::TVeDBLookupEdit *xdlTipo;
};

class TfmEbsTipologie : public fw::TVeMdiForm
{
    Q_OBJECT
public:
    static QString selectSql();
    static QString insertSql();
    static QString updateSql();
    static QString deleteSql();
    static QString parentSelectSql();

    explicit TfmEbsTipologie(QWidget *parent = nullptr, QSqlDatabase db = QSqlDatabase::database());
    ~TfmEbsTipologie() override;

    fw::TVeQueryCollection *xqcMaster() const { return m_master; }
    TfrEbsTipologie *frMaster() const { return m_frame; }

protected:
    void formShown() override;
    bool formCanClose() override;
    void formClosed() override;

private:
    fw::TVeQueryCollection *m_master;
    TfrEbsTipologie *m_frame;
};

} // namespace ccp::fees
