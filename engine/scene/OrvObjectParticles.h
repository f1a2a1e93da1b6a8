#ifndef ORV_SCENE_ORVOBJECTPARTICLES_H
#define ORV_SCENE_ORVOBJECTPARTICLES_H

// The scene object of class word "particles": a pool of camera-facing, optionally textured
// squares that emitters spawn with random properties, moved by their velocity, gravity, air
// resistance, point attractors and the walls of a box, and faded as they age.
//
// Script: "name: particles {" and a block. Keys (each line read is marked processed):
//   shader: NAME ...      one program (at least one name), appended; the first is drawn with
//   textures: NAME ...    texture files (at least one name), appended in order
//   emitter {             an OrvParticleEmitter read from its block (words after it ignored)
//   attractor {           an OrvParticleAttractor read from its block
//   box: x1 y1 z1 x2 y2 z2   the walls; any other count of numbers raises "Invalid number of
//                         arguments for box (expected 6: x1, y1, z1, x2, y2, z2)"
// Other lines are left to the object manager (initial values such as "maxParticles: 500" or
// "emitter[0].emittingSpeed: 20"). A block without an emitter raises "No emitters set".
// Texture and shader errors pass through.
//
// Parameters: 0 "maxParticles" (truncated toward zero, limited to 1..MaxParticleLimit),
// 1 "fadeAway" (on for any value but 0), 2 "drawingMode" (1 for any value but 0: sorted,
// alpha-blended, depth writes on; 0: unsorted, additive, depth writes off). Children:
// "gravity" (a vector, units per second squared), "emitter[0]", "emitter[1]", ... in script
// order, then "shaders[0]", "shaders[1]", ... whose uniforms appear under them.
//
// Update(elapsedMs), with dt = elapsedMs / 1000 seconds: every particle in pool order ages
// (and is removed once its age reaches a positive life time), is pulled by each attractor,
// moves by velocity x dt, gains gravity x dt, loses its air resistance's share of velocity,
// turns by rotationSpeed x dt and is mirrored back at the walls of the box (axes y, x, z; the
// velocity component becomes -elasticity times itself; below 0.1 the particle rests and its
// velocity is scaled by 0.8). Then the emitters earn their budgets and fill the free room of
// the pool in passes: each pass lets every emitter that wants to emit create one particle, so
// the pool can end up to (emitters - 1) above maxParticles. New particles do not move in the
// update that creates them. Script and timeline values may be anything (NaN, infinities,
// 1e308) and finite ones may overflow as they are integrated: a particle whose position,
// velocity or rotation is then not a finite number, whose colour or size is not a finite
// float, or whose square's corners would not fit a float (a position of 1e300, a size of
// 1e39), is removed after its move like an expired one, and a new one made so is dropped (a
// pass that adds no particle ends the emission), so every particle in the pool can be moved,
// sorted and drawn. Update runs whether or not the
// object is enabled; state depends on the sequence of elapsed times, not on the show's
// position alone.
//
// Random numbers come from the run's generator (through the scene); UseRandom gives the system
// another one (tests).
//
// Draw faces every particle to the camera last drawn (the scene's active camera)
// and draws through OrvParticleBatch with lighting off and blending on. In drawingMode 1 it
// first sorts the pool by SortKey, farthest first (equal keys keep their order), and draws in
// that order; in mode 0 the additive picture does not depend on the order. A particle at the
// camera's position is left out of that frame. It uses the first shader program, if any,
// sending its uniforms first, and leaves program 0 current. Render lines restore the
// attributes it changes (Flags() is 0). Cannot be duplicated.
//
// Allocation: Update grows the pool and the batch's arrays when maxParticles (or the emitter
// count) asks for more room than they have; after that Update and Draw allocate nothing.
// The pool is kept in a vector (removal compacts it in order; sorting reorders it in place).
// Ownership: texture handles belong to the texture manager, programs to this object; the
// emitters, the gravity block and the programs never change after Init, so the child
// pointers stay valid while the object lives. Vertex arrays are client memory: no OpenGL
// object is created.

