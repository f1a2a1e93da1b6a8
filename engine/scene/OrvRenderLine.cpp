#include "scene/OrvRenderLine.h"

#include "scene/OrvDrawPass.h"

#include "animation/OrvParameterInterfaceChild.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvDisplayFacts.h"
#include "base/OrvException.h"
#include "base/OrvSimilarWords.h"
#include "gfx/OrvGlUtils.h"
#include "gfx/OrvMusicUniforms.h"
#include "gfx/OrvShaderManager.h"
#include "gfx/OrvTexture.h"
#include "gfx/OrvTextureManager.h"
#include "scene/OrvObject.h"
#include "scene/OrvObjectManager.h"
#include "scene/OrvSceneContext.h"
#include "script/OrvScriptNode.h"

#include <epoxy/gl.h>

#include <cstdlib>

OrvRenderLine::OrvRenderLine(OrvSceneContext& scene)
    : scene(scene), buffer(false), colorTexture(0), depthTexture(0), width(-1), height(-1),
      depthRequested(false) {}

OrvRenderLine::~OrvRenderLine() {
    framebuffer.Release();
}

void OrvRenderLine::ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) {
    children.push_back(OrvParameterInterfaceChild("clear", &clear));
}

bool OrvRenderLine::Contains(const std::deque<std::string>& names, const std::string& name) {
    for (const std::string& entry : names)
        if (entry == name)
            return true;
    return false;
}

void OrvRenderLine::Init(OrvScriptNode& node, OrvObjectManager& objects) {
    name = node.Id();
    width = height = -1;
    buffer = false;
    colorTexture = depthTexture = 0;
    depthRequested = false;

    for (OrvScriptNode* key : node.Children())
        InitNode(*key); // keys that are not applied have no effect
    ReportUnknownObjects(node, objects);

    for (int i = 0; i < objects.ObjectCount(); ++i) {
        const std::string& objectName = objects.ObjectName(i);
        if (!includeList.empty() && !Contains(includeList, objectName))
            continue;
        if (Contains(excludeList, objectName))
            continue;
        drawList.push_back(objects[i]);
    }

    if (buffer)
        BuildBuffer();
}

void OrvRenderLine::ReportUnknownObjects(const OrvScriptNode& node,
                                         const OrvObjectManager& objects) {
    // The line draws without them (or draws everything, if no name of its list is known),
    // which plays, but is rarely what was meant: a warning at the key's line.
    std::vector<std::string> known;
    for (const OrvScriptNode* key : node.Children()) {
        if (!key || !(key->IdEquals("objects") || key->IdEquals("exclude")))
            continue;
        if (known.empty())
            for (int i = 0; i < objects.ObjectCount(); ++i)
                known.push_back(objects.ObjectName(i));
        for (const std::string& word : key->ArgsRef()) {
            if (objects.Object(word))
                continue;
            scene.Diagnostics().Report(0, OrvMessageKind::UnknownObjectInList, word,
                                       "Unknown object in render line " + name + ": " + word +
                                           OrvSimilarWords::Suggest(word, known),
                                       OrvDiagnostics::ScriptFile, key->Line());
        }
    }
}

bool OrvRenderLine::InitNode(OrvScriptNode& key) {
    const std::vector<std::string>& args = key.ArgsRef();
    if (key.IdEquals("output")) {
        if (args.empty())
            return false;
        width = scene.Display().surfaceWidth;
        height = scene.Display().surfaceHeight;
        if (args.size() > 2) {
            width = std::atoi(args[1].c_str());
            height = std::atoi(args[2].c_str());
        }
        // OpenGL would refuse the storage and leave a buffer nothing can be drawn into.
        if (width <= 0 || height <= 0)
            throw OrvException("Buffer size is not positive in render line: " + name);
        colorTexture = scene.Textures().InitAsRGBABuffer(args[0], width, height).handle;
        buffer = true;
        return true;
    }
    if (key.IdEquals("objects")) {
        includeList.assign(args.begin(), args.end());
        return true;
    }
    if (key.IdEquals("exclude")) {
        excludeList.assign(args.begin(), args.end());
        return true;
    }
    if (key.IdEquals("depthOutput")) {
        if (args.empty())
            throw OrvException("depthOutput without a texture name in render line: " + name);
        // Sized once all keys are read, so that it matches the colour buffer whichever key
        // comes first: attachments of different sizes make the framebuffer unusable.
        depthRequested = true;
        depthName = args[0];
        buffer = true;
        return true;
    }
    return false;
}

