#include "base/OrvMessageKind.h"

namespace {
struct Entry {
    OrvMessageKind kind;
    const char* text;
};

// In the enumeration's order; Text() checks that, so a row in the wrong place shows at once.
const Entry Table[] = {
    {OrvMessageKind::Other, ""},
    {OrvMessageKind::CouldNotOpen, "Could not open "},
    {OrvMessageKind::MissingBlock, "Missing block: "},
    {OrvMessageKind::ErrorInFile, "An error in "},
    {OrvMessageKind::CouldNotLoadScript, "Could not load a script file"},
    {OrvMessageKind::ErrorsInScript, "Errors in script file"},
    {OrvMessageKind::ErrorOnLine, "Error on line: "},
    {OrvMessageKind::SyntaxError, "Syntax error"},
    {OrvMessageKind::UnknownParameter, "Unknown parameter: "},
    {OrvMessageKind::UnknownSource, "Unknown source: "},
    {OrvMessageKind::EnvelopeOverlap, "Envelope defined already to this section of time"},
    {OrvMessageKind::SubNodeNotFound, "Sub node not found: "},
    {OrvMessageKind::InvalidArguments, "Invalid number of arguments"},
    {OrvMessageKind::EndDefinedTwice, "End position defined multiple times."},
    {OrvMessageKind::BarsWithoutBpm, "Time "},
    {OrvMessageKind::NegativeDuration, "Duration is negative: "},
    {OrvMessageKind::LoopBodyFailed, "The loop's body failed in "},
    {OrvMessageKind::LineNotProcessed, "Error: Line not processed: "},
    {OrvMessageKind::InitializationFailed,
     "Initialization failed due to unidentified parameters in initialization block"},
    {OrvMessageKind::UnknownClass, "Object class could not be initialized: "},
    {OrvMessageKind::InitialValueNotApplied,
     "Warning: Initial value not applied, because an earlier object has the same name: "},
    {OrvMessageKind::UnknownHeaderKey, "Unknown header key: "},
    {OrvMessageKind::UnknownObjectInList, "Unknown object in render line "},
    {OrvMessageKind::NoBpmForBars, "note: the header has no bpm above 0"},
    {OrvMessageKind::ShaderCompileFailed, "Shader compiling failed: "},
    {OrvMessageKind::ShaderLinkFailed, "Shader program linking failed:\n\n"},
    {OrvMessageKind::CouldNotLoadImage, "Could not load image file: "},
    {OrvMessageKind::ImageNotTruecolor, "The image is not truecolor: "},
    {OrvMessageKind::MusicNotLoaded, "Could not load the music file"},
    {OrvMessageKind::UnclosedBlock, "block \""},
    {OrvMessageKind::ClockWithoutBpm, "Source "},
};
} // namespace

const char* OrvMessage::Text(OrvMessageKind kind) {
    unsigned index = static_cast<unsigned>(kind);
    if (index < sizeof Table / sizeof Table[0] && Table[index].kind == kind)
        return Table[index].text;
    return "";
}
