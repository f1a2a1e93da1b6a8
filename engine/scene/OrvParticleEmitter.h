#ifndef ORV_SCENE_ORVPARTICLEEMITTER_H
#define ORV_SCENE_ORVPARTICLEEMITTER_H

// One source of particles of a particle system, read from an "emitter {" block of the
// script and animatable like any parameter interface. Owned by value by OrvObjectParticles,
// which calls Init while loading, SetTextureCount after its own Init, and Earn, Emit and
// DropBudget on every update.
//
// Block keys (each line read is marked processed):
//   radius, lifeTime, dir.x, dir.y, dir.z, airResistance, color.r, color.g, color.b, color.a,
//   size, elasticity, rotation, rotationSpeed: none, one or two numbers. None sets both bounds
//     to 0, one sets both to it, two or more set the smaller and the larger of the first two.
//   pos: exactly three numbers, the spawn point; any other count raises OrvException
//     "Invalid number of arguments for pos (expected 3)".
//   Any other line raises "Invalid parameter: " followed by the line.
// Defaults: pos (0, 0, 0), radius 0..0, lifeTime 1..1, dir 0..0, airResistance 0..0, colour
// 1..1 on all four, size 0.1..0.1, elasticity, rotation and rotationSpeed 0..0.
//
// Parameters: 0 "emittingSpeed" (stored truncated toward zero; NaN as 0). Children, in order:
// "pos", "lifeTime", "dir.x", "dir.y", "dir.z", "airResistance", "color.r", "color.g",
// "color.b", "color.a", "size", "elasticity", "rotation", "rotationSpeed", "radius".
//
// Emitting speed: negative (the default, -1) refills the pool on every update; 0 stops the
// emitter; a positive speed is particles per second. Earn adds the whole particles that the
// speed has earned over the elapsed time to the budget and carries the fraction to the next
// update; Emit spends one; DropBudget forgets what a full pool left unspent, so an emitter
// does not store up a burst while there is no room.
//
// Emit draws from the generator it is given, in a fixed order (see Emit). It allocates
// nothing. Copyable: the blocks are members, so child pointers belong to the copy they were
// taken from.

#include "animation/OrvParameterInterface.h"
#include "animation/OrvRangeParameter.h"
#include "animation/OrvVector3Parameter.h"
#include "scene/OrvParticle.h"

#include <vector>

class OrvRandom;
class OrvScriptNode;

class OrvParticleEmitter : public OrvParameterInterface {
public:
    OrvParticleEmitter();

    // Reads the lines of the emitter's block over the current values.
    void Init(OrvScriptNode& node);

    // One new particle. The draws, in this order: with radius.max > 0 the radius, then three
    // raw values for the spread direction (x, y, z); dir.z, dir.y, dir.x; lifeTime,
    // airResistance, color.r, .g, .b, .a, size, elasticity, rotation, rotationSpeed; with
    // textures, the texture index (raw value modulo the count). Lowers the budget by one.
    OrvParticle Emit(OrvRandom& random);

    // The draw from a range: min + value / 32767 x (max(min, max) - min). When the bounds
    // are finite but so far apart that their difference overflows, the same point is worked
    // out as a weighted sum of the bounds, so the draw stays between them.
    static double Draw(const OrvRangeParameter& range, int value);

    // Adds what the emitting speed earns in `seconds` to the budget, at most up to `limit`.
    void Earn(double seconds, int limit);
    // True when the emitter creates a particle in an emission pass.
    bool WantsToEmit() const { return emittingSpeed < 0 || budget > 0; }
    // Forgets the unspent budget (also the negative count of a refilling emitter).
    void DropBudget() { budget = 0; }

    void SetTextureCount(int count) { textureCount = count; }
    int TextureCount() const { return textureCount; }
    double EmittingSpeed() const { return emittingSpeed; }
    int Budget() const { return budget; }

    void ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) override;

    OrvVector3Parameter pos;
    OrvRangeParameter radius;
    OrvRangeParameter lifeTime;
    OrvRangeParameter dirX;
    OrvRangeParameter dirY;
    OrvRangeParameter dirZ;
    OrvRangeParameter airResistance;
    OrvRangeParameter colorR;
    OrvRangeParameter colorG;
    OrvRangeParameter colorB;
    OrvRangeParameter colorA;
    OrvRangeParameter size;
    OrvRangeParameter elasticity;
    OrvRangeParameter rotation;
    OrvRangeParameter rotationSpeed;

protected:
    void DescribeParameters(OrvParameterTable& table) override;

private:
    // The range that a block key names, or null.
    OrvRangeParameter* RangeNamed(const OrvScriptNode& line);

    int textureCount;
    double emittingSpeed;
    int budget;
    double earned; // the fraction of a particle carried to the next update
};

#endif
