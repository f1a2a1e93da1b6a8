#include "script/OrvTimeline.h"

#include "animation/OrvParameterManager.h"
#include "base/OrvDiagnostics.h"
#include "script/IOrvTimelineObserver.h"
#include "script/OrvScriptNode.h"
#include "script/OrvStringUtils.h"

#include <climits>
#include <cmath>
#include <memory>

namespace {
// In the order they are tried; the index is the Command.
const char* const PatternTexts[] = {
    "%t * = %n",
    "%t * = %n to %n in %t",
    "%t * = spline %n %n %n %n in %t",
    "%t loop %t %n times",
    "%t call * ***",
    "%t enable * ***",
    "%t disable * ***",
    "%t end",
    "%t * = rand %n - %n",
    "%t * = rand %n - %n for %t",
    "%t * = follow *",
    "%t * = follow * * %n",
    "%t * = follow * * %n + %n",
    "%t * = smooth %n to %n in %t",
    "%t * = ramp %n to %n in %t",
};

// A called block's words may not grow past this by substitution (keys whose values contain
// other keys can otherwise double a word at every step).
const size_t MaxSubstitutedWord = 16 * 1024 * 1024;

// What searching a word for one key is charged on top of the word's length: a search of a
// short word costs about as much as reading this many bytes.
const uint64_t SearchCost = 16;

double Number(const std::string& word) {
    return OrvScriptTime::NumberValue(word);
}
} // namespace

OrvTimeline::OrvTimeline(const OrvScriptNode& root, double beatLength,
                         OrvParameterManager& parameters, uint32_t& endPosition,
                         OrvDiagnostics& diagnostics, IOrvTimelineObserver* observer)
    : root(root), times(beatLength), parameters(parameters), endPosition(endPosition),
      diagnostics(diagnostics), observer(observer), commandCount(0), textBytes(0), overLimit(false),
      blocksIndexed(false) {
    for (const char* text : PatternTexts)
        patterns.push_back(OrvStringUtils::SmartSplit(text, " \t\n"));
    // The clock that follow items may take counts beats of the header's bpm.
    parameters.SetClockBeatLength(std::isfinite(beatLength) ? beatLength : 0.0);
}

bool OrvTimeline::Process(const OrvScriptNode& script) {
    return ProcessBlock(script, 0, Substitutions(), 0);
}

bool OrvTimeline::ProcessBlock(const OrvScriptNode& block, uint32_t offset,
                               const Substitutions& table, int depth) {
    bool allSucceeded = true;
    for (const OrvScriptNode* line : block.Children()) {
        if (!line)
            continue;
        if (observer)
            observer->LineStarted(*line);
        bool succeeded;
        {
            // What the parameter manager says about the line is the line's too.
            OrvDiagnostics::ScopedPlace place(diagnostics, fileName, line->Line());
            succeeded = ProcessLine(*line, offset, table, depth);
        }
        if (!succeeded) {
            // A line of one word has no arguments ("foo}"): it is shown as written.
            const std::string written =
                line->ArgsRef().empty() ? line->ToString() : line->JoinedArgs();
            diagnostics.Report(1, OrvMessageKind::ErrorOnLine, written, "Error on line: " + written,
                               fileName, line->Line());
        }
        if (observer)
            observer->LineEnded(*line);
        if (!succeeded) {
            // Playing skips the rest of the block; checking goes on unless a limit was hit.
            if (!observer || overLimit)
                return false;
            allSucceeded = false;
        }
    }
    return allSucceeded;
}

void OrvTimeline::ReportLimit(const std::string& message) {
    // Inside a muted loop round it waits for the loop to end, so it is never lost.
    if (diagnostics.Unread() && muting > 0)
        pendingLimit = message;
    else
        diagnostics.Report(1, message);
}

