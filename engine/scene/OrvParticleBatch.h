#ifndef ORV_SCENE_ORVPARTICLEBATCH_H
#define ORV_SCENE_ORVPARTICLEBATCH_H

// Draws the particles of a particle system as camera-facing squares, with few OpenGL calls:
// the corners of every square are worked out here, into vertex arrays that the batch owns,
// and go to OpenGL in a few draws:
//   - in order (alpha blending, where the order is the picture) with two to eight textures
//     and the owner's one-draw program (SetOneDrawProgram, built from OneDrawVertex and
//     OneDrawFragment): one draw, each texture on its own unit and each particle's texture
//     number in its third texture coordinate, the program modulating the colour by the
//     texel and adding the fixed pipeline's exponential-squared fog when fog is on, so the
//     picture is the one the runs below give (unless the owner draws with a shader of its
//     own, or fog of another mode is on);
//   - otherwise in order: each run of consecutive particles that share a texture is one
//     draw, so a pool sorted far to near stays sorted;
//   - grouped (additive blending): the particles are grouped by texture, keeping their order
//     within a group, one draw per texture used. Adding colours does not depend on the order
//     (each contribution to an 8-bit channel is rounded on its own, and the sum only
//     saturates), so the picture is the one the pool's order gives.
//
// Each particle is the square of half-side `size` in the plane through its position that
// faces the camera: with dir = the unit vector from the particle to the camera, right = up x
// dir and up' = dir x right, a corner (cx, cy) of the square, turned by the particle's
// rotation (degrees, counter-clockwise as seen by the camera), lies at position + right x cx'
// + up' x cy'. Texture coordinates (0, 0) at (-s, s), (1, 0) at (s, s), (1, 1) at (s, -s),
// (0, 1) at (-s, -s). Colour: the particle's, its alpha scaled by 1 - age / lifeTime when
// fading and the particle is mortal. A particle at the camera's position has no direction to
// face and is left out of that frame; so is one whose colour or any corner would not be a
// finite float (the pool drops such particles before, see OrvObjectParticles; this holds
// whatever the camera's vectors are), so OpenGL is never sent NaN or an infinity.
//
// Reserve is the only operation that allocates: the owner calls it (from Update) whenever its
// pool may grow; Draw never allocates and draws at most Capacity() particles. Draw needs a
// current context and the camera's modelview; it sets the vertex, colour and texture
// coordinate arrays (client memory, no buffer object, so there is nothing to release) and
// switches them off again, and enables, disables and binds GL_TEXTURE_2D on unit 0 as the
// runs need. Blending, depth writes and lighting are the owner's.

#include "scene/OrvParticle.h"

#include <cstddef>
#include <string>
#include <vector>

class OrvParticleBatch {
public:
    OrvParticleBatch();

    // What WriteSquare made of a particle.
    enum Corners { Written, AtCamera, NotFinite };
    // Works out the square of one particle as it is drawn: four corners (x, y, z) into
    // `position` (12 floats) and four colours (r, g, b, a) into `color` (16 floats). Written
    // means every one of them is a finite float; otherwise what was written is unspecified.
    // Needs no context.
    static Corners WriteSquare(const OrvParticle& particle, const OrvVector3& cameraPosition,
                               const OrvVector3& cameraUp, bool fadeAway, float* position,
                               float* color);

    // Room for `particles` particles drawn with up to `textures` textures; never shrinks.
    void Reserve(std::size_t particles, std::size_t textures);
    std::size_t Capacity() const { return capacity; }
    // How many draw calls the last Draw made.
    std::size_t DrawCalls() const { return drawCalls; }

    // Draws the particles, in order or grouped (see above); `textures` are the handles that
    // texture indices name (an index outside them draws untextured). Returns how many
    // particles were drawn.
    // `oneDraw`: the owner draws with no program of its own, so the one-draw program may be
    // used.
    std::size_t Draw(const std::vector<OrvParticle>& particles, const OrvVector3& cameraPosition,
                     const OrvVector3& cameraUp, bool fadeAway,
                     const std::vector<unsigned>& textures, bool inOrder, bool oneDraw = true);

    // The most textures one draw takes, and the program's source.
    static constexpr int MaxOneDrawTextures = 8;
    static const char* const OneDrawVertex;
    static std::string OneDrawFragment(int textures);
    // The program built from them (borrowed: its owner releases it; 0: none, draw in runs).
    // Needs a current context; sets the program's samplers to their units.
    void SetOneDrawProgram(unsigned handle);

private:
    // Writes the four corners of the particle into slot `slot`; false when it has no
    // direction to face or does not fit floats.
    bool WriteCorners(const OrvParticle& particle, const OrvVector3& cameraPosition,
                      const OrvVector3& cameraUp, bool fadeAway, std::size_t slot, float texture);
    std::size_t DrawInOneCall(const std::vector<OrvParticle>& particles, std::size_t count,
                              const OrvVector3& cameraPosition, const OrvVector3& cameraUp,
                              bool fadeAway, const std::vector<unsigned>& textures);
    void DrawRun(std::size_t first, std::size_t end);
    static void UseTexture(int texture, const std::vector<unsigned>& textures);
    std::size_t DrawInOrder(const std::vector<OrvParticle>& particles, std::size_t count,
                            const OrvVector3& cameraPosition, const OrvVector3& cameraUp,
                            bool fadeAway, const std::vector<unsigned>& textures);
    std::size_t DrawGrouped(const std::vector<OrvParticle>& particles, std::size_t count,
                            const OrvVector3& cameraPosition, const OrvVector3& cameraUp,
                            bool fadeAway, const std::vector<unsigned>& textures);

    std::size_t capacity;
    std::vector<float> positions; // x, y, z per corner, four corners per particle
    std::vector<float> colors;    // r, g, b, a per corner
    std::vector<float> texCoords; // s, t and the texture's number (-1: none) per corner
    unsigned oneDrawProgram;      // not owned; 0: none
    std::size_t drawCalls;
    int fogLocation;
    // Grouped drawing: per group (untextured, then one per texture) its first slot, then the
    // next slot to write.
    std::vector<std::size_t> groupStart;
    std::vector<std::size_t> groupNext;
};

#endif
