// The one QApplication of test_movements (widget tests of the movement frames and windows).
#include "QtTestApp.h"

[[maybe_unused]] static const bool s_qtApplication =
    ccp::test::registerQtApplication("test_movements");
