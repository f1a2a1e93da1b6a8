#ifndef ORV_GFX_ORVFRAMEBUFFER_H
#define ORV_GFX_ORVFRAMEBUFFER_H

// An off-screen framebuffer object (EXT_framebuffer_object) that draws into textures of the
// texture manager: a colour texture, a depth texture, or both.
//
// - A colour texture without a depth texture gets a depth renderbuffer of the same size, so
//   depth testing works while drawing; where EXT_packed_depth_stencil is there (everywhere in
//   practice) it is a depth-stencil renderbuffer with 8 stencil bits, for stencil fills.
// - With a depth texture there is no stencil: depth textures have none.
// - A depth texture without a colour texture makes a depth-only buffer: the framebuffer's draw
//   and read buffers are set to GL_NONE, which the extension requires for completeness.
// - Every attachment must have the size given to Create; the caller sees to that.
//
// Ownership: the textures belong to the texture manager. The framebuffer and its depth
// renderbuffer belong to this object: Release() deletes them (its owner calls it while the
// context is current; a copy shares the names, so only one copy may release them).
// OpenGL state: Create and Status leave the framebuffer bound before them bound, and
// renderbuffer 0; Bind binds this framebuffer, BindScreen the screen's. All calls need the
// current context (epoxy loads the entry points).
//
// The screen: what the render line without an output draws into, and what every buffer line
// goes back to when it is done. It is the window's framebuffer (name 0) unless the run's
// display facts name another one: offline capture renders the whole show into a framebuffer of
// its own size that way, with the window only holding the context.

#include <string>

class OrvFramebuffer {
public:
    OrvFramebuffer();

    // Generates and attaches everything; texture 0 means none. Call once.
    void Create(unsigned colorTexture, unsigned depthTexture, int width, int height);
    // glCheckFramebufferStatusEXT of this framebuffer; GL_FRAMEBUFFER_COMPLETE_EXT when usable.
    unsigned Status() const;
    static bool IsComplete(unsigned status);
    // The status constant's name, "GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT" for instance.
    static std::string StatusName(unsigned status);

    // Deletes the framebuffer and the renderbuffer, if any; afterwards both handles are 0.
    void Release();
    void Bind() const;
    // Binds the screen: 0 for the window's framebuffer.
    static void BindScreen(unsigned screen);

    unsigned Handle() const { return framebuffer; }
    // 0 when the depth goes to a depth texture. Holds the stencil too where it can.
    unsigned DepthRenderbuffer() const { return depthRenderbuffer; }

private:
    unsigned framebuffer;
    unsigned depthRenderbuffer;
};

#endif
