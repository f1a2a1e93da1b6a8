#include "gfx/OrvShaderCompileError.h"

OrvShaderCompileError::OrvShaderCompileError(
    const std::string& log, const std::string& file,
    const std::vector<OrvShaderLogTranslator::Record>& records)
    : OrvException(OrvMessageKind::ShaderCompileFailed, file, "Shader compiling failed: " + log),
      file(file), records(records) {}

const std::string& OrvShaderCompileError::File() const noexcept {
    return file;
}

const std::vector<OrvShaderLogTranslator::Record>& OrvShaderCompileError::Records() const noexcept {
    return records;
}
