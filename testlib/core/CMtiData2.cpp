#include "testlib/core/CMtiData2.h"

#include "platform/com/ServerEntryPoints.h"

ZARVIK_REGISTER_CLASS(ztest::CMtiData2, ztest::CMtiData2::ProgId, ztest::CMtiData2::ClassId)
