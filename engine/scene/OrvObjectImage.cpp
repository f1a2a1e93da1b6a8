#include "scene/OrvObjectImage.h"

#include "scene/OrvDrawPass.h"

#include "animation/OrvParameterInterfaceChild.h"
#include "animation/OrvParameterTable.h"
#include "base/OrvDisplayFacts.h"
#include "base/OrvException.h"
#include "gfx/OrvGlState.h"
#include "gfx/OrvShaderManager.h"
#include "gfx/OrvTexture.h"
#include "gfx/OrvTextureManager.h"
#include "scene/OrvSceneContext.h"
#include "script/OrvScriptNode.h"

#include <epoxy/gl.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>

OrvObjectImage::OrvObjectImage(OrvSceneContext& scene) : OrvObject(scene), textureUnits(1) {
    Reset();
}

OrvObjectImage::~OrvObjectImage() {}

void OrvObjectImage::Reset() {
    col.Set(1, 1, 1, 1);
    stretch = false;
    zoom = zoomX = zoomY = 0;
    rotate = 0;
    frame = 0;
    useShader = -1;
    multiTexturing = false;
    blend = 1;
    offsetX = offsetY = 0;
    posX = posY = 0;
}

void OrvObjectImage::DescribeParameters(OrvParameterTable& table) {
    table.Switch("stretch", stretch);
    table.Float("zoom", zoom);
    table.Float("zoom.x", zoomX);
    table.Float("zoom.y", zoomY);
    table.Float("rotate", rotate);
    if (table.Custom("frame", frame)) {
        // Negative frames count back from the end of the low 32 bits: -1 is 4294967295.
        int64_t truncated = OrvParameterTable::TruncateToInt64(table.Value());
        uint32_t low = static_cast<uint32_t>(static_cast<uint64_t>(truncated));
        frame = images.empty() ? 0 : low % static_cast<uint32_t>(images.size());
    }
    table.Integer("useShader", useShader, INT_MIN, static_cast<int>(shaders.size()) - 1);
    table.TruncatedSwitch("multiTexturing", multiTexturing);
    if (table.Custom("blend", blend)) {
        int mode = OrvParameterTable::TruncateToInt(table.Value());
        blend = (mode < 0 || mode > 3) ? 0 : mode;
    }
    table.Float("offset.x", offsetX);
    table.Float("offset.y", offsetY);
    table.Float("pos.x", posX);
    table.Float("pos.y", posY);
}

void OrvObjectImage::ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) {
    children.push_back(OrvParameterInterfaceChild("col", &col));
    for (std::size_t i = 0; i < shaders.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "shaders[%d]", static_cast<int>(i));
        children.push_back(OrvParameterInterfaceChild(name, &shaders[i]));
    }
}

void OrvObjectImage::Init(OrvScriptNode& node) {
    Reset();
    images.clear();
    shaders.clear();

    // The first argument is the class word; the file names follow it.
    const std::vector<std::string>& args = node.ArgsRef();
    // Drawing and the frame number both need a picture to refer to.
    if (args.size() < 2)
        throw OrvException("Image object without an image file: " + node.Id());
    OrvTextureManager* textures = &Scene().Textures();
    for (std::size_t i = 1; i < args.size(); ++i)
        images.push_back(&textures->Texture(args[i]));

    for (OrvScriptNode* line : node.Children()) {
        if (!line->IdEquals("shader") || line->ArgsRef().empty())
            continue;
        std::deque<std::string> names = line->Args();
        shaders.push_back(Scene().Shaders().LoadShaderProgram(names, OrvShaderManager::Auto));
        useShader = 0;
        line->SetProcessed();
    }

    // Selecting a unit past the implementation's last one is an OpenGL error; such files are
    // simply not bound.
    GLint units = 0;
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units);
    textureUnits = units > 0 ? units : 1;
}