bool OrvTimeline::CountCommand() {
    if (overLimit)
        return false;
    if (++commandCount > MaxCommands) {
        overLimit = true;
        ReportLimit("Script too long: more than " + std::to_string(MaxCommands) +
                    " timeline lines and loop rounds after expanding loops and calls");
        return false;
    }
    return true;
}

bool OrvTimeline::CountText(uint64_t bytes) {
    if (overLimit)
        return false;
    textBytes += bytes; // stops growing once past the limit, so it cannot wrap
    if (textBytes > MaxTextBytes) {
        overLimit = true;
        ReportLimit("Script too long: more than " + std::to_string(MaxTextBytes) +
                    " bytes of timeline text after expanding loops and calls");
        return false;
    }
    return true;
}

bool OrvTimeline::ProcessLine(const OrvScriptNode& line, uint32_t offset,
                              const Substitutions& table, int depth) {
    if (!CountCommand())
        return false;
    // Charged before the line is copied: a long line in a loop costs its length every round.
    uint64_t length = 0;
    for (const std::string& word : line.ArgsRef())
        length += word.size() + 1;
    if (!CountText(length))
        return false;
    Words words = line.Args();
    if (!table.empty() && !Substitute(words, table))
        return false;

    int command = -1;
    for (size_t i = 0; i < patterns.size() && command < 0; ++i) {
        if (Matches(words, patterns[i]))
            command = static_cast<int>(i);
    }
    if (command < 0) {
        diagnostics.Report(1, OrvMessageKind::SyntaxError, "", "Syntax error");
        return false;
    }

    uint32_t time = 0;
    if (!TimeOf(words[0], time))
        return false;
    time += offset; // unsigned: wraps, so negative times still add up

    uint32_t duration = 0;
    std::string& name = words[1];
    switch (command) {
    case Hold:
        return parameters.AddParameterHold(name, time, Number(words[3]));
    case Linear:
        return DurationOf(words[7], duration) &&
               parameters.AddLinearParameterFade(name, time, duration, Number(words[3]),
                                                 Number(words[5]));
    case Spline:
        return DurationOf(words[9], duration) &&
               parameters.AddCatmullRomSpline(name, time, duration, Number(words[4]),
                                              Number(words[5]), Number(words[6]), Number(words[7]));
    case Random:
        return parameters.AddRandom(name, time, 1, Number(words[4]), Number(words[6]));
    case RandomFor:
        return DurationOf(words[8], duration) &&
               parameters.AddRandom(name, time, duration, Number(words[4]), Number(words[6]));
    case Follow:
    case FollowOne:
    case FollowBoth:
        return RunFollow(command, words, time);
    case Smooth:
    case Ramp:
        return DurationOf(words[8], duration) &&
               parameters.AddEase(name, time, duration, Number(words[4]), Number(words[6]),
                                  command == Smooth);
    case Enable:
        return Switch(words, time, 1.0);
    case Disable:
        return Switch(words, time, 0.0);
    case End:
        if (endPosition != 0) {
            diagnostics.Report(1, OrvMessageKind::EndDefinedTwice, "",
                               "End position defined multiple times.");
            return false;
        }
        endPosition = time;
        return true;
    case Loop:
        return RunLoop(line, words, time, depth);
    case Call:
        return RunCall(words, time, depth);
    }
    return false;
}

bool OrvTimeline::Matches(const Words& line, const Words& pattern) const {
    if (line.size() != pattern.size()) {
        // Only a trailing "***" lets the counts differ; it may match nothing at all.
        if (pattern.empty() || pattern.back() != "***" || line.size() < pattern.size() - 1)
            return false;
    }
    for (size_t i = 0; i < pattern.size(); ++i) {
        const std::string& want = pattern[i];
        if (want == "***" && i + 1 == pattern.size())
            return true;
        const std::string& word = line[i];
        if (want == "%t") {
            if (!OrvScriptTime::IsTime(word))
                return false;
        } else if (want == "%n") {
            if (!OrvScriptTime::IsNumber(word))
                return false;
        } else if (want != "*" && want != word) {
            return false;
        }
    }
    return true;
}

