#include "scene/OrvObjectVectorImage.h"

#include "scene/OrvDrawPass.h"

#include "base/OrvException.h"
#include "gfx/OrvGlState.h"
#include "gfx/OrvPathFill.h"
#include "scene/OrvSceneContext.h"
#include "scene/OrvVectorPathSampler.h"
#include "script/OrvScriptNode.h"

#include <epoxy/gl.h>

#include <cmath>

OrvObjectVectorImage::OrvObjectVectorImage(OrvSceneContext& scene) : OrvObject(scene), phase(0) {}

OrvObjectVectorImage::~OrvObjectVectorImage() {}

void OrvObjectVectorImage::Init(OrvScriptNode& node) {
    const std::vector<std::string>& args = node.ArgsRef();
    if (args.size() != 2)
        throw OrvException("Invalid amount of arguments passed");
    const std::string& name = args.back();
    file.Load(Scene().Files().Path(name), name);
    if (file.FrameCount() == 0)
        throw OrvException("Vector image file without frames: " + name);

    const OrvVectorImageFile::Frame& pose = file.FrameAt(0);
    long long total = 0;
    int longest = 0;
    // Counting stops once the total is past the limit: a refused file then costs about what
    // drawing the largest allowed one does, not what its densities ask for.
    for (std::size_t path = 0; path < file.PathCount() && total <= MaxPoints; ++path) {
        std::size_t first = file.FirstSegment(path);
        int count = OrvVectorPathSampler::PathPointCount(pose.segments.data() + first,
                                                         file.FirstSegment(path + 1) - first);
        total += count;
        longest = count > longest ? count : longest;
    }
    if (total > MaxPoints)
        throw OrvException("Vector image file too detailed: " + name + " (" +
                           std::to_string(total) + " points, at most " + std::to_string(MaxPoints) +
                           ")");
    points.assign(static_cast<std::size_t>(longest) * 2, 0.0f);
    phase = 0;
}

void OrvObjectVectorImage::Update(unsigned) {
    if (IsEnabled())
        phase += 0.01f;
}

void OrvObjectVectorImage::Draw(OrvDrawPass& pass) {
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    OrvGlState::BeginPixelSpace(pass.viewportWidth, pass.viewportHeight);

    const float weight = OrvVectorPathSampler::MorphWeight(phase);
    const OrvVectorImageFile::Frame& a = file.FrameAt(0);
    const OrvVectorImageFile::Frame* b = file.FrameCount() > 1 ? &file.FrameAt(1) : nullptr;
    const int capacity = static_cast<int>(points.size() / 2);

    OrvPathFill fill;
    fill.Begin();
    for (std::size_t layer = 0; layer < file.LayerCount(); ++layer) {
        const OrvVectorImageFile::LayerHeader& header = a.layers[layer];
        glColor4f(header.red, header.green, header.blue, header.alpha);
        for (std::size_t path = file.FirstPath(layer); path < file.FirstPath(layer + 1); ++path) {
            std::size_t first = file.FirstSegment(path);
            std::size_t count = file.FirstSegment(path + 1) - first;
            int written = OrvVectorPathSampler::SamplePath(a.segments.data() + first,
                                                           b ? b->segments.data() + first : nullptr,
                                                           count, weight, points.data(), capacity);
            fill.Fill(points.data(), written);
        }
    }
    fill.End();
    OrvGlState::EndPixelSpace();
}
