// Feeds arbitrary bytes to a particle system as the text of its block, loads it the way the
// engine loads its objects block, then plays a few frames with timeline values taken from the
// input. Besides the sanitizers' findings, it stops on any broken promise of the system:
//   - a particle whose position, velocity or rotation is not a finite number;
//   - emission that fills the pool past maxParticles + (emitters - 1) (a pool that was larger
//     before maxParticles was lowered only shrinks);
//   - a mortal particle that outlived its life time;
//   - any failure to load other than an OrvException;
//   - strictly, a particle in the pool that drawing would leave out for not being a number
//     (OrvParticleBatch::WriteSquare, from cameras with a unit up vector, fading or not), or
//     a corner or colour it writes that is not a finite float.
// Memory is bounded as OrvFuzzMemoryBound says.
//
// Input: the block's lines, optionally followed by a line "#values" and then timeline values,
// each record three bytes (or eleven):
//   [parameter] which of the system's parameters (modulo their count, in registration order)
//   [frame]     from which frame on the value holds (modulo the frame count)
//   [kind]      one of the values in SpecialValues, or (the last kind) the 8 bytes that follow
//               as a double
// The frames step fixed elapsed times, among them 0 and the largest a frame time can be.
//
// No OpenGL context exists here: lines of the system's own block that would load a shader or
// a texture are left out, and nothing is drawn.
//
//   cp -r fuzz/corpus/particle_block corpus-particles
//   build-fuzz/fuzz/fuzz_particle_block -max_total_time=600 -dict=fuzz/particle_block.dict \
//       corpus-particles

#include "OrvFuzzMemoryBound.h"

#include "animation/OrvParameterManager.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvException.h"
#include "base/OrvRandom.h"
#include "base/OrvRunContext.h"
#include "base/OrvVector3.h"
#include "scene/OrvObjectManager.h"
#include "scene/OrvObjectParticles.h"
#include "scene/OrvParticleBatch.h"
#include "scene/OrvSceneContext.h"
#include "script/OrvAsciiScriptLoader.h"
#include "script/OrvScriptNode.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>

