#ifndef ORV_GFX_ORVSHADERCOMPILEERROR_H
#define ORV_GFX_ORVSHADERCOMPILEERROR_H

// What the shader manager raises when a stage does not compile. Its message is the one every
// loader shows, "Shader compiling failed: " + the compiler's log, so whoever catches an
// OrvException reports it as before; the script check also reads the file it came from and
// the log's lines placed in that file (OrvShaderLogTranslator). Owns copies of all of it.

#include "base/OrvException.h"
#include "gfx/OrvShaderLogTranslator.h"

#include <string>
#include <vector>

class OrvShaderCompileError : public OrvException {
public:
    OrvShaderCompileError(const std::string& log, const std::string& file,
                          const std::vector<OrvShaderLogTranslator::Record>& records);

    // The data-folder name of the file whose stage failed ("sky.shader", "glow.frag").
    const std::string& File() const noexcept;
    // The log, line by line, placed in that file where it names a line of it.
    const std::vector<OrvShaderLogTranslator::Record>& Records() const noexcept;

private:
    std::string file;
    std::vector<OrvShaderLogTranslator::Record> records;
};

#endif
