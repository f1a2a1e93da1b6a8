#include "script/OrvBakedSyncKeys.h"

#include "base/OrvDiagnostics.h"
#include "base/OrvWholeFile.h"
#include "script/OrvScriptNode.h"
#include "script/OrvStringUtils.h"
#include "script/OrvTimeline.h"

bool OrvBakedSyncKeys::Process(const std::string& path, const std::string& shown, double beatLength,
                               OrvParameterManager& parameters, OrvDiagnostics& diagnostics) {
    std::string text;
    std::uint64_t size = 0;
    OrvWholeFile::Result result = OrvWholeFile::Load(path, MaxBytes, text, size);
    if (result == OrvWholeFile::TooLarge) {
        diagnostics.Report(1, "The sync keys file " + shown +
                                  " is too large: " + std::to_string(size) + " bytes, at most " +
                                  std::to_string(MaxBytes));
        return false;
    }
    if (result != OrvWholeFile::Read) {
        diagnostics.Report(1, "Could not open " + shown);
        return false;
    }
    return ProcessText(text, shown, beatLength, parameters, diagnostics);
}

bool OrvBakedSyncKeys::ProcessText(const std::string& text, const std::string& shown,
                                   double beatLength, OrvParameterManager& parameters,
                                   OrvDiagnostics& diagnostics) {
    OrvScriptNode root;
    int number = 0;
    size_t from = 0;
    while (from < text.size()) {
        size_t end = text.find('\n', from);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(from, end - from);
        from = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        OrvStringUtils::Chop(line);
        std::deque<std::string> words = OrvStringUtils::SmartSplit(line, " \t\n");
        if (!words.empty())
            root.AddChild(OrvScriptNode("", words, number));
    }
    uint32_t endPosition = 0;
    OrvTimeline timeline(root, beatLength, parameters, endPosition, diagnostics);
    timeline.SetFileName(shown);
    return timeline.Process(root);
}
