#include "scene/OrvObjectParticles.h"

#include "scene/OrvCameraEye.h"
#include "scene/OrvDrawPass.h"

#include "animation/OrvParameterInterfaceChild.h"
#include "animation/OrvParameterTable.h"
#include "base/OrvException.h"
#include "base/OrvRandom.h"
#include "gfx/OrvGlState.h"
#include "gfx/OrvShaderManager.h"
#include "gfx/OrvTextureManager.h"
#include "scene/OrvSceneContext.h"
#include "script/OrvScriptNode.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

const double BoxLimit = 100000;

// A velocity component below this after bouncing off a wall lets the particle rest.
const double RestingSpeed = 0.1;
const double RestingDamping = 0.8;

// Mirrors one coordinate back into min..max; after a mirror the velocity component turns
// round, scaled by the elasticity. True when the particle then counts as resting.
bool Bounce(double& coordinate, double& velocity, double minimum, double maximum,
            double elasticity) {
    if (coordinate < minimum)
        coordinate += 2 * std::fabs(coordinate - minimum);
    else if (coordinate > maximum)
        coordinate -= 2 * std::fabs(coordinate - maximum);
    else
        return false;
    velocity = -(elasticity * velocity);
    return std::fabs(velocity) < RestingSpeed;
}

// True when every corner of a square of half-side `size` about this coordinate is a float:
// the square's corners lie less than 3 x size from its centre along any axis (for a camera up
// vector of unit length; OrvParticleBatch checks what it writes whatever the camera).
bool CornersFitFloat(double coordinate, float size) {
    return std::fabs(coordinate) + 3.0 * std::fabs(double(size)) <= double(FLT_MAX);
}

// True while the particle can be moved and drawn. Values from the script or the timeline may
// be anything (NaN, infinities, 1e308), and finite ones may still overflow as they are
// integrated; drawing takes positions, corners, sizes and colours as floats, so a double
// that fits no float (a position of 1e300, a size of 1e39 that became infinite) is no more
// drawable than NaN.
bool Finite(const OrvParticle& p) {
    return std::isfinite(p.position.x) && std::isfinite(p.position.y) &&
           std::isfinite(p.position.z) && std::isfinite(p.velocity.x) &&
           std::isfinite(p.velocity.y) && std::isfinite(p.velocity.z) &&
           std::isfinite(p.rotation) && std::isfinite(p.r) && std::isfinite(p.g) &&
           std::isfinite(p.b) && std::isfinite(p.a) && CornersFitFloat(p.position.x, p.size) &&
           CornersFitFloat(p.position.y, p.size) && CornersFitFloat(p.position.z, p.size);
}

// One axis of a sort key, held so that three squares sum within 64 bits.
int64_t SortComponent(double camera, double particle) {
    const double limit = 1.7e9;
    double difference = std::trunc(std::trunc(camera * 10000) - particle * 10000);
    if (!(difference == difference))
        return 0;
    difference = difference > limit ? limit : (difference < -limit ? -limit : difference);
    return static_cast<int64_t>(difference);
}

} // namespace

OrvObjectParticles::OrvObjectParticles(OrvSceneContext& scene)
    : OrvObject(scene), random(&scene.Random()), drawn(0) {
    Reset();
}

OrvObjectParticles::~OrvObjectParticles() {}

void OrvObjectParticles::Reset() {
    fadeAway = false;
    maxParticles = 1000;
    shaderIndex = -1;
    boxMinimum.Set(-BoxLimit, -BoxLimit, -BoxLimit);
    boxMaximum.Set(BoxLimit, BoxLimit, BoxLimit);
    drawingMode = 0;
}

void OrvObjectParticles::DescribeParameters(OrvParameterTable& table) {
    table.Integer("maxParticles", maxParticles, 1, MaxParticleLimit);
    table.Switch("fadeAway", fadeAway);
    if (table.Custom("drawingMode", drawingMode))
        drawingMode = table.Value() != 0.0 ? 1 : 0;
}

void OrvObjectParticles::ChildParameterInterfaces(
    std::vector<OrvParameterInterfaceChild>& children) {
    children.push_back(OrvParameterInterfaceChild("gravity", &gravity));
    char name[40];
    for (std::size_t i = 0; i < emitters.size(); ++i) {
        std::snprintf(name, sizeof name, "emitter[%i]", static_cast<int>(i));
        children.push_back(OrvParameterInterfaceChild(name, &emitters[i]));
    }
    for (std::size_t i = 0; i < shaders.size(); ++i) {
        std::snprintf(name, sizeof name, "shaders[%d]", static_cast<int>(i));
        children.push_back(OrvParameterInterfaceChild(name, &shaders[i]));
    }
}