void OrvRenderLine::BuildBuffer() {
    if (width < 0) { // depth only: the size of the viewport it is drawn with
        width = scene.Display().surfaceWidth;
        height = scene.Display().surfaceHeight;
        if (width <= 0 || height <= 0)
            throw OrvException("Buffer size is not positive in render line: " + name);
    }
    if (depthRequested)
        depthTexture = scene.Textures().InitAsDepthBuffer(depthName, width, height).handle;
    framebuffer.Create(colorTexture, depthTexture, width, height);
    CheckBuffer();
}

void OrvRenderLine::CheckBuffer() const {
    if (!buffer)
        return;
    // A texture shared with a line of another size gets that line's storage afterwards.
    OrvTextureManager* textures = &scene.Textures();
    const unsigned handles[2] = {colorTexture, depthTexture};
    for (unsigned handle : handles) {
        OrvTexture* texture = handle ? textures->Texture(handle) : nullptr;
        if (texture && (texture->width != width || texture->height != height))
            throw OrvException("Buffer of render line " + name + " was resized to " +
                               std::to_string(texture->width) + "x" +
                               std::to_string(texture->height) + " by another render line");
    }
    unsigned status = framebuffer.Status();
    if (!OrvFramebuffer::IsComplete(status))
        throw OrvException("Incomplete framebuffer in render line " + name + ": " +
                           OrvFramebuffer::StatusName(status));
}

void OrvRenderLine::UpdateObjects(unsigned elapsedMs) {
    for (OrvObject* object : drawList)
        object->Update(elapsedMs);
}

namespace {
void ClearLetterbox(const OrvDisplayFacts& display, const OrvGlUtils::Viewport& view) {
    // The letterbox bars stay black whatever the line's colour. The whole window was cleared
    // to that colour at once (a renderer can clear a whole buffer much faster than a part of
    // it); the bars, on two sides of the picture, are cleared black one by one. The scissor
    // then keeps everything the objects draw inside the picture.
    const int windowWidth = display.displayWidth;
    const int windowHeight = display.displayHeight;
    const int bars[4][4] = {
        {0, 0, view.x, windowHeight},                                                 // left
        {view.x + view.width, 0, windowWidth - view.x - view.width, windowHeight},    // right
        {0, 0, windowWidth, view.y},                                                  // bottom
        {0, view.y + view.height, windowWidth, windowHeight - view.y - view.height}}; // top
    glEnable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 0);
    for (const int* bar : bars) {
        if (bar[2] <= 0 || bar[3] <= 0)
            continue;
        glScissor(bar[0], bar[1], bar[2], bar[3]);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glScissor(view.x, view.y, view.width, view.height);
}
} // namespace

void OrvRenderLine::Draw(OrvCameraEye& eye) {
    if (buffer)
        framebuffer.Bind();
    OrvGlUtils::Viewport view = OrvGlUtils::FullViewport(scene.Display(), buffer, width, height);
    glViewport(view.x, view.y, view.width, view.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glDisable(GL_SCISSOR_TEST);
    glClearColor(clear.r, clear.g, clear.b, clear.a);
    // Fills of concave outlines (OrvPathFill) count on a clear stencil.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    if (!buffer)
        ClearLetterbox(scene.Display(), view);

    OrvDrawPass pass{view.width, view.height, eye};
    // What a shader that declares orvResolution draws into.
    OrvMusicUniforms& uniforms = scene.Shaders().MusicUniforms();
    uniforms.resolution[0] = static_cast<float>(view.width);
    uniforms.resolution[1] = static_cast<float>(view.height);
    for (OrvObject* object : drawList) {
        if (!object->IsEnabled())
            continue;
        glMatrixMode(GL_MODELVIEW);
        if (object->Flags() == 1) {
            // Cameras and environments: what they set holds for the objects after them.
            object->Draw(pass);
            continue;
        }
        glPushMatrix();
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        object->Draw(pass);
        glPopAttrib();
        glPopMatrix();
    }

    if (buffer)
        OrvFramebuffer::BindScreen(scene.Display().screenFramebuffer);
    else
        glDisable(GL_SCISSOR_TEST);
}
