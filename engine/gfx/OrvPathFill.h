#ifndef ORV_GFX_ORVPATHFILL_H
#define ORV_GFX_ORVPATHFILL_H

// Fills closed outlines, concave ones included, in the current colour under the current
// matrices. GL_POLYGON (and a plain triangle fan) is only right for convex outlines: for a
// star or a letter the fan paints outside the shape.
//
// How: per outline, a triangle fan from its first point goes into the stencil buffer with
// colour and depth writes off, each triangle inverting stencil bit 0; pixels covered an odd
// number of times are inside (the even-odd rule). Then one quad over the outline's bounding
// box draws the colour where that bit is set and clears the bit as it goes, so the next
// outline starts from a clear stencil. Each pixel is drawn once, so blending is exact, and a
// convex outline gives the same pixels as GL_POLYGON.
//
// Stencil: only bit 0 is used; it must be 0 where the outline lies when Fill starts (the render
// lines clear the stencil with colour and depth), and is 0 again afterwards. When the bound
// framebuffer has no stencil bits (a window without them, a render buffer with a depth
// texture), Fill draws the plain fan: right for convex outlines only.
//
// Use: Begin(), any number of Fill() calls (the caller may change the colour and the matrices
// in between, nothing else), End(). Begin saves the OpenGL state it changes (attribute and
// client attribute stacks, one level each) and End restores it; culling is off in between.
// Points are x, y pairs of floats owned by the caller; nothing is allocated or kept. Needs the
// current context (epoxy loads the entry points).

class OrvPathFill {
public:
    OrvPathFill();

    void Begin();
    // Fills the outline through `count` points (x, y pairs) back to the first; fewer than
    // three points fill nothing. Points that are not finite are left out of the bounding box.
    void Fill(const float* xy, int count);
    void End();

    // Whether the fills since Begin use the stencil (the bound framebuffer has stencil bits).
    bool UsesStencil() const { return stencil; }

private:
    bool stencil;
    unsigned char colorMask[4];
    unsigned char depthMask;
};

#endif
