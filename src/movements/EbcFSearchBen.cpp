#include "EbcFSearchBen.h"

#include "SqlQuery.h"
#include "TVeQueryCollection.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

namespace ccp::movements {

namespace {
// An owner of the suite that keeps only the accounting of past years: never offered.
const QString excludedOwner = QStringLiteral("Contabilita' 2019 D.M. 44/2001");
} // namespace

QList<MvmInstitute> instituteList(QSqlDatabase db, int dwgId, bool isGroup, int ansId)
{
    QList<MvmInstitute> out;
    SqlQuery q(db);
    if (!isGroup) {
        if (!q.prepare(QStringLiteral(
                " SELECT Dow.sDowSDesc FROM TDwg_DataOwnerGrp Dwg INNER JOIN TDow_DataOwner Dow ON (Dow.iDowId = Dwg.iDowId)"
                " WHERE Dwg.iDwgId = :iDwgId   AND Dow.sDowSDesc <> :sExcluded")))
            return out;
        q.bind(QStringLiteral("iDwgId"), dwgId).bind(QStringLiteral("sExcluded"), excludedOwner);
        if (q.exec())
            while (q.next())
                out << MvmInstitute{q.value(0).toString(), dwgId};
        return out;
    }
    if (ansId == 0)
        return out;
    if (!q.prepare(QStringLiteral(
            "SELECT Own.sDowSDesc, Own.iDwgId, Own.dStart_Dwg FROM VDow_DataOwner Own"
            " INNER JOIN VAns_AnniScolast Ans ON (Ans.iAnsId = :iAnsId)"
            " WHERE Own.lDwgGruppo = 0 AND Own.iDowId IS NOT NULL AND Own.sDowSDesc <> :sExcluded"
            "   AND (Own.dStart_Dwg IS NULL OR Own.dStart_Dwg <= Ans.dAnsVeltoInizio)"
            "   AND (Own.dEnd_Dwg IS NULL OR Own.dEnd_Dwg >= Ans.dAnsVeltoInizio)"
            "   AND EXISTS (SELECT 1 FROM VDow_DataOwner Grp WHERE Grp.iDwgId = :iDwgId AND Grp.iDowId = Own.iDowId"
            "     AND (Grp.dStart_Dwg IS NULL OR Grp.dStart_Dwg <= Ans.dAnsVeltoInizio)"
            "     AND (Grp.dEnd_Dwg IS NULL OR Grp.dEnd_Dwg >= Ans.dAnsVeltoInizio)"
            "     AND (Grp.dStart_OtgDwg IS NULL OR Grp.dStart_OtgDwg <= Ans.dAnsVeltoInizio)"
            "     AND (Grp.dEnd_OtgDwg IS NULL OR Grp.dEnd_OtgDwg >= Ans.dAnsVeltoInizio))"
            " ORDER BY Own.sDowSDesc, Own.dStart_Dwg")))
        return out;
    q.bind(QStringLiteral("iAnsId"), ansId).bind(QStringLiteral("iDwgId"), dwgId)
        .bind(QStringLiteral("sExcluded"), excludedOwner);
    if (q.exec())
        while (q.next())
            out << MvmInstitute{q.value(0).toString(), q.value(1).toInt()};
    return out;
}

TfmEbcSearchBen::TfmEbcSearchBen(QSqlDatabase db, int dwgId, bool isGroup, bool withInstitute, QWidget *parent)
    : TfmEbsSearchBen(db, parent), m_dwgId(dwgId), m_isGroup(isGroup), m_withInstitute(withInstitute)
{
    setObjectName(QStringLiteral("fmEbcSearchBen"));
    laIstituto = new QLabel(QStringLiteral("&Istituto"));
    cbIstituto = new QComboBox;
    cbIstituto->setObjectName(QStringLiteral("cbIstituto"));
    cbIstituto->setMinimumWidth(200);
    laIstituto->setBuddy(cbIstituto);
    topArea()->insertWidget(topArea()->count() - 1, laIstituto);
    topArea()->insertWidget(topArea()->count() - 1, cbIstituto);
    rebuildInstitutes();
    connect(cbIstituto, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_loading || index < 0)
            return;
        m_instDwg = cbIstituto->itemData(index).toInt();
        setParam(QStringLiteral("iDwgId"), m_instDwg);
        research();
    });
}

void TfmEbcSearchBen::yearChanged()
{
    // The list of institutes depends on the year (members of a group come and go).
    if (cbIstituto)
        rebuildInstitutes();
}

void TfmEbcSearchBen::rebuildInstitutes()
{
    const QList<MvmInstitute> list = instituteList(database(), m_dwgId, m_isGroup, schoolYear());
    m_loading = true;
    cbIstituto->clear();
    for (const MvmInstitute &i : list)
        cbIstituto->addItem(i.description, i.dwgId);
    int index = cbIstituto->findData(m_instDwg);
    if (index < 0)
        index = cbIstituto->count() > 0 ? 0 : -1;
    cbIstituto->setCurrentIndex(index);
    m_instDwg = index >= 0 ? cbIstituto->itemData(index).toInt() : 0;
    m_loading = false;
    const bool shown = m_withInstitute && list.size() > 1;
    laIstituto->setVisible(shown);
    cbIstituto->setVisible(shown);
    setParam(QStringLiteral("iDwgId"), m_instDwg);
}

void TfmEbcSearchBen::SetInstitute(int dwgId)
{
    const int index = cbIstituto->findData(dwgId);
    cbIstituto->setCurrentIndex(index >= 0 ? index : (cbIstituto->count() > 0 ? 0 : -1));
    m_instDwg = cbIstituto->currentIndex() >= 0 ? cbIstituto->currentData().toInt() : 0;
    setParam(QStringLiteral("iDwgId"), m_instDwg);
    research();
}

} // namespace ccp::movements