void OrvObjectImage::Update(unsigned) {
    for (OrvShaderProgram& program : shaders)
        program.UpdateUniforms();
}

void OrvObjectImage::BindTextures(bool repeatS, bool repeatT) const {
    if (!multiTexturing) {
        OrvGlState::BindTexture(images[frame]->handle);
        OrvGlState::SetWrap(repeatS, repeatT);
        return;
    }
    // File i on unit i, whatever the frame; the last unit stays selected.
    int count = static_cast<int>(images.size());
    if (count > textureUnits)
        count = textureUnits;
    for (int i = 0; i < count; ++i) {
        OrvGlState::BindTextureToUnit(i, images[i]->handle);
        OrvGlState::SetWrap(repeatS, repeatT);
    }
}

void OrvObjectImage::Draw(OrvDrawPass& pass) {
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);

    // The size is asked for on every draw: a buffer gets its storage after Init.
    const OrvTexture* picture = images[frame];
    float pictureWidth = picture ? static_cast<float>(picture->width) : 0.0f;
    float pictureHeight = picture ? static_cast<float>(picture->height) : 0.0f;

    const int viewWidth = pass.viewportWidth;
    const int viewHeight = pass.viewportHeight;
    const float w = static_cast<float>(viewWidth);
    const float h = static_cast<float>(viewHeight);

    OrvGlState::BeginPixelSpace(viewWidth, viewHeight);

    glEnable(GL_TEXTURE_2D);
    OrvGlState::SetBlend(blend);
    // A picture that is not scrolled stops at its edge pixels: with repeat, linear filtering
    // would blend the opposite edge into the outermost pixels (a seam along a logo's edge, the
    // far side of a render buffer bleeding in). Along an axis its offset scrolls, it repeats.
    BindTextures(offsetX != 0, offsetY != 0);
    glColor4f(col.r, col.g, col.b, col.a);

    float x0 = 0, y0 = 0, x1 = w, y1 = h;
    if (!stretch) {
        // The picture keeps its size relative to the rendering surface, so a buffer viewport of
        // another size shows it in proportion. Before the surface size is known (0), a picture
        // pixel is a viewport pixel rather than a division by zero.
        const OrvDisplayFacts& display = Scene().Display();
        float surfaceWidth = static_cast<float>(display.surfaceWidth);
        float surfaceHeight = static_cast<float>(display.surfaceHeight);
        float sw = surfaceWidth > 0 ? (w / surfaceWidth) * pictureWidth : pictureWidth;
        float sh = surfaceHeight > 0 ? (h / surfaceHeight) * pictureHeight : pictureHeight;
        x0 = (w - sw) * 0.5f;
        y0 = (h - sh) * 0.5f;
        x1 = x0 + sw;
        y1 = y0 + sh;
    }

    float dx = (zoomX + zoom) * std::fabs(x1 - x0);
    float dy = (zoomY + zoom) * std::fabs(y1 - y0);
    float left = x0 - dx + posX;
    float right = x1 + dx + posX;
    float top = y0 - dy + posY;
    float bottom = y1 + dy + posY;

    if (rotate != 0) {
        // About the viewport centre, in whole pixels; with y downwards a positive angle turns
        // clockwise on screen.
        float cx = static_cast<float>(viewWidth / 2);
        float cy = static_cast<float>(viewHeight / 2);
        left -= cx;
        right -= cx;
        top -= cy;
        bottom -= cy;
        glTranslatef(cx, cy, 0);
        glRotatef(rotate, 0, 0, 1);
    }

    if (useShader >= 0)
        shaders[useShader].Use();

    OrvGlState::DrawQuad(left, top, right, bottom, offsetX, offsetY, offsetX + 1, offsetY + 1);
    // The textures are shared (a model may tile the same picture): they go back to the
    // repeating wrap the texture manager gave them.
    BindTextures(true, true);

    OrvShaderProgram::UnUse();
    OrvGlState::EndPixelSpace();
}
