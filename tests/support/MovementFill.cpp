#include "MovementFill.h"

#include "SqlQuery.h"

#include <algorithm>

namespace ccp::test {

Result<int> fillAccountYear(QSqlDatabase db, int sprIstId, int anfValore, int cauId, int sitId,
                            int movements)
{
    auto present = SqlQuery::scalar(db, QStringLiteral(
        "SELECT COUNT(*) FROM TMvm_MovimentiCcp WHERE iSprIstId = %1 AND dMvmDataMov BETWEEN '%2-01-01' AND '%2-12-31'")
        .arg(sprIstId).arg(anfValore));
    if (!present)
        return present.status();
    const int missing = std::max(0, movements - present.value().toInt());
    const QString fill = QStringLiteral(
        "EXECUTE BLOCK AS\n"
        "DECLARE i INTEGER = 0;\n"
        "DECLARE id INTEGER;\n"
        "DECLARE p INTEGER;\n"
        "DECLARE cca1 INTEGER;\n"
        "DECLARE cca2 INTEGER;\n"
        "BEGIN\n"
        "  SELECT COALESCE(iCaiUltProgr, 0) FROM TCai_CassaIst WHERE iSprIstId = %1 AND iCaiEsercizioFin = %2 INTO :p;\n"
        "  SELECT MIN(iCcaId), MAX(iCcaId) FROM TCauCca WHERE iCauId = %3 INTO :cca1, :cca2;\n"
        "  WHILE (i < %4) DO\n"
        "  BEGIN\n"
        "    id = NEXT VALUE FOR G_TMVM_MOVIMENTICCP;\n"
        "    INSERT INTO TMvm_MovimentiCcp (iMvmId, iSprIstId, iCauId, lMvmTipo, fMvmImporto, fMvmDifferenza,\n"
        "      iMvmProgr, dMvmDataMov, dMvmDataEc, iSitId, iCbmId, iLocked)\n"
        "    VALUES (:id, %1, %3, 0, 20, 0, :p + :i + 1, DATEADD(MOD(:i, 350) DAY TO DATE '%2-01-01'),\n"
        "      DATEADD(MOD(:i, 350) DAY TO DATE '%2-01-01'), %5, 1, 0);\n"
        "    INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto) VALUES (NEXT VALUE FOR G_TMVMCCA, :id, :cca1, 12);\n"
        "    INSERT INTO TMvmCca (iMvmCcaId, iMvmId, iCcaId, fMvmCcaImporto) VALUES (NEXT VALUE FOR G_TMVMCCA, :id, :cca2, 8);\n"
        "    i = i + 1;\n"
        "  END\n"
        "  UPDATE TCai_CassaIst SET iCaiUltProgr = :p + %4 WHERE iSprIstId = %1 AND iCaiEsercizioFin = %2;\n"
        "END")
        .arg(sprIstId).arg(anfValore).arg(cauId).arg(missing).arg(sitId);
    Transaction tr(db);
    SqlQuery q(db);
    if (auto s = q.execDirect(fill); !s)
        return s;
    if (auto s = tr.commit(); !s)
        return s;
    return present.value().toInt() + missing;
}

} // namespace ccp::test