bool OrvTimeline::Substitute(Words& words, const Substitutions& table) {
    for (std::string& word : words) {
        for (const auto& entry : table) {
            // Searching reads the word and is charged its length (and the search itself); a
            // replacement that changes the length is charged the new one. So many keys, many
            // words, or values passed down call after call stay bounded in time and memory.
            size_t before = word.size();
            if (!CountText(before + SearchCost) || !SubstituteKey(word, entry.first, entry.second))
                return false;
            if (word.size() != before && !CountText(word.size()))
                return false;
        }
    }
    return true;
}

bool OrvTimeline::SubstituteKey(std::string& word, const std::string& key,
                                const std::string& value) const {
    if (key.empty())
        return true;
    // Searching goes on right after each inserted value, so what the value brings in is never
    // searched again for the same key; that makes the occurrences exactly the non-overlapping
    // ones of the original word, read left to right. Count them first, then build the result
    // once at its final size: replacing in place would move the rest of the word every time.
    size_t count = 0;
    for (size_t at = word.find(key); at != std::string::npos; at = word.find(key, at + key.size()))
        ++count;
    if (count == 0)
        return true;
    // The word may not pass the cap at any step. It changes by the same amount at every
    // replacement, so it is largest after the last replacement when it grows and after the
    // first when it shrinks. (Written so that nothing can overflow.)
    bool tooLong;
    size_t last;
    if (value.size() >= key.size()) {
        size_t growth = value.size() - key.size();
        tooLong = word.size() > MaxSubstitutedWord ||
                  (growth > 0 && count > (MaxSubstitutedWord - word.size()) / growth);
        last = tooLong ? 0 : word.size() + count * growth;
    } else {
        tooLong = word.size() - key.size() + value.size() > MaxSubstitutedWord;
        last = word.size() - count * (key.size() - value.size());
    }
    if (tooLong) {
        diagnostics.Report(1, "Substituting the block's arguments makes a word longer than " +
                                  std::to_string(MaxSubstitutedWord) + " characters");
        return false;
    }
    std::string result;
    result.reserve(last);
    size_t from = 0;
    for (size_t at = word.find(key); at != std::string::npos; at = word.find(key, from)) {
        result.append(word, from, at - from);
        result.append(value);
        from = at + key.size();
    }
    result.append(word, from, std::string::npos);
    word.swap(result);
    return true;
}

bool OrvTimeline::TimeOf(const std::string& word, uint32_t& milliseconds) const {
    std::string error;
    OrvMessageKind kind = OrvMessageKind::Other;
    if (times.Value(word, milliseconds, error, &kind))
        return true;
    diagnostics.Report(1, kind, word, error);
    return false;
}

bool OrvTimeline::DurationOf(const std::string& word, uint32_t& milliseconds) const {
    std::string error;
    OrvMessageKind kind = OrvMessageKind::Other;
    if (times.Duration(word, milliseconds, error, &kind))
        return true;
    diagnostics.Report(1, kind, word, error);
    return false;
}

bool OrvTimeline::Switch(const Words& words, uint32_t time, double value) {
    for (size_t i = 2; i < words.size(); ++i) {
        std::string name = "objects." + words[i];
        if (!parameters.AddParameterHold(name, time, value))
            return false; // the words after it are not processed
    }
    return true;
}

bool OrvTimeline::RunFollow(int command, const Words& words, uint32_t time) {
    double scale = 1.0;
    double offset = 0.0;
    // The pattern's "*" matches any word: the operators are checked here.
    if (command == FollowOne && words[5] == "*") {
        scale = Number(words[6]);
    } else if (command == FollowOne && words[5] == "+") {
        offset = Number(words[6]);
    } else if (command == FollowBoth && words[5] == "*") {
        scale = Number(words[6]);
        offset = Number(words[8]);
    } else if (command != Follow) {
        diagnostics.Report(1, "Expected follow SOURCE, follow SOURCE * a, follow SOURCE + b or "
                              "follow SOURCE * a + b");
        return false;
    }
    return parameters.AddFollow(words[1], time, words[4], scale, offset);
}

