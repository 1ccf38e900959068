#include "EbsFSearchCau.h"

#include "SqlQuery.h"
#include "TVeGlobalValues.h"
#include "TVeQueryCollection.h"
#include "VeMessageDlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace ccp::fees {

TfmEbsSearchCau::TfmEbsSearchCau(QSqlDatabase db, QWidget *parent) : fw::TfmVeSearch(db, parent)
{
    setObjectName(QStringLiteral("fmEbsSearchCau"));
    setWindowTitle(QStringLiteral("Ricerca causali"));
    auto &values = fw::TVeGlobalValuesManager::instance();
    m_options.dwgId = values.intValue(CauKeys::DwgId);
    m_options.ansId = values.intValue(CauKeys::CauAnsId);

    auto *label = new QLabel(QStringLiteral("&Anno scolastico causali"));
    cbAnnoScol = new QComboBox;
    cbAnnoScol->setObjectName(QStringLiteral("cbAnnoScol"));
    cbAnnoScol->setMinimumWidth(120);
    label->setBuddy(cbAnnoScol);
    topArea()->addWidget(label);
    topArea()->addWidget(cbAnnoScol);
    topArea()->addStretch(1);

    m_loading = true;
    SqlQuery q(db);
    if (auto s = q.exec(QStringLiteral(" SELECT VAns.iAnsId, VAns.sAnsAnnoDesc  FROM VAns_AnniScolast VAns"
                                       "             ORDER BY VAns.iAnsValore              "));
        !s)
        fw::showError(s.error());
    else
        while (q.next())
            cbAnnoScol->addItem(q.value(1).toString(), q.value(0).toInt());
    cbAnnoScol->setCurrentIndex(cbAnnoScol->findData(m_options.ansId));
    m_loading = false;

    setKeyField(QStringLiteral("iCauId"));
    setColumns({
        {QStringLiteral("iCauId"), QString(), false, false, -1, {}},
        {QStringLiteral("sCauLDesc"), QStringLiteral("Descrizione"), true, true, 360, {}},
        {QStringLiteral("sCauSDesc"), QStringLiteral("Codice"), true, true, 110, {}},
        {QStringLiteral("fCauImportoIst"), QStringLiteral("Importo"), false, true, 100, {}},
        {QStringLiteral("fCauImportoEra"), QStringLiteral("Importo erario"), false, false, 100, {}},
    });
    resize(640, 460);
    rebuild();
    connect(cbAnnoScol, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_loading && index >= 0)
            SetSchoolYear(cbAnnoScol->itemData(index).toInt());
    });
}

void TfmEbsSearchCau::SetShowAll(bool on)
{
    m_options.showAll = on;
    rebuild();
}

void TfmEbsSearchCau::SetAllInstitutes(bool on)
{
    m_options.allInstitutes = on;
    rebuild();
}

void TfmEbsSearchCau::SetTipo(int tipo)
{
    m_options.tipo = tipo;
    rebuild();
}

void TfmEbsSearchCau::SetSchoolYear(int ansId)
{
    m_options.ansId = ansId;
    const int index = cbAnnoScol->findData(ansId);
    m_loading = true;
    cbAnnoScol->setCurrentIndex(index);
    m_loading = false;
    rebuild();
    if (index >= 0)
        refreshForYear();
}

void TfmEbsSearchCau::rebuild()
{
    setSelectText(selectForOptions());
}

void TfmEbsSearchCau::refreshForYear()
{
    // Another year starts without the text searched in the previous one.
    if (!collection()->isOpen())
        return;
    collection()->close();
    searchEdit()->blockSignals(true);
    searchEdit()->clear();
    searchEdit()->blockSignals(false);
    openList();
}

} // namespace ccp::fees
