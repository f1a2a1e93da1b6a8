#include "base/OrvRunContext.h"

OrvRunContext::OrvRunContext(const std::string& folder, OrvDiagnostics& diagnostics)
    : dataFolder(folder), diagnostics(diagnostics) {
    if (dataFolder.empty() || dataFolder.back() != '/')
        dataFolder += '/';
}
