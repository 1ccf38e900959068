#pragma once
#include "Result.h"

// Leaves a demo generator with the first failure, from a Status or a Result alike.
#define TRY(expr)                                     \
    do {                                              \
        if (auto s_ = (expr); !s_)                    \
            return ccp::Status::failure(s_.error());  \
    } while (false)