void OrvObjectParticles::ReadBox(const OrvScriptNode& line) {
    const std::vector<std::string>& args = line.ArgsRef();
    if (args.size() != 6)
        throw OrvException(
            "Invalid number of arguments for box (expected 6: x1, y1, z1, x2, y2, z2)");
    double v[6];
    for (int i = 0; i < 6; ++i)
        v[i] = std::atof(args[i].c_str());
    boxMinimum.Set(std::min(v[0], v[3]), std::min(v[1], v[4]), std::min(v[2], v[5]));
    boxMaximum.Set(std::max(v[0], v[3]), std::max(v[1], v[4]), std::max(v[2], v[5]));
}

void OrvObjectParticles::Init(OrvScriptNode& node) {
    Reset();
    particles.clear();
    emitters.clear();
    attractors.clear();
    textures.clear();
    shaders.clear();

    for (OrvScriptNode* line : node.Children()) {
        const std::vector<std::string>& args = line->ArgsRef();
        if (line->IdEquals("shader") && !args.empty()) {
            std::deque<std::string> names = line->Args();
            shaders.push_back(Scene().Shaders().LoadShaderProgram(names, OrvShaderManager::Auto));
            shaderIndex = 0;
        } else if (line->IdEquals("textures") && !args.empty()) {
            OrvTextureManager* manager = &Scene().Textures();
            for (const std::string& name : args)
                textures.push_back(manager->Texture(name).handle);
        } else if (line->IdEquals("emitter")) {
            emitters.emplace_back();
            emitters.back().Init(*line);
        } else if (line->IdEquals("box")) {
            ReadBox(*line);
        } else if (line->IdEquals("attractor")) {
            attractors.emplace_back();
            attractors.back().Init(*line);
        } else {
            continue; // an initial value, or a line nobody knows: the object manager decides
        }
        line->SetProcessed();
    }
    if (emitters.empty())
        throw OrvException("No emitters set");
    for (OrvParticleEmitter& emitter : emitters)
        emitter.SetTextureCount(static_cast<int>(textures.size()));
    // Sorted particles of several textures draw in one call through a program of the
    // engine's own; where it cannot be built they draw in runs, the same picture more slowly.
    batch.SetOneDrawProgram(0);
    if (textures.size() > 1 &&
        textures.size() <= static_cast<std::size_t>(OrvParticleBatch::MaxOneDrawTextures)) {
        try {
            batch.SetOneDrawProgram(Scene()
                                        .Shaders()
                                        .BuildProgram("particles", OrvParticleBatch::OneDrawVertex,
                                                      OrvParticleBatch::OneDrawFragment(
                                                          static_cast<int>(textures.size())))
                                        .Handle());
        } catch (const OrvException&) {
        }
    }
}

void OrvObjectParticles::Update(unsigned elapsedMs) {
    const double dt = elapsedMs * 0.001;
    MoveParticles(dt);
    EmitParticles(dt);
}

