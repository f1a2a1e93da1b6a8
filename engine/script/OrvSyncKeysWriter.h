#ifndef ORV_SCRIPT_ORVSYNCKEYSWRITER_H
#define ORV_SCRIPT_ORVSYNCKEYSWRITER_H

// Writes a sync editor's keys as timeline lines in the script's own language, the text that
// OrvBakedSyncKeys plays back: a person can read, diff and edit it.
//
// For each track whose parameter the show has (the others are left out and counted), in track
// order, its keys in row order; a key at time t with value v becomes:
//   step, or the last key:  "t name = v"                           a hold
//   linear:                 "t name = v to w in d"                 a fade to the next key
//   smooth / ramp:          "t name = smooth v to w in d", "ramp"  an ease to the next key
// where w is the next key's value and d the time to it. A first key after 0 is preceded by a
// hold of its value at 0, since a track holds its first value before it. A key sharing its
// millisecond with the next one is left out: the later one answers there. Times are written
// in seconds with three decimals (whole milliseconds), values in the shortest fixed-point
// form that reads back as the same double, so the baked keys give the same bits as the
// editor's. Lines starting with "#" are comments.
//
// Owns nothing; allocates as it writes.

#include <string>

class OrvSyncTrackSource;

class OrvSyncKeysWriter {
public:
    // The text for every bound track of `tracks`; `skipped` counts the tracks left out.
    static std::string Text(const OrvSyncTrackSource& tracks, int& skipped);
    // Writes Text to `path` through a temporary file renamed over it, so a reader never sees
    // half a file; false when it could not be written.
    static bool Write(const std::string& path, const std::string& text);
    // The shortest "%.Nf" form of the value that reads back as exactly the same double.
    static std::string Number(double value);
};

#endif
