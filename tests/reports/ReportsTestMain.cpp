#include "QtTestApp.h"

// Pages are drawn with fonts and images: the tests need an application object.
[[maybe_unused]] static const bool s_qtApplication = ccp::test::registerQtApplication("test_reports");