namespace {

const char ValuesMarker[] = "\n#values\n";

// The elapsed milliseconds of the frames, in order: the first frame of a show, ordinary
// frames, a slow one, and the largest step a frame time can make.
const unsigned FrameTimes[] = {0, 16, 16, 1000, 16, 0xFFFFFFFFu, 16, 0, 33};
const int FrameCount = sizeof FrameTimes / sizeof FrameTimes[0];

// A big pool only makes each run slower, not different: the fuzzer holds it smaller.
const int PoolLimit = 3000;

const double SpecialValues[] = {std::numeric_limits<double>::quiet_NaN(),
                                std::numeric_limits<double>::infinity(),
                                -std::numeric_limits<double>::infinity(), DBL_MAX, -DBL_MAX, 1e300,
                                -1e300, 1e154, DBL_MIN, 4.9e-324, -0.0, 0, 1, -1, 0.5, 10, -10,
                                1000, 1e6, -1e6, 2147483648.0, -2147483649.0, 9.3e18, -9.3e18,
                                // Doubles that overflow a float, and floats near its largest.
                                1e39, -1e39, 3e38, 1e300, 1e-320};
const int SpecialCount = sizeof SpecialValues / sizeof SpecialValues[0];

void Broken(const char* what) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

bool Finite(const OrvVector3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The lines of the system's own block, without those that need OpenGL (a shader or textures
// with names); the nested blocks come along whole.
void CopyWithoutOpenGl(const OrvScriptNode& from, OrvScriptNode& to) {
    for (const OrvScriptNode* line : from.Children()) {
        bool needsGl =
            (line->IdEquals("shader") || line->IdEquals("textures")) && !line->ArgsRef().empty();
        if (!needsGl)
            to.AddChild(*line);
    }
}

// What drawing would send for the particle, from a few cameras.
void CheckSquare(const OrvParticle& p) {
    const OrvVector3 cameras[] = {OrvVector3(0, 0, 0), OrvVector3(0, 2, 20),
                                  OrvVector3(1e6, -1e6, 3)};
    const OrvVector3 ups[] = {OrvVector3(0, 1, 0), OrvVector3(0.6, 0.8, 0)};
    float corners[12];
    float colors[16];
    for (const OrvVector3& camera : cameras) {
        for (const OrvVector3& up : ups) {
            for (bool fade : {false, true}) {
                OrvParticleBatch::Corners result =
                    OrvParticleBatch::WriteSquare(p, camera, up, fade, corners, colors);
                if (result == OrvParticleBatch::NotFinite)
                    Broken("a particle in the pool cannot be drawn in floats");
                if (result != OrvParticleBatch::Written)
                    continue;
                for (float value : corners)
                    if (!std::isfinite(value))
                        Broken("a corner drawn is not a finite number");
                for (float value : colors)
                    if (!std::isfinite(value))
                        Broken("a colour drawn is not a finite number");
            }
        }
    }
}

void CheckPool(OrvObjectParticles& fx, std::size_t sizeBefore) {
    const std::vector<OrvParticle>& particles = fx.Particles();
    const std::size_t largest = static_cast<std::size_t>(fx.MaxParticles()) +
                                static_cast<std::size_t>(fx.EmitterCount()) - 1;
    if (particles.size() > largest && particles.size() > sizeBefore)
        Broken("emission filled the pool past maxParticles + (emitters - 1)");
    const OrvVector3 cameras[] = {OrvVector3(0, 0, 0), OrvVector3(0, 2, 20),
                                  OrvVector3(1e300, -1e300, 3)};
    for (const OrvParticle& p : particles) {
        if (!Finite(p.position))
            Broken("a particle's position is not finite");
        if (!Finite(p.velocity))
            Broken("a particle's velocity is not finite");
        if (!std::isfinite(p.rotation))
            Broken("a particle's rotation is not finite");
        if (p.lifeTime > 0 && !(p.age < p.lifeTime))
            Broken("a particle outlived its life time");
        // What sorted drawing works out for every particle.
        for (const OrvVector3& camera : cameras)
            if (OrvObjectParticles::SortKey(camera, p.position) < 0)
                Broken("a negative sort key");
        CheckSquare(p);
    }
}

// One timeline value from the record at `data` (size bytes left); the bytes it used.
std::size_t ReadValue(const std::uint8_t* data, std::size_t size, double& value) {
    const int kind = data[0] % (SpecialCount + 1);
    if (kind < SpecialCount) {
        value = SpecialValues[kind];
        return 1;
    }
    if (size < 9) {
        value = 0;
        return size;
    }
    std::memcpy(&value, data + 1, sizeof value);
    return 9;
}

// Holds from the value records, on the records from `first` on (the system's own).
void AddHolds(const std::uint8_t* data, std::size_t size, OrvParameterManager& parameters,
              int first) {
    const int count = parameters.ParameterCount() - first;
    if (count <= 0)
        return;
    std::size_t at = 0;
    while (size - at >= 3) {
        const int record = first + data[at] % count;
        const unsigned frame = data[at + 1] % FrameCount;
        double value = 0;
        at += 2;
        at += ReadValue(data + at, size - at, value);
        // A hold where there is one already is refused and logged; that is fine.
        parameters.AddParameterHold(parameters.FullName(record), frame * 1000, value);
    }
}

void Play(const std::uint8_t* values, std::size_t valuesSize, OrvObjectParticles& fx,
          OrvParameterManager& parameters, int firstRecord) {
    OrvRandom random;
    fx.UseRandom(random);
    AddHolds(values, valuesSize, parameters, firstRecord);
    parameters.RememberLoadedValues();
    for (int frame = 0; frame < FrameCount; ++frame) {
        parameters.UpdateParameters(static_cast<unsigned>(frame) * 1000);
        if (fx.MaxParticles() > PoolLimit)
            fx.UpdateParameter(0, PoolLimit);
        const std::size_t sizeBefore = fx.Particles().size();
        fx.Update(FrameTimes[frame]);
        CheckPool(fx, sizeBefore);
    }
    // Reading every parameter back is what the engine does after loading.
    double value = 0;
    for (int record = firstRecord; record < parameters.ParameterCount(); ++record)
        parameters.ReadValue(record, value);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    OrvFuzzMemoryBound::AddMemoryBound(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    std::size_t textSize = size;
    const std::uint8_t* values = nullptr;
    std::size_t valuesSize = 0;
    const std::size_t markerSize = sizeof ValuesMarker - 1;
    for (std::size_t i = 0; i + markerSize <= size; ++i) {
        if (std::memcmp(data + i, ValuesMarker, markerSize) == 0) {
            textSize = i;
            values = data + i + markerSize;
            valuesSize = size - i - markerSize;
            break;
        }
    }

    // Each input reports into diagnostics of its own, so nothing piles up over a long run.
    OrvDiagnostics diagnostics;
    OrvRunContext run("./", diagnostics);
    OrvSceneContext scene(run, diagnostics);
    OrvAsciiScriptLoader loader(diagnostics);
    std::istringstream in("objects {\nfx: particles {\n" + std::string(text, textSize) +
                          "\n}\n}\n");
    loader.Parse(in);
    const OrvScriptNode* block = loader.Root()["objects"];
    const OrvScriptNode* parsed = block ? (*block)[0] : nullptr;
    if (!parsed || !parsed->IdEquals("fx"))
        Broken("the object's own first line was not read as the object");
    OrvScriptNode node(parsed->Id(), parsed->Args());
    CopyWithoutOpenGl(*parsed, node);

    OrvParameterManager parameters(diagnostics, run.Random());
    OrvObjectManager objects(scene);
    OrvObjectParticles* fx = nullptr;
    try {
        fx = dynamic_cast<OrvObjectParticles*>(objects.LoadObject(node, parameters));
    } catch (const OrvException&) {
        // The expected failure: a message for the script's author.
    }
    if (fx)
        Play(values, valuesSize, *fx, parameters, 0);
    return 0;
}
