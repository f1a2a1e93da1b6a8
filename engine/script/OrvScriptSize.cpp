#include "script/OrvScriptSize.h"

#include "script/IOrvScriptLoader.h"

namespace {
int Pixels(double value) {
    return value >= 1 && value < 65536 ? static_cast<int>(value) : 0;
}
} // namespace

int OrvScriptSize::Width(IOrvScriptLoader* script) {
    return script ? Pixels(script->NumericValue(IOrvScriptLoader::Width)) : 0;
}

int OrvScriptSize::Height(IOrvScriptLoader* script) {
    return script ? Pixels(script->NumericValue(IOrvScriptLoader::Height)) : 0;
}

int OrvScriptSize::SurfaceWidth(IOrvScriptLoader* script) {
    int width = Width(script);
    return width ? width : DefaultWidth;
}

int OrvScriptSize::SurfaceHeight(IOrvScriptLoader* script) {
    int height = Height(script);
    return height ? height : DefaultHeight;
}
