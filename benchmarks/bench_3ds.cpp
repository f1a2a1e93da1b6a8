// A 3DS model of 100,000 triangles (a finely divided torus in two meshes of 50,000, since a
// 3DS mesh holds at most 65535 faces), written with lib3ds's own writer:
// - BM_3dsLoad: loading it as an object ("torus: 3ds torus.3ds" through the object manager:
//   the file read and checked, normals, the upload into vertex buffers), in milliseconds;
// - BM_3dsDraw: drawing it through a camera, lit by an environment, side by side with the same
//   triangles drawn by a short hand-written OpenGL loop from the same vertex buffers
//   (Orv3dsMesh::Buffers) with the same state (lighting, material, client arrays,
//   glDrawArrays). Whole frames (the engine's render line with its camera and environment
//   against a hand-made clear, lens, view and light) and the model's draw alone are compared
//   frame by frame, taking turns, so both see the same machine; times are medians, and each
//   "ratio" is the median of engine / hand over the pairs. The engine's frames and draws must
//   make no heap allocations.
// Runs on a real OpenGL window, so it needs an X display (under Xvfb:
// xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" build/benchmarks/bench_3ds).

#include "animation/OrvParameterManager.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvRunContext.h"
#include "scene/Orv3dsMesh.h"
#include "scene/OrvCameraEye.h"
#include "scene/OrvDrawPass.h"
#include "scene/OrvObject3ds.h"
#include "scene/OrvObjectManager.h"
#include "scene/OrvRenderLineManager.h"
#include "scene/OrvSceneContext.h"
#include "script/OrvAsciiScriptLoader.h"
#include "script/OrvScriptNode.h"
#include "support/Orv3dsTestModel.h"
#include "support/OrvAllocationCounter.h"

#include "OrvBenchWindow.h"
#include "platform/OrvGlWindow.h"

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

// After epoxy, which stands in for GL/gl.h.
#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

const int Size = 512;
const int Around = 250; // segments along the ring: two meshes of 125
const int Across = 200; // segments around the tube: 250 x 200 x 2 = 100,000 triangles

const char* const Script = "objects {\n"
                           "    cam: camera {\n"
                           "        pos.y: 2\n"
                           "        pos.z: 6\n"
                           "        near: 1\n"
                           "        far: 20\n"
                           "    }\n"
                           "    env: enviroment {\n"
                           "        lighting: 1\n"
                           "        light[0].enable: 1\n"
                           "        light[0].pos.w: 0\n"
                           "        light[0].position.y: 1\n"
                           "    }\n"
                           "    torus: 3ds torus.3ds\n"
                           "}\n"
                           "renderLines {\n"
                           "    screen {\n"
                           "    }\n"
                           "}\n";

// One half of a torus around the z axis (ring radius 2, tube 0.6): ring segments `first` to
// `first + count`, with the shared points of a smooth surface.
Orv3dsTestMesh TorusPart(const std::string& name, int first, int count) {
    Orv3dsTestMesh mesh;
    mesh.name = name;
    const double pi = std::acos(-1.0);
    for (int i = first; i <= first + count; ++i) {
        double a = 2 * pi * i / Around;
        for (int j = 0; j < Across; ++j) {
            double b = 2 * pi * j / Across;
            double r = 2 + 0.6 * std::cos(b);
            mesh.positions.push_back(static_cast<float>(r * std::cos(a)));
            mesh.positions.push_back(static_cast<float>(r * std::sin(a)));
            mesh.positions.push_back(static_cast<float>(0.6 * std::sin(b)));
        }
    }
    for (int i = 0; i < count; ++i) {
        for (int j = 0; j < Across; ++j) {
            int p = i * Across + j, q = i * Across + (j + 1) % Across;
            mesh.corners.insert(mesh.corners.end(), {p, p + Across, q + Across, p, q + Across, q});
        }
    }
    mesh.faceMaterials.assign(mesh.corners.size() / 3, "Gold");
    mesh.smoothing.assign(mesh.corners.size() / 3, 1);
    return mesh;
}

Orv3dsTestModel Torus() {
    Orv3dsTestModel model;
    Orv3dsTestMaterial gold;
    gold.name = "Gold";
    gold.ambient[0] = 0.3f, gold.ambient[1] = 0.2f, gold.ambient[2] = 0.05f;
    gold.diffuse[0] = 0.9f, gold.diffuse[1] = 0.62f, gold.diffuse[2] = 0.18f;
    gold.specular[0] = gold.specular[1] = gold.specular[2] = 0.5f;
    gold.shininess = 0.3f;
    model.materials.push_back(gold);
    model.meshes.push_back(TorusPart("Near", 0, Around / 2));
    model.meshes.push_back(TorusPart("Far", Around / 2, Around / 2));
    return model;
}

double Milliseconds(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from)
        .count();
}

