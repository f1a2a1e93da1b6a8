#ifndef ORV_BASE_ORVMESSAGEKIND_H
#define ORV_BASE_ORVMESSAGEKIND_H

// What a message is, apart from its words: every kind of message the engine reports has an id
// here and the fixed text it starts with, one table for the whole engine. A record (and a
// raised OrvException) keeps the id and its subject (the key, parameter, object or file it is
// about), so whoever sorts messages (the script check, the debug overlay) asks the id and
// never reads the text back.
//
// Reporters still write the whole text; Text() is the fixed part, for them to start it with.
// Kind Other is a message with no kind of its own (a log line of a library, say). Holds no
// state; used by everything that reports.

enum class OrvMessageKind {
    Other,
    CouldNotOpen,           // "Could not open " + path
    MissingBlock,           // "Missing block: " + block
    ErrorInFile,            // "An error in " + path
    CouldNotLoadScript,     // "Could not load a script file"
    ErrorsInScript,         // "Errors in script file"
    ErrorOnLine,            // "Error on line: " + the line as written
    SyntaxError,            // "Syntax error"
    UnknownParameter,       // "Unknown parameter: " + name
    UnknownSource,          // "Unknown source: " + name
    EnvelopeOverlap,        // "Envelope defined already to this section of time"
    SubNodeNotFound,        // "Sub node not found: " + block
    InvalidArguments,       // "Invalid number of arguments"
    EndDefinedTwice,        // "End position defined multiple times."
    BarsWithoutBpm,         // "Time " + time + " is written in bars and beats, ..."
    NegativeDuration,       // "Duration is negative: " + word
    LoopBodyFailed,         // "The loop's body failed in " + n + " of its rounds"
    LineNotProcessed,       // "Error: Line not processed: " + line
    InitializationFailed,   // "Initialization failed due to unidentified parameters ..."
    UnknownClass,           // "Object class could not be initialized: " + word
    InitialValueNotApplied, // "Warning: Initial value not applied, ..." + parameter
    UnknownHeaderKey,       // "Unknown header key: " + key
    UnknownObjectInList,    // "Unknown object in render line " + line + ": " + name
    NoBpmForBars,           // the header's note that bar times need a bpm
    ShaderCompileFailed,    // "Shader compiling failed: " + the compiler's log
    ShaderLinkFailed,       // "Shader program linking failed:\n\n" + the linker's log
    CouldNotLoadImage,      // "Could not load image file: " + file
    ImageNotTruecolor,      // "The image is not truecolor: " + file
    MusicNotLoaded,         // "Could not load the music file"
    UnclosedBlock,          // "block \"" + name + "\" is never closed..."
    ClockWithoutBpm,        // "Source " + name + " counts beats, but the header has no bpm..."
};

class OrvMessage {
public:
    // The fixed text a message of the kind starts with ("" for Other).
    static const char* Text(OrvMessageKind kind);
};

#endif
