// The one QApplication of test_directdebit.
#include "QtTestApp.h"

[[maybe_unused]] static const bool s_qtApplication = ccp::test::registerQtApplication("test_directdebit");