bool OrvTimeline::RunLoop(const OrvScriptNode& line, const Words& words, uint32_t time, int depth) {
    uint32_t interval = 0;
    if (!TimeOf(words[2], interval))
        return false;
    double count = std::trunc(Number(words[3]));
    if (!(count >= 1))
        return false; // only "Error on line: " is reported
    if (depth >= MaxDepth) {
        diagnostics.Report(1, "Loops and calls nested more than " + std::to_string(MaxDepth) +
                                  " levels deep");
        return false;
    }
    long long rounds = count > INT_MAX ? INT_MAX : static_cast<long long>(count);
    bool lastSucceeded = true;
    long long failedRounds = 0;
    {
        // Once a round has failed and said why, the later rounds would only say it again
        // (a failing body fails in every round): they run muted, and one line counts them.
        std::unique_ptr<OrvDiagnostics::ScopedMute> mute;
        for (long long k = 0; k < rounds; ++k) {
            // Every round runs even when an earlier one failed; only the last decides.
            if (!CountCommand())
                break;
            uint32_t offset = time + static_cast<uint32_t>(k) * interval;
            // A loop body is never substituted, even inside a called block.
            lastSucceeded = ProcessBlock(line, offset, Substitutions(), depth + 1);
            if (overLimit)
                break;
            if (!lastSucceeded && ++failedRounds == 1 && k + 1 < rounds) {
                mute.reset(new OrvDiagnostics::ScopedMute(diagnostics));
                ++muting;
            }
        }
        if (mute)
            --muting;
    }
    if (!pendingLimit.empty() && muting == 0) {
        diagnostics.Report(1, pendingLimit);
        pendingLimit.clear();
    }
    if (overLimit)
        return false;
    if (failedRounds > 1)
        diagnostics.Report(1, OrvMessageKind::LoopBodyFailed, std::to_string(failedRounds),
                           "The loop's body failed in " + std::to_string(failedRounds) +
                               " of its " + std::to_string(rounds) +
                               " rounds (only the first is listed)");
    return lastSucceeded;
}

bool OrvTimeline::RunCall(const Words& words, uint32_t time, int depth) {
    const std::string& blockName = words[2];
    const OrvScriptNode* block = FindBlock(blockName);
    if (!block) {
        diagnostics.Report(1, OrvMessageKind::SubNodeNotFound, blockName,
                           "Sub node not found: " + blockName);
        return false;
    }
    const std::vector<std::string>& names = block->ArgsRef();
    if (words.size() != 3 + names.size()) {
        diagnostics.Report(1, OrvMessageKind::InvalidArguments, blockName,
                           "Invalid number of arguments");
        return false;
    }
    if (depth >= MaxDepth) {
        diagnostics.Report(1, "Loops and calls nested more than " + std::to_string(MaxDepth) +
                                  " levels deep, at the call of block: " + blockName);
        return false;
    }
    Substitutions table; // the caller's own table is not passed on
    for (size_t i = 0; i < names.size(); ++i)
        table[names[i]] = words[3 + i];
    return ProcessBlock(*block, time, table, depth + 1);
}

const OrvScriptNode* OrvTimeline::FindBlock(const std::string& name) {
    if (!blocksIndexed) {
        // Built on the first call only, so a script without calls never pays for it. The first
        // top-level line with a name is the one called; later lines with that name are hidden.
        // Lines without an identifier are indexed too: a quoted empty word names the first.
        blocksIndexed = true;
        blocks.reserve(root.Children().size());
        for (const OrvScriptNode* candidate : root.Children()) {
            if (candidate)
                blocks.try_emplace(candidate->Id(), candidate); // keeps an existing entry
        }
    }
    auto found = blocks.find(name);
    return found == blocks.end() ? nullptr : found->second;
}