#include "animation/OrvVector3Parameter.h"
#include "gfx/OrvShaderProgram.h"
#include "scene/OrvObject.h"
#include "scene/OrvParticle.h"
#include "scene/OrvParticleAttractor.h"
#include "scene/OrvParticleBatch.h"
#include "scene/OrvParticleEmitter.h"

#include <deque>
#include <string>
#include <vector>

class OrvRandom;

class OrvSceneContext;

class OrvObjectParticles : public OrvObject {
public:
    // The largest pool a script can ask for.
    static const int MaxParticleLimit = 1000000;

    explicit OrvObjectParticles(OrvSceneContext& scene);
    ~OrvObjectParticles() override;
    OrvObjectParticles(const OrvObjectParticles&) = delete;
    OrvObjectParticles& operator=(const OrvObjectParticles&) = delete;

    void ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) override;

    void Init(OrvScriptNode& node) override;
    std::vector<std::string> KeyWords() const override {
        return {"emitter", "attractor", "box", "textures", "shader"};
    }
    void Update(unsigned elapsedMs) override;
    void Draw(OrvDrawPass& pass) override;

    // The generator emission draws from from now on; it must outlive the object.
    void UseRandom(OrvRandom& generator) { random = &generator; }

    // The sort key of a particle seen from `camera`: the sum of the squares of
    // trunc(trunc(camera x 10000) - particle x 10000) over the three axes. Components past
    // +-1.7e9 (units of 1/10000) are held there, NaN counts as 0, so the sum fits.
    static int64_t SortKey(const OrvVector3& camera, const OrvVector3& position);

    // Inspection.
    int MaxParticles() const { return maxParticles; }
    bool FadeAway() const { return fadeAway; }
    int DrawingMode() const { return drawingMode; }
    const std::vector<OrvParticle>& Particles() const { return particles; }
    int EmitterCount() const { return static_cast<int>(emitters.size()); }
    // The caller keeps 0 <= index < EmitterCount().
    OrvParticleEmitter& Emitter(int index) { return emitters[index]; }
    int AttractorCount() const { return static_cast<int>(attractors.size()); }
    const OrvParticleAttractor& Attractor(int index) const { return attractors[index]; }
    OrvVector3Parameter& Gravity() { return gravity; }
    const OrvVector3& BoxMinimum() const { return boxMinimum; }
    const OrvVector3& BoxMaximum() const { return boxMaximum; }
    int TextureCount() const { return static_cast<int>(textures.size()); }
    unsigned TextureHandle(int index) const { return textures[index]; }
    int ShaderCount() const { return static_cast<int>(shaders.size()); }
    OrvShaderProgram& Shader(int index) { return shaders[index]; }
    int ShaderIndex() const { return shaderIndex; }
    // How many particles the last Draw drew.
    std::size_t DrawnCount() const { return drawn; }
    // How many draw calls the last Draw made.
    std::size_t DrawCallCount() const { return batch.DrawCalls(); }

protected:
    void DescribeParameters(OrvParameterTable& table) override;

private:
    void Reset();
    void ReadBox(const OrvScriptNode& line);
    // Step 1 of an update: ages, moves and removes.
    void MoveParticles(double dt);
    // Step 2: fills the free room from the emitters.
    void EmitParticles(double dt);
    // Makes room for the largest pool the next emission can build.
    void Reserve();
    void SortByDistance(const OrvVector3& camera);

    int maxParticles;
    std::vector<OrvParticle> particles;
    std::vector<OrvParticleEmitter> emitters;
    std::vector<OrvParticleAttractor> attractors;
    OrvVector3Parameter gravity;
    std::vector<unsigned> textures;
    std::deque<OrvShaderProgram> shaders; // a deque: adding never moves the earlier programs
    int shaderIndex;
    bool fadeAway;
    int drawingMode;
    OrvVector3 boxMinimum;
    OrvVector3 boxMaximum;

    OrvRandom* random;
    OrvParticleBatch batch;
    std::size_t drawn;
};

#endif
