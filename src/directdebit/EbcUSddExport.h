#pragma once
#include "EbcUExpBanche.h"
#include "EbcUSepaSdd.h"

// The bank export's SEPA direct debit format: the catalogue row whose layout code is
// `SddLayoutCode` writes the CBI XML file instead of fixed-width records.
namespace ccp::directdebit {

inline const QString SddLayoutCode = QStringLiteral("SDD_CBI_XML");
inline const QString SddSupportName = QStringLiteral("SDD");
bool isSddLayout(const BankLayoutEntry &entry);

// The export of a batch: sequence types from the mandates debited before, the checks, then the
// file written whole with, in one transaction committed only once it is in place, the debits
// recorded against their mandates and (with `rows`) the movements.
Status exportSdd(QSqlDatabase db, SddBatch &batch, const QString &path, const QList<DetailRow> *rows = nullptr,
                 const MovementParams &movement = {}, const ExportHooks &hooks = {});

// The dispositions of an export run as a SEPA file; the SEPA data are remembered in Banca.ini.
Status writeSddExport(QSqlDatabase db, const ExportRun &run, const ExportHooks &hooks = {});

// The export's file name for `nome` with the ".xml" of the SEPA file.
QString sddFileName(const QString &folder, const QString &nome, const QDate &today);

} // namespace ccp::directdebit
