#pragma once
#include "EbsFSearchBen.h"

#include <QList>
#include <QString>

namespace ccp::movements {

// The pupil search window of the movements: adds the institute ("&Istituto") for pupils with a
// class when the working institute lists more than one.
class TfmEbcSearchBen : public TfmEbsSearchBen
{
    Q_OBJECT
public:
    TfmEbcSearchBen(QSqlDatabase db, int dwgId, bool isGroup, bool withInstitute, QWidget *parent = nullptr);

    QLabel *laIstituto = nullptr;
    QComboBox *cbIstituto = nullptr;

    // Selects an institute of the list (0 or absent: the first).
    void SetInstitute(int dwgId);
    int institute() const { return m_instDwg; }

protected:
    void yearChanged() override;

private:
    void rebuildInstitutes();

    int m_dwgId;
    bool m_isGroup;
    bool m_withInstitute;
    int m_instDwg = 0;
    bool m_loading = false;
};

} // namespace ccp::movements
