#include "EbsFFiltro.h"

namespace ccp::fees {

TfmEbsFiltro::TfmEbsFiltro(QWidget *parent) : fw::TfmVeFilter(parent)
{
    setObjectName(QStringLiteral("fmEbsFiltro"));
    setWindowTitle(QStringLiteral("Filtro"));
    frame()->setObjectName(QStringLiteral("frEbsFiltro"));
}

} // namespace ccp::fees
