#ifndef ORV_GFX_ORVGLSTATE_H
#define ORV_GFX_ORVGLSTATE_H

// The OpenGL state that several parts of the engine set the same way, in one place:
//
//   - blend modes             glEnable/glDisable(GL_BLEND), glBlendFunc, glBlendEquation
//   - texture binding         glActiveTexture, glBindTexture(GL_TEXTURE_2D)
//   - texture sampling        glTexParameteri for the filters and wrap of GL_TEXTURE_2D
//   - pixel space             the projection and modelview set-up (glOrtho) in which one unit
//                             is one pixel of the current viewport, origin top left, y down
//   - the pixel-space quad    glBegin(GL_QUADS) with texture coordinates
//
// No code outside this unit should make these calls for these purposes: objects, render
// lines, the texture manager and the loading screen call the functions below, so that a mode
// means the same wherever it is used. (Drawing of meshes, particles and other geometry of
// their own stays with their classes.)
//
// Every function needs a current context, allocates nothing and restores nothing unless it
// says so. Main thread only.

class OrvGlState {
public:
    // Blend modes by number, as scripts write them. Any other number means off.
    enum Blend { BlendOff = 0, BlendAlpha = 1, BlendAdd = 2, BlendMax = 3 };
    // Off: blending disabled. Alpha: source alpha over the destination. Add: source times its
    // alpha added. Max: the larger of source and destination, per component.
    static void SetBlend(int mode);

    // Binds `handle` as the 2D texture of the active unit.
    static void BindTexture(unsigned handle);
    // Selects `unit` (0 = GL_TEXTURE0) and binds `handle` there; the unit stays selected.
    static void BindTextureToUnit(int unit, unsigned handle);

    // Filtering and wrap of the texture bound to GL_TEXTURE_2D. Linear filtering both ways,
    // or, with mipmaps, trilinear minification. Repeat wraps the picture round; clamp stops
    // at the edge pixels, so a picture drawn past its edge shows no seam of the other side.
    static void SetSampling(bool mipmaps, bool repeat);
    // Only the wrap of the texture bound to GL_TEXTURE_2D, each direction on its own: s runs
    // along the picture's width, t along its height. The filters stay as they are.
    static void SetWrap(bool repeatS, bool repeatT);

    // Pushes both matrices and sets them so that one unit is one pixel of a viewport of
    // width x height, origin at the top left, y growing downwards. Leaves GL_MODELVIEW
    // selected. Pair with EndPixelSpace.
    static void BeginPixelSpace(int width, int height);
    // Pops both matrices pushed by BeginPixelSpace; leaves GL_MODELVIEW selected.
    static void EndPixelSpace();

    // A quad from (left, top) to (right, bottom) in the current coordinates, with texture
    // coordinates (s0, t0) at the bottom left and (s1, t1) at the top right: a texture's first
    // row is the bottom of its picture. Without texturing the coordinates are ignored.
    static void DrawQuad(float left, float top, float right, float bottom, float s0, float t0,
                         float s1, float t1);

    // True when this thread has a current OpenGL context: OpenGL objects can be deleted only
    // then (after the window is gone they ended with it). Needs no context itself.
    static bool HasCurrentContext();
};

#endif