// A temporary show folder with bin/ and data/; "" when it could not be made.
std::string MakeShowFolder() {
    char folder[] = "/tmp/orv-bench-3ds-XXXXXX";
    if (!mkdtemp(folder))
        return std::string();
    std::string root = folder;
    std::system(("mkdir -p '" + root + "/bin' '" + root + "/data'").c_str());
    return root;
}

struct Show {
    bool open = false;
    std::string error;
    int triangles = 0;
    std::string root = MakeShowFolder(); // kept for the loads of BM_3dsLoad
    OrvDiagnostics diagnostics;
    OrvRunContext run{root + "/data/", diagnostics};
    OrvSceneContext scene{run, diagnostics};
    OrvAsciiScriptLoader loader{diagnostics};
    OrvObjectManager objects{scene};
    OrvParameterManager parameters{diagnostics, run.Random()};
    OrvRenderLineManager lines{scene};
    OrvObject* camera = nullptr;
    OrvObject* environment = nullptr;
    OrvObject3ds* model = nullptr;
    OrvScriptNode* modelNode = nullptr;

    ~Show() {
        if (!root.empty())
            std::system(("rm -rf '" + root + "'").c_str());
    }

    Show() {
        static OrvGlWindow window;
        if (!OrvBenchWindow::Open(window, Size, Size)) {
            error = "no OpenGL window";
            return;
        }
        // What the engine's window starts every show with.
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        OrvDisplayFacts& display = run.Display();
        display.surfaceWidth = display.displayWidth = Size;
        display.surfaceHeight = display.displayHeight = Size;
        display.aspectRatio = 1;

        if (root.empty()) {
            error = "could not make the show folder";
            return;
        }
        std::string bytes = Torus().Bytes();
        std::ofstream(root + "/data/torus.3ds", std::ios::binary) << bytes;
        if (bytes.empty()) {
            error = "could not write the data folder";
            return;
        }
        try {
            std::istringstream in(Script);
            loader.Parse(in);
            for (OrvScriptNode* node : loader.Root()["objects"]->Children())
                objects.LoadObject(*node, parameters);
            modelNode = loader.Root()["objects"]->Children().back();
            parameters.AddInterface("objects", objects);
            lines.Init(objects);
            std::vector<OrvScriptNode*> lineNodes = loader.Root()["renderLines"]->Children();
            lines.LoadRenderLines(lineNodes, parameters);
        } catch (const std::exception& failure) {
            error = failure.what();
            return;
        }
        camera = objects.Object("cam");
        environment = objects.Object("env");
        model = dynamic_cast<OrvObject3ds*>(objects.Object("torus"));
        for (int i = 0; i < model->Model().MeshCount(); ++i)
            triangles += model->Model().Mesh(i)->VertexCount() / 3;

        const unsigned minute = 60000;
        for (int i = 0; i < objects.ObjectCount(); ++i)
            parameters.AddParameterHold("objects." + objects.ObjectName(i), 0, 1);
        parameters.AddLinearParameterFade("torus.rot.x", 0, minute, 0, 3600);
        parameters.AddLinearParameterFade("torus.rot.y", 0, minute, 0, 1800);
        parameters.AddLinearParameterFade("torus.materials[0].diffuse.g", 0, minute, 0.2, 0.9);
        parameters.AddLinearParameterFade("env.light[0].position.x", 0, minute, -1, 1);
        open = true;
    }

    // What the render line does before its objects, for the hand-written frame.
    void HandFrameStart() const {
        glViewport(0, 0, Size, Size);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45, 1, 1, 20);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        gluLookAt(0, 2, 6, 0, 0, 0, 0, 1, 0);
        const GLfloat sun[4] = {0, 1, 0, 0}, white[4] = {1, 1, 1, 1};
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glLightfv(GL_LIGHT0, GL_POSITION, sun);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
        glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    }

    // The model's triangles with the state its meshes set: lighting, material, the arrays
    // from the meshes' own buffers, the model's turn, glDrawArrays.
    void HandDraw(double turnX, double turnY) const {
        const GLfloat ambient[4] = {0.3f, 0.2f, 0.05f, 1}, diffuse[4] = {0.9f, 0.62f, 0.18f, 1};
        const GLfloat specular[4] = {0.5f, 0.5f, 0.5f, 1};
        glPushMatrix();
        glRotated(turnX, 1, 0, 0);
        glRotated(turnY, 0, 1, 0);
        glEnable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
        glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
        glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
        glMaterialf(GL_FRONT, GL_SHININESS, 0.3f);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        for (int i = 0; i < model->Model().MeshCount(); ++i) {
            const Orv3dsMesh& mesh = *model->Model().Mesh(i);
            glBindBuffer(GL_ARRAY_BUFFER, mesh.Buffers().Name(Orv3dsMeshBuffers::Normals));
            glNormalPointer(GL_FLOAT, 0, nullptr);
            glBindBuffer(GL_ARRAY_BUFFER, mesh.Buffers().Name(Orv3dsMeshBuffers::Positions));
            glVertexPointer(3, GL_FLOAT, 0, nullptr);
            glDrawArrays(GL_TRIANGLES, 0, mesh.VertexCount());
        }
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glPopMatrix();
    }

    // The model's draw as the render line makes it.
    void EngineDraw() const {
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        OrvCameraEye eye;
        OrvDrawPass pass{0, 0, eye}; // a model draws without either
        model->Draw(pass);
        glPopAttrib();
        glPopMatrix();
    }
};

