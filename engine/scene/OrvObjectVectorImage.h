#ifndef ORV_SCENE_ORVOBJECTVECTORIMAGE_H
#define ORV_SCENE_ORVOBJECTVECTORIMAGE_H

// The scene object of class word "ovi": a flat picture of filled shapes, read from a vector
// image file (OrvVectorImageFile), that morphs back and forth between the file's first two
// poses. Drawn in the pixels of its render line's viewport (x right, y down from the top
// left), without lighting, depth test or texture.
//
// Script: "name: ovi FILE" (exactly these two words, else "Invalid amount of arguments
// passed"; a file that cannot be opened raises "Could not open file: " + FILE as written;
// the reader's own messages for damaged files). The object has no parameters, so any line of
// its block is rejected by the object manager. A file without frames is refused ("Vector image
// file without frames: " + FILE); a file with one frame is drawn still; only the first two
// frames of a longer file are drawn. A picture whose outlines would take more than MaxPoints
// points per draw is refused ("Vector image file too detailed: " + FILE + " (N points, at most
// M)"), so a hostile density cannot stall the show.
//
// Each frame's Update advances the phase by 0.01 while the object is enabled, and Draw draws
// the blend (1 - m) * pose 0 + m * pose 1 with m = sin(phase) * 0.5 + 0.5: the picture starts
// halfway and swings over about 628 frames shown. So the morph follows the number of frames
// it was on for (once a frame however many render lines list it), not the show's position. Each
// layer is filled in its colour of pose 0; each path is one outline, filled by the even-odd rule
// (OrvPathFill), so concave shapes come out right.
//
// Draw allocates nothing (the point buffer is sized by Init). It saves and restores both
// matrices; render lines restore the rest (Flags() is 0). Cannot be duplicated. Owns its data.

#include "scene/OrvObject.h"
#include "scene/OrvVectorImageFile.h"

#include <vector>

class OrvSceneContext;

class OrvObjectVectorImage : public OrvObject {
public:
    static const int MaxPoints = 4 << 20;

    explicit OrvObjectVectorImage(OrvSceneContext& scene);
    ~OrvObjectVectorImage() override;

    void Init(OrvScriptNode& node) override;
    void Update(unsigned elapsedMs) override;
    void Draw(OrvDrawPass& pass) override;

    float Phase() const { return phase; }
    const OrvVectorImageFile& File() const { return file; }

private:
    OrvVectorImageFile file;
    std::vector<float> points; // x, y pairs, room for the longest path
    float phase;
};

#endif
