#include "script/IOrvScriptLoader.h"

IOrvScriptLoader::~IOrvScriptLoader() {}