Show& TheShow() {
    static Show show;
    return show;
}

void BM_3dsLoad(benchmark::State& state) {
    Show& show = TheShow();
    if (!show.open) {
        state.SkipWithError(show.error.c_str());
        return;
    }
    double milliseconds = 0, loads = 0;
    for (auto _ : state) {
        // Fresh managers each time, in the show's scene.
        auto objects = std::make_unique<OrvObjectManager>(show.scene);
        auto parameters =
            std::make_unique<OrvParameterManager>(show.diagnostics, show.run.Random());
        auto begin = std::chrono::steady_clock::now();
        objects->LoadObject(*show.modelNode, *parameters);
        glFinish();
        milliseconds += Milliseconds(begin);
        ++loads;
    }
    state.counters["triangles"] = show.triangles;
    state.counters["load_ms"] = milliseconds / loads;
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void BM_3dsDraw(benchmark::State& state) {
    Show& show = TheShow();
    if (!show.open) {
        state.SkipWithError(show.error.c_str());
        return;
    }
    for (unsigned f = 0; f < 3; ++f) { // the software renderer compiles its states
        show.lines.RenderAll(16);
        show.HandFrameStart();
        show.HandDraw(0, 0);
    }
    glFinish();
    // One time per frame and kind, paired frame by frame: the medians of the times and of
    // the pairs' ratios stand still while other programs come and go on the machine.
    const std::size_t most = 100000;
    std::vector<double> engineFrames, handFrames, frameRatios, engineDraws, handDraws, drawRatios;
    for (std::vector<double>* times :
         {&engineFrames, &handFrames, &frameRatios, &engineDraws, &handDraws, &drawRatios})
        times->reserve(most);
    unsigned position = 0;
    unsigned long allocated = 0;
    double engineMs = 0, handMs = 0;
    auto engineFrame = [&] {
        unsigned long before = OrvAllocationCount();
        auto begin = std::chrono::steady_clock::now();
        show.parameters.UpdateParameters(position);
        show.lines.RenderAll(16);
        glFinish();
        engineMs = Milliseconds(begin);
        allocated += OrvAllocationCount() - before;
    };
    auto handFrame = [&] {
        double at = position / 60000.0;
        auto begin = std::chrono::steady_clock::now();
        show.HandFrameStart();
        show.HandDraw(3600 * at, 1800 * at);
        glFinish();
        handMs = Milliseconds(begin);
    };
    auto engineDraw = [&] {
        unsigned long before = OrvAllocationCount();
        auto begin = std::chrono::steady_clock::now();
        show.EngineDraw();
        glFinish();
        engineMs = Milliseconds(begin);
        allocated += OrvAllocationCount() - before;
    };
    auto handDraw = [&] {
        double at = position / 60000.0;
        auto begin = std::chrono::steady_clock::now();
        show.HandDraw(3600 * at, 1800 * at);
        glFinish();
        handMs = Milliseconds(begin);
    };
    for (auto _ : state) {
        if (engineFrames.size() >= most)
            break;
        // Whole frames: the engine's render line and the hand-made one, taking turns first.
        bool engineFirst = position % 40 == 0;
        if (engineFirst)
            engineFrame();
        handFrame();
        if (!engineFirst)
            engineFrame();
        engineFrames.push_back(engineMs);
        handFrames.push_back(handMs);
        frameRatios.push_back(engineMs / handMs);

        // The model alone, after the engine's camera and light.
        show.lines.RenderAll(16);
        glFinish();
        if (engineFirst)
            engineDraw();
        handDraw();
        if (!engineFirst)
            engineDraw();
        engineDraws.push_back(engineMs);
        handDraws.push_back(handMs);
        drawRatios.push_back(engineMs / handMs);
        position += 20;
    }
    state.counters["triangles"] = show.triangles;
    state.counters["engine_frame_ms"] = Median(engineFrames);
    state.counters["hand_frame_ms"] = Median(handFrames);
    state.counters["frame_ratio"] = Median(frameRatios);
    state.counters["engine_draw_ms"] = Median(engineDraws);
    state.counters["hand_draw_ms"] = Median(handDraws);
    state.counters["draw_ratio"] = Median(drawRatios);
    state.counters["allocations_per_frame"] =
        engineFrames.empty() ? 0 : double(allocated) / double(2 * engineFrames.size());
}

} // namespace

BENCHMARK(BM_3dsLoad)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_3dsDraw)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(10.0);

BENCHMARK_MAIN();
