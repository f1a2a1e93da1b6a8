#include "show/OrvLoadError.h"

#include "base/OrvDiagnostics.h"
#include "base/OrvException.h"
#include "gfx/OrvShaderCompileError.h"

void OrvLoadError::Report(OrvDiagnostics& diagnostics, const std::exception& error,
                          int scriptLine) {
    const std::string script = OrvDiagnostics::ScriptFile;
    const OrvShaderCompileError* compile = dynamic_cast<const OrvShaderCompileError*>(&error);
    if (compile) {
        std::string unplaced;
        for (const OrvShaderLogTranslator::Record& record : compile->Records())
            if (record.line == 0)
                unplaced += "\n" + record.text;
        diagnostics.Report(1, OrvMessageKind::ShaderCompileFailed, compile->File(),
                           "Shader compiling failed: " + compile->File() + unplaced, script,
                           scriptLine);
        for (const OrvShaderLogTranslator::Record& record : compile->Records())
            if (record.line > 0)
                diagnostics.Report(1, OrvMessageKind::ShaderCompileFailed, compile->File(),
                                   record.text, record.file, record.line);
        return;
    }
    const OrvException* raised = dynamic_cast<const OrvException*>(&error);
    diagnostics.Report(1, raised ? raised->Kind() : OrvMessageKind::Other,
                       raised ? raised->Subject() : std::string(), error.what(), script,
                       scriptLine);
}
