#include "entry/OrvEntryPoints.h"

#include "entry/OrvErrorLog.h"

extern "C" int OrvHasError() {
    return OrvErrorLog::HasError() ? 1 : 0;
}

extern "C" const char* OrvErrorMsg() {
    return OrvErrorLog::Text().c_str();
}
