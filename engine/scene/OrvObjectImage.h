#ifndef ORV_SCENE_ORVOBJECTIMAGE_H
#define ORV_SCENE_ORVOBJECTIMAGE_H

// The scene object of class word "image": one textured rectangle in the pixels of the current
// viewport, independent of any camera. A picture, a full-screen overlay, a sequence of frames,
// or a screen-space effect run through a shader.
//
// Script: "name: image file1 [file2 ...] {". Each file name becomes one frame, in the order
// written; a "*" name is a render buffer that a render line fills, drawn like a picture of the
// buffer's size. Block lines "shader: name ..." (at least one name) each load one shader
// program. Every other block line is left to the object manager (initial values).
// Init raises OrvException("Image object without an image file: " + object name) when the line
// names no file, and passes on the texture and shader managers' errors.
//
// Parameters, in order (all start at 0 unless said otherwise):
//   0 "stretch"         any value but 0: the rectangle fills the viewport; else the picture
//                       keeps its pixel size relative to the surface, centred (before the
//                       surface size is set, one picture pixel is one viewport pixel)
//   1 "zoom"            added to both zoom.x and zoom.y
//   2 "zoom.x"          each side moves out by this fraction of the width
//   3 "zoom.y"          likewise for the height
//   4 "rotate"          degrees about the viewport centre, clockwise on screen
//   5 "frame"           the file shown: truncated toward zero, its low 32 bits taken as an
//                       unsigned number, modulo the number of files (-1 with four files is 3)
//   6 "useShader"       program drawn with: truncated; at most the last program (-1 when
//                       there are none); negative means none. Starts -1, or 0 with programs
//   7 "multiTexturing"  truncated value not 0: file i is bound to texture unit i (as many as
//                       the implementation has units; the rest are not bound)
//   8 "blend"           truncated: 0 off, 1 alpha (start), 2 additive, 3 maximum; others 0
//   9 "offset.x", 10 "offset.y"   added to the s and t texture coordinates; while one is 0
//                       the picture is clamped at its edges along that axis, else it repeats
//  11 "pos.x", 12 "pos.y"         offset in viewport pixels, y downwards
// Truncations cannot overflow: NaN counts as 0, values past the 64-bit range as its ends.
// Children: "col" (the colour, starts opaque white), then "shaders[0]", "shaders[1]", ... one
// per program, whose uniforms appear directly under it: "box.shaders[0].brightness".
//
// Update calls UpdateUniforms on every program. Draw allocates nothing. It disables lighting
// and depth testing, enables GL_TEXTURE_2D, sets blending, the bound textures (and with
// multiTexturing the active unit, left on the last one) and the colour, and does not restore
// them: render lines save and restore all attribute groups around it (Flags() is 0). The wrap
// of the textures it binds is set for its quad (clamp to edge along an axis whose offset is 0,
// repeat along a scrolled one) and set back to the texture manager's repeat after it, since
// other objects share the textures. It saves and restores both matrices itself and always
// leaves program 0 current. The picture's size is looked up again on every draw, so a buffer
// sized after Init is drawn at its size.
//
// Ownership: the texture handles belong to the texture manager; the shader programs belong to
// the image. Init loads every program before the object is registered, and the list never
// changes afterwards, so the child pointers stay valid as long as the image lives. Cannot be
// duplicated (Duplicate returns null).

#include "animation/OrvColorParameter.h"
#include "gfx/OrvShaderProgram.h"
#include "gfx/OrvTexture.h"
#include "scene/OrvObject.h"

#include <deque>
#include <string>
#include <vector>

class OrvSceneContext;
class OrvTexture;

class OrvObjectImage : public OrvObject {
public:
    explicit OrvObjectImage(OrvSceneContext& scene);
    ~OrvObjectImage() override;
    OrvObjectImage(const OrvObjectImage&) = delete;
    OrvObjectImage& operator=(const OrvObjectImage&) = delete;

    void ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) override;

    void Init(OrvScriptNode& node) override;
    std::vector<std::string> KeyWords() const override { return {"shader"}; }
    void Draw(OrvDrawPass& pass) override;
    void Update(unsigned elapsedMs) override;

    // Inspection.
    int ImageCount() const { return static_cast<int>(images.size()); }
    // The caller keeps 0 <= index < ImageCount().
    unsigned ImageHandle(int index) const { return images[index]->handle; }
    int ShaderCount() const { return static_cast<int>(shaders.size()); }
    // The caller keeps 0 <= index < ShaderCount(). Borrowed: lives as long as the image.
    OrvShaderProgram& Shader(int index) { return shaders[index]; }
    OrvColorParameter& Color() { return col; }
    bool Stretch() const { return stretch; }
    float Zoom() const { return zoom; }
    float ZoomX() const { return zoomX; }
    float ZoomY() const { return zoomY; }
    float Rotate() const { return rotate; }
    int Frame() const { return static_cast<int>(frame); }
    int UseShader() const { return useShader; }
    int MultiTexturing() const { return multiTexturing ? 1 : 0; }
    int Blend() const { return blend; }
    float OffsetX() const { return offsetX; }
    float OffsetY() const { return offsetY; }
    float PosX() const { return posX; }
    float PosY() const { return posY; }

protected:
    void DescribeParameters(OrvParameterTable& table) override;

private:
    void Reset();
    // Binds the frame's file (or every file with multiTexturing) with the given wrap.
    void BindTextures(bool repeatS, bool repeatT) const;

    // One picture a frame: records of the show's textures, which stay where they are while
    // the show lives (a buffer's size is read from its record on every draw).
    std::deque<const OrvTexture*> images;
    std::deque<OrvShaderProgram> shaders; // a deque: adding never moves the earlier programs
    OrvColorParameter col;
    int textureUnits; // how many units multiTexturing may bind

    bool stretch;
    float zoom;
    float zoomX;
    float zoomY;
    float rotate;
    unsigned frame; // always below the number of files
    int useShader;
    bool multiTexturing;
    int blend;
    float offsetX;
    float offsetY;
    float posX;
    float posY;
};

#endif
