#ifndef ORV_CAPTURE_ORVCAPTUREPARTSET_H
#define ORV_CAPTURE_ORVCAPTUREPARTSET_H

// The parts given to a join (Capture --join), each with its folder, and the one question about
// them: are they together exactly one whole capture? Check says yes only when they are all of
// one capture (rate, size, range and count N the same), each part 1 to N is there once, and
// each starts where the one before ends; otherwise its message names the folders at fault
// ("part 3/4 is missing", "part 2/4 is given twice: a and b", "b is of another capture: ...").
// The order the folders came in does not matter: Ordered gives them by part.
//
// Owns its copies of the manifests; reads no file (OrvCaptureJoin does). Used by the join
// and its tests.

#include "OrvCapturePartManifest.h"

#include <string>
#include <utility>
#include <vector>

class OrvCapturePartSet {
public:
    void Add(const std::string& folder, const OrvCapturePartManifest& manifest);
    // False with `error` set ("Capture: ...").
    bool Check(std::string& error) const;
    // By part number; valid after a Check that said yes.
    std::vector<std::pair<std::string, OrvCapturePartManifest>> Ordered() const;

private:
    std::vector<std::pair<std::string, OrvCapturePartManifest>> parts;
};

#endif