void OrvObjectParticles::MoveParticles(double dt) {
    const OrvVector3 fall = gravity.vector * dt;
    std::size_t kept = 0;
    const std::size_t count = particles.size();
    for (std::size_t i = 0; i < count; ++i) {
        OrvParticle& p = particles[i];
        if (p.lifeTime > 0) {
            p.age += dt;
            if (!(p.age < p.lifeTime))
                continue; // expired: not kept
        }
        for (const OrvParticleAttractor& attractor : attractors) {
            // The pull is one over the distance, towards the attractor, scaled by its gravity
            // (10 gives exactly that); worked in float, once per update whatever dt.
            float dx = static_cast<float>(p.position.x - attractor.position.x);
            float dy = static_cast<float>(p.position.y - attractor.position.y);
            float dz = static_cast<float>(p.position.z - attractor.position.z);
            float squared = dx * dx + dy * dy + dz * dz;
            float s = (1.0f / squared) * (attractor.gravity / 10.0f);
            float px = dx * s;
            float py = dy * s;
            float pz = dz * s;
            // On the attractor (or so near that the pull overflows) there is no direction to
            // pull in: that pull is skipped rather than making the velocity NaN.
            if (!(std::isfinite(px) && std::isfinite(py) && std::isfinite(pz)))
                continue;
            p.velocity.x -= px;
            p.velocity.y -= py;
            p.velocity.z -= pz;
        }
        p.position += p.velocity * dt;
        p.velocity += fall;
        if (p.airResistance > 0)
            p.velocity *= 1 - p.airResistance;
        p.rotation += p.rotationSpeed * dt;

        bool resting = Bounce(p.position.y, p.velocity.y, boxMinimum.y, boxMaximum.y, p.elasticity);
        resting |= Bounce(p.position.x, p.velocity.x, boxMinimum.x, boxMaximum.x, p.elasticity);
        resting |= Bounce(p.position.z, p.velocity.z, boxMinimum.z, boxMaximum.z, p.elasticity);
        if (resting)
            p.velocity *= RestingDamping;
        if (!Finite(p))
            continue; // left the range of numbers: removed like an expired one

        if (kept != i)
            particles[kept] = p;
        ++kept;
    }
    particles.resize(kept); // shrinking: no allocation
}

void OrvObjectParticles::Reserve() {
    std::size_t largest =
        static_cast<std::size_t>(maxParticles) + emitters.size() - (emitters.empty() ? 0 : 1);
    if (largest < particles.size())
        largest = particles.size();
    if (particles.capacity() < largest)
        particles.reserve(largest);
    batch.Reserve(largest, textures.size());
}

void OrvObjectParticles::EmitParticles(double dt) {
    for (OrvParticleEmitter& emitter : emitters)
        emitter.Earn(dt, maxParticles);
    Reserve();
    const long long room =
        static_cast<long long>(maxParticles) - static_cast<long long>(particles.size());
    long long created = 0;
    while (created < room) {
        int pass = 0;
        for (OrvParticleEmitter& emitter : emitters) {
            if (!emitter.WantsToEmit())
                continue;
            // A particle made from values outside the range of numbers is dropped at once.
            // It adds nothing to the pass, so emitters that only make such particles end the
            // passes, while the others still fill the pool.
            const OrvParticle particle = emitter.Emit(*random);
            if (!Finite(particle))
                continue;
            particles.push_back(particle);
            ++pass;
        }
        if (pass == 0)
            break;
        created += pass;
    }
    for (OrvParticleEmitter& emitter : emitters)
        emitter.DropBudget();
}

int64_t OrvObjectParticles::SortKey(const OrvVector3& camera, const OrvVector3& position) {
    int64_t x = SortComponent(camera.x, position.x);
    int64_t y = SortComponent(camera.y, position.y);
    int64_t z = SortComponent(camera.z, position.z);
    return x * x + y * y + z * z;
}

void OrvObjectParticles::SortByDistance(const OrvVector3& camera) {
    for (std::size_t i = 0; i < particles.size(); ++i) {
        particles[i].sortKey = SortKey(camera, particles[i].position);
        particles[i].sortIndex = static_cast<int>(i);
    }
    // Farthest first; equal keys keep their order, so every library sorts alike.
    std::sort(particles.begin(), particles.end(), [](const OrvParticle& a, const OrvParticle& b) {
        if (a.sortKey != b.sortKey)
            return a.sortKey > b.sortKey;
        return a.sortIndex < b.sortIndex;
    });
}

void OrvObjectParticles::Draw(OrvDrawPass& pass) {
    glDisable(GL_LIGHTING);
    if (drawingMode == 1) {
        OrvGlState::SetBlend(OrvGlState::BlendAlpha);
        glDepthMask(GL_TRUE);
    } else {
        OrvGlState::SetBlend(OrvGlState::BlendAdd);
        glDepthMask(GL_FALSE);
    }

    const OrvVector3& cameraPosition = pass.eye.position;
    const OrvVector3& cameraUp = pass.eye.up;

    if (drawingMode == 1)
        SortByDistance(cameraPosition);

    if (shaderIndex >= 0) {
        shaders[shaderIndex].UpdateUniforms();
        shaders[shaderIndex].Use();
    }
    drawn = batch.Draw(particles, cameraPosition, cameraUp, fadeAway, textures, drawingMode == 1,
                       shaderIndex < 0);
    if (shaderIndex >= 0)
        OrvShaderProgram::UnUse();
}
