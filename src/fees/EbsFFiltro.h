#pragma once
#include "TfrVeFilter.h"

namespace ccp::fees {

// The filter dialog of the movement lists: the framework's filter frame with OK and Cancel.
// The caller loads the frame with a filter description and reads the condition after OK.
class TfmEbsFiltro : public fw::TfmVeFilter
{
    Q_OBJECT
public:
    explicit TfmEbsFiltro(QWidget *parent = nullptr);
    fw::TfrVeFilter *frEbsFiltro() const { return frame(); }
};

} // namespace ccp::fees
