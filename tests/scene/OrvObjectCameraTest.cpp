#include "scene/OrvObjectCamera.h"

#include "animation/OrvParameterManager.h"
#include "base/OrvException.h"
#include "scene/OrvObjectManager.h"
#include "script/OrvAsciiScriptLoader.h"
#include "script/OrvScriptNode.h"
#include "support/OrvGlTestWindow.h"
#include "support/OrvTestContext.h"

#include <epoxy/gl.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A 4 x 4 matrix in OpenGL's column-major order: element (row r, column c) is m[c * 4 + r].
struct Matrix {
    double m[16];
};

Matrix Identity() {
    Matrix out{};
    out.m[0] = out.m[5] = out.m[10] = out.m[15] = 1;
    return out;
}

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix out{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k)
                out.m[c * 4 + r] += a.m[k * 4 + r] * b.m[c * 4 + k];
    return out;
}

Matrix Translation(double x, double y, double z) {
    Matrix out = Identity();
    out.m[12] = x;
    out.m[13] = y;
    out.m[14] = z;
    return out;
}

// The perspective projection from its textbook formula: f = cot(fovy / 2).
Matrix Perspective(double fovyDegrees, double aspect, double zNear, double zFar) {
    const double pi = std::acos(-1.0);
    double f = 1.0 / std::tan(fovyDegrees * pi / 360.0);
    Matrix out{};
    out.m[0] = f / aspect;
    out.m[5] = f;
    out.m[10] = (zFar + zNear) / (zNear - zFar);
    out.m[11] = -1;
    out.m[14] = 2 * zFar * zNear / (zNear - zFar);
    return out;
}

OrvVector3 Unit(const OrvVector3& v) {
    return v * (1.0 / v.Length());
}

double Dot(const OrvVector3& a, const OrvVector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// The viewing transform: rows side, up, -forward, then the eye moved to the origin.
Matrix LookAt(const OrvVector3& eye, const OrvVector3& center, const OrvVector3& up) {
    OrvVector3 f = Unit(center - eye);
    OrvVector3 s = Unit(f.CrossProduct(up));
    OrvVector3 u = s.CrossProduct(f);
    Matrix out = Identity();
    out.m[0] = s.x;
    out.m[4] = s.y;
    out.m[8] = s.z;
    out.m[1] = u.x;
    out.m[5] = u.y;
    out.m[9] = u.z;
    out.m[2] = -f.x;
    out.m[6] = -f.y;
    out.m[10] = -f.z;
    out.m[12] = -Dot(s, eye);
    out.m[13] = -Dot(u, eye);
    out.m[14] = Dot(f, eye);
    return out;
}

Matrix Read(GLenum which) {
    Matrix out{};
    glGetDoublev(which, out.m);
    return out;
}

// The whole way from the model to the picture: projection times modelview.
Matrix Seen() {
    return Multiply(Read(GL_PROJECTION_MATRIX), Read(GL_MODELVIEW_MATRIX));
}

// OpenGL keeps matrices in single precision: compare relative to each element's size.
::testing::AssertionResult MatrixNear(const Matrix& actual, const Matrix& expected) {
    for (int i = 0; i < 16; ++i) {
        double tolerance = 2e-5 * std::max(1.0, std::fabs(expected.m[i]));
        if (!(std::fabs(actual.m[i] - expected.m[i]) <= tolerance)) {
            ::testing::AssertionResult failure = ::testing::AssertionFailure();
            failure << "element " << i << " (row " << i % 4 << ", column " << i / 4 << ") is "
                    << actual.m[i] << ", expected " << expected.m[i] << "\nactual:  ";
            for (double v : actual.m)
                failure << v << " ";
            failure << "\nexpected:";
            for (double v : expected.m)
                failure << " " << v;
            return failure;
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult VectorNear(const OrvVector3& actual, double x, double y, double z) {
    const double tolerance = 1e-12;
    if (std::fabs(actual.x - x) <= tolerance && std::fabs(actual.y - y) <= tolerance &&
        std::fabs(actual.z - z) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ", " << actual.z
                                         << ") is not (" << x << ", " << y << ", " << z << ")";
}

// Both matrices reset the way a render line starts its frame, with the modelview selected.
void ResetMatrices() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

std::string Raised(OrvObjectManager& objects, OrvScriptNode& node,
                   OrvParameterManager& parameters) {
    try {
        objects.LoadObject(node, parameters);
    } catch (const OrvException& error) {
        return error.Message();
    }
    return "(nothing raised)";
}

OrvObjectCamera* MadeCamera(OrvObjectManager& objects, OrvScriptNode& node,
                            OrvParameterManager& parameters) {
    return dynamic_cast<OrvObjectCamera*>(objects.LoadObject(node, parameters));
}

OrvScriptNode dummyNode;

// The vectors the camera drawn last published for the particles.
void ReadActiveCamera(OrvTestContext& ctx, OrvVector3& position, OrvVector3& target,
                      OrvVector3& up) {
    position = ctx.eye.position;
    target = ctx.eye.target;
    up = ctx.eye.up;
}

} // namespace

TEST(OrvObjectCamera, StartsWithItsLensAndVectorsAndLimitsFovyAndNear) {
    OrvTestContext ctx;
    ctx.SetSurface(1024, 768);
    OrvObjectCamera camera(ctx.scene);
    camera.Init(dummyNode);
    EXPECT_EQ(1u, camera.Flags());
    EXPECT_EQ(nullptr, camera.Duplicate());
    EXPECT_FLOAT_EQ(45.0f, camera.FieldOfView());
    EXPECT_FLOAT_EQ(0.01f, camera.NearPlane());
    EXPECT_FLOAT_EQ(100.0f, camera.FarPlane());
    EXPECT_FLOAT_EQ(1.0f, camera.AspectFactor());
    EXPECT_FLOAT_EQ(4.0f / 3.0f, camera.BaseAspectRatio());
    EXPECT_TRUE(VectorNear(camera.Camera().Position(), 0, 0, 10));
    EXPECT_TRUE(VectorNear(camera.Camera().Target(), 0, 0, 0));
    EXPECT_TRUE(VectorNear(camera.Camera().UpVector(), 0, 1, 0));
    EXPECT_EQ("", camera.ParameterName(4));
    EXPECT_EQ("", camera.ParameterName(-1));

    const double nan = std::numeric_limits<double>::quiet_NaN();
    auto fovy = [&](double value) {
        camera.UpdateParameter(0, value);
        return camera.FieldOfView();
    };
    EXPECT_FLOAT_EQ(1.0f, fovy(0.5));
    EXPECT_FLOAT_EQ(179.0f, fovy(200));
    EXPECT_FLOAT_EQ(179.0f, fovy(179));
    EXPECT_FLOAT_EQ(1.0f, fovy(1));
    EXPECT_FLOAT_EQ(1.0f, fovy(nan));
    EXPECT_FLOAT_EQ(static_cast<float>(60.3), fovy(60.3)); // stored as float
    auto nearPlane = [&](double value) {
        camera.UpdateParameter(1, value);
        return camera.NearPlane();
    };
    EXPECT_FLOAT_EQ(0.0001f, nearPlane(0));
    EXPECT_FLOAT_EQ(0.0001f, nearPlane(-3));
    EXPECT_FLOAT_EQ(0.0001f, nearPlane(nan));
    EXPECT_FLOAT_EQ(0.0001f, nearPlane(0.00005));
    EXPECT_FLOAT_EQ(2.5f, nearPlane(2.5));
    camera.UpdateParameter(2, 0.5); // below near: no limit
    EXPECT_FLOAT_EQ(0.5f, camera.FarPlane());
    camera.UpdateParameter(3, -2);
    EXPECT_FLOAT_EQ(-2.0f, camera.AspectFactor());
    camera.UpdateParameter(4, 7); // no such parameter
    camera.UpdateParameter(-1, 7);
    EXPECT_FLOAT_EQ(60.3f, camera.FieldOfView());
    EXPECT_FLOAT_EQ(2.5f, camera.NearPlane());

    camera.Camera().Jitter(0.5, -1);
    EXPECT_TRUE(VectorNear(camera.Camera().Position(), 0.5, -1, 10));

    // Before the video set-up the surface is 0 x 0: the ratio falls back to 1, not NaN.
    OrvTestContext fresh;
    OrvObjectCamera early(fresh.scene);
    early.Init(dummyNode);
    EXPECT_FLOAT_EQ(1.0f, early.BaseAspectRatio());
    fresh.SetSurface(800, 200);
    early.Init(dummyNode);
    EXPECT_FLOAT_EQ(4.0f, early.BaseAspectRatio());
}

TEST(OrvObjectCamera, MultipliesThePerspectiveOntoTheProjectionAndTheViewOntoTheModelview) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvGlTestWindow window(64, 64);
    ASSERT_TRUE(window.IsOpen()) << window.Error();
    OrvTestContext ctx;
    ctx.SetSurface(1024, 768);
    OrvObjectCamera camera(ctx.scene);
    camera.Init(dummyNode);

    // The defaults: 45 degrees, 4/3, 0.01 to 100, eye (0, 0, 10) looking at the origin.
    ResetMatrices();
    camera.Draw(ctx.Pass());
    EXPECT_TRUE(MatrixNear(Read(GL_PROJECTION_MATRIX), Perspective(45, 4.0 / 3.0, 0.01f, 100)));
    EXPECT_TRUE(MatrixNear(Read(GL_MODELVIEW_MATRIX),
                           LookAt(OrvVector3(0, 0, 10), OrvVector3(), OrvVector3(0, 1, 0))));

    // Every setting changed; the camera multiplies onto what is there instead of replacing it.
    camera.UpdateParameter(0, 60);
    camera.UpdateParameter(1, 0.5);
    camera.UpdateParameter(2, 50);
    camera.UpdateParameter(3, 1.5); // 1.5 x 4/3 = 2
    OrvVector3 eye(3, 4, 5), center(1, -1, 0.5), up(0.25, 2, 0.5);
    camera.Camera().SetPosition(eye);
    camera.Camera().SetTarget(center);
    camera.Camera().SetUpVector(up);
    ResetMatrices();
    glMatrixMode(GL_PROJECTION);
    glTranslated(0, 0, -1);
    glMatrixMode(GL_MODELVIEW);
    glTranslated(1, 2, 3);
    camera.Draw(ctx.Pass());
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(GL_MODELVIEW, mode);
    EXPECT_TRUE(MatrixNear(Read(GL_PROJECTION_MATRIX),
                           Multiply(Translation(0, 0, -1), Perspective(60, 2.0, 0.5, 50))));
    EXPECT_TRUE(MatrixNear(Read(GL_MODELVIEW_MATRIX),
                           Multiply(Translation(1, 2, 3), LookAt(eye, center, up))));

    // A far plane in front of the near plane is passed on as it is.
    camera.UpdateParameter(1, 1);
    camera.UpdateParameter(2, 0.5);
    ResetMatrices();
    camera.Draw(ctx.Pass());
    EXPECT_TRUE(MatrixNear(Read(GL_PROJECTION_MATRIX), Perspective(60, 2.0, 1, 0.5)));
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

// A grey square facing a white light from straight ahead: a quarter of the light comes back,
// however far away the camera looks at it from.
TEST(OrvObjectCamera, LitSurfacesKeepTheirBrightnessAtAnyDistance) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvGlTestWindow window(64, 64);
    ASSERT_TRUE(window.IsOpen()) << window.Error();
    OrvTestContext ctx;
    ctx.SetSurface(64, 64);
    OrvObjectCamera camera(ctx.scene);
    camera.Init(dummyNode);
    const double pi = std::acos(-1.0);
    for (double distance : {2.0, 20.0, 60.0}) {
        window.Clear(0, 0, 1);
        ResetMatrices();
        // The square (2 x 2) fills 80 % of the picture's height at every distance.
        camera.UpdateParameter(0, 2 * std::atan(1.25 / distance) * 180 / pi);
        camera.UpdateParameter(1, 1);
        camera.Camera().SetPosition(OrvVector3(0, 0, distance));
        camera.Draw(ctx.Pass());

        const GLfloat none[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1};
        const GLfloat grey[4] = {0.25f, 0.25f, 0.25f, 1}, ahead[4] = {0, 0, 1, 0};
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
        glLightfv(GL_LIGHT0, GL_POSITION, ahead);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
        glMaterialfv(GL_FRONT, GL_AMBIENT, none);
        glMaterialfv(GL_FRONT, GL_DIFFUSE, grey);
        glMaterialfv(GL_FRONT, GL_SPECULAR, none);
        glBegin(GL_QUADS);
        glNormal3f(0, 0, 1);
        glVertex3f(-1, -1, 0);
        glVertex3f(1, -1, 0);
        glVertex3f(1, 1, 0);
        glVertex3f(-1, 1, 0);
        glEnd();
        glDisable(GL_LIGHTING);
        OrvRgba centre = window.ReadPixel(32, 32);
        EXPECT_TRUE(OrvRgbNear(centre, OrvRgba{64, 64, 64, 255}, 6))
            << "at distance " << distance << ": " << centre;
        EXPECT_TRUE(OrvRgbNear(window.ReadPixel(1, 1), OrvRgba{0, 0, 255, 255}, 2))
            << "at distance " << distance;
    }
}

TEST(OrvObjectCamera, PublishesItsVectorsWithTheUpVectorNormalisedAndKeepsTheLastValidUp) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvGlTestWindow window(64, 64);
    ASSERT_TRUE(window.IsOpen()) << window.Error();
    OrvTestContext ctx;
    ctx.SetSurface(640, 480);
    OrvObjectCamera camera(ctx.scene);
    camera.Init(dummyNode);
    OrvVector3 position, target, up;

    // A fresh camera whose up vector is zero from the start falls back to (0, 1, 0).
    camera.Camera().SetUpVector(OrvVector3(0, 0, 0));
    ResetMatrices();
    camera.Draw(ctx.Pass());
    EXPECT_TRUE(VectorNear(camera.Camera().UpVector(), 0, 1, 0));
    ReadActiveCamera(ctx, position, target, up);
    EXPECT_TRUE(VectorNear(up, 0, 1, 0));
    EXPECT_TRUE(VectorNear(position, 0, 0, 10));

    camera.Camera().SetPosition(OrvVector3(1, 2, 3));
    camera.Camera().SetTarget(OrvVector3(-1, 0, 2));
    camera.Camera().SetUpVector(OrvVector3(0, 2, 0));
    ResetMatrices();
    camera.Draw(ctx.Pass());
    EXPECT_TRUE(VectorNear(camera.Camera().UpVector(), 0, 1, 0)); // stored back normalised
    ReadActiveCamera(ctx, position, target, up);
    EXPECT_TRUE(VectorNear(position, 1, 2, 3));
    EXPECT_TRUE(VectorNear(target, -1, 0, 2));
    EXPECT_TRUE(VectorNear(up, 0, 1, 0));

    camera.Camera().SetUpVector(OrvVector3(3, 0, 4));
    ResetMatrices();
    camera.Draw(ctx.Pass());
    ReadActiveCamera(ctx, position, target, up);
    EXPECT_TRUE(VectorNear(up, 0.6, 0, 0.8));

    // Zero, or no number at all: the last valid up vector stays, and the matrix stays finite.
    Matrix expected =
        Multiply(Perspective(45, 640.0 / 480.0, 0.01f, 100),
                 LookAt(OrvVector3(1, 2, 3), OrvVector3(-1, 0, 2), OrvVector3(0.6, 0, 0.8)));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double huge = std::numeric_limits<double>::infinity();
    for (OrvVector3 bad : {OrvVector3(0, 0, 0), OrvVector3(nan, 1, 0), OrvVector3(huge, 0, 0)}) {
        camera.Camera().SetUpVector(bad);
        ResetMatrices();
        camera.Draw(ctx.Pass());
        EXPECT_TRUE(VectorNear(camera.Camera().UpVector(), 0.6, 0, 0.8));
        ReadActiveCamera(ctx, position, target, up);
        EXPECT_TRUE(VectorNear(up, 0.6, 0, 0.8));
        EXPECT_TRUE(MatrixNear(Seen(), expected));
    }
}

TEST(OrvObjectCamera, AnimatesThroughTheParameterManager) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvGlTestWindow window(64, 64);
    ASSERT_TRUE(window.IsOpen()) << window.Error();
    OrvTestContext ctx;
    ctx.SetSurface(1024, 768);
    OrvObjectCamera camera(ctx.scene);
    camera.Init(dummyNode);
    OrvParameterManager parameters(ctx.diagnostics, ctx.run.Random());
    parameters.AddInterface("cam", camera);

    // The lens first, then the camera's vectors right after the object's name.
    std::vector<std::string> names;
    for (int i = 0; i < parameters.ParameterCount(); ++i)
        names.push_back(parameters.FullName(i));
    EXPECT_EQ(
        (std::vector<std::string>{"cam.fovy", "cam.near", "cam.far", "cam.aspect", "cam.pos.x",
                                  "cam.pos.y", "cam.pos.z", "cam.lookAt.x", "cam.lookAt.y",
                                  "cam.lookAt.z", "cam.up.x", "cam.up.y", "cam.up.z"}),
        names);

    ASSERT_TRUE(parameters.AddParameterHold("cam.fovy", 0, 90));
    ASSERT_TRUE(parameters.AddParameterHold("cam.aspect", 0, 0.75));
    ASSERT_TRUE(parameters.AddLinearParameterFade("cam.pos.z", 0, 1000, 10, 20));
    ASSERT_TRUE(parameters.AddParameterHold("cam.lookAt.x", 0, 2));
    ASSERT_TRUE(parameters.AddParameterHold("cam.up.x", 0, 1));
    ASSERT_TRUE(parameters.AddParameterHold("cam.up.y", 0, 1));
    ASSERT_TRUE(parameters.AddParameterHold("cam.near", 500, -1));
    parameters.UpdateParameters(250);
    ResetMatrices();
    camera.Draw(ctx.Pass());
    double s = std::sqrt(0.5);
    EXPECT_TRUE(MatrixNear(Seen(), Multiply(Perspective(90, 1.0, 0.01f, 100),
                                            LookAt(OrvVector3(0, 0, 12.5), OrvVector3(2, 0, 0),
                                                   OrvVector3(s, s, 0)))));
    EXPECT_TRUE(VectorNear(camera.Camera().UpVector(), s, s, 0));

    parameters.UpdateParameters(1000);
    ResetMatrices();
    camera.Draw(ctx.Pass());
    EXPECT_FLOAT_EQ(0.0001f, camera.NearPlane()); // the hold's -1, limited
    EXPECT_TRUE(MatrixNear(
        Seen(), Multiply(Perspective(90, 1.0, 0.0001f, 100),
                         LookAt(OrvVector3(0, 0, 20), OrvVector3(2, 0, 0), OrvVector3(s, s, 0)))));
    EXPECT_EQ("", ctx.diagnostics.Text());
}

TEST(OrvObjectCamera, LoadsFromAScriptBlockOfInitialValuesOnly) {
    OrvTestContext ctx;
    ctx.SetSurface(1024, 768);
    OrvAsciiScriptLoader loader(ctx.diagnostics);
    std::istringstream text("objects {\n"
                            "    cam: camera {\n"
                            "        fovy: 60\n"
                            "        pos.z: 4 5\n"
                            "        up.y: 2\n"
                            "        far: 1e3\n"
                            "    }\n"
                            "    bad: camera {\n"
                            "        fovy: 30\n"
                            "        zoom: 2\n"
                            "        near\n"
                            "        pos: 1 2 3\n"
                            "    }\n"
                            "    copy: duplicate cam\n"
                            "    other: Camera\n"
                            "}\n");
    loader.Parse(text);
    OrvScriptNode* block = loader.Root()["objects"];
    ASSERT_NE(nullptr, block);
    ASSERT_EQ(4, block->ChildCount());
    OrvObjectManager objects(ctx.scene);
    OrvParameterManager parameters(ctx.diagnostics, ctx.run.Random());

    OrvObjectCamera* cam = MadeCamera(objects, *(*block)[0], parameters);
    ASSERT_NE(nullptr, cam);
    EXPECT_EQ("cam", cam->Name());
    EXPECT_EQ(1u, cam->Flags());
    EXPECT_FLOAT_EQ(45.0f, cam->FieldOfView()); // initial values are holds, not settings
    parameters.UpdateParameters(0);
    EXPECT_FLOAT_EQ(60.0f, cam->FieldOfView());
    EXPECT_FLOAT_EQ(1000.0f, cam->FarPlane());
    EXPECT_TRUE(VectorNear(cam->Camera().Position(), 0, 0, 4)); // only the first value
    EXPECT_TRUE(VectorNear(cam->Camera().UpVector(), 0, 2, 0));
    EXPECT_EQ("", ctx.diagnostics.Text());

    // Init reads no line: anything that names no parameter fails the object.
    EXPECT_EQ("Initialization failed due to unidentified parameters in initialization block",
              Raised(objects, *(*block)[1], parameters));
    EXPECT_EQ("Error: Line not processed: zoom: 2\n"
              "Error: Line not processed: near\n"
              "Error: Line not processed: pos: 1 2 3\n",
              ctx.diagnostics.Text());
    EXPECT_EQ(2, objects.ObjectCount()); // reported, but kept and registered
    EXPECT_GE(parameters.FindParameterByName("bad.fovy"), 0);

    EXPECT_EQ("Could not duplicate object, because it does not support duplication: cam",
              Raised(objects, *(*block)[2], parameters));
    EXPECT_EQ("Object class could not be initialized: Camera\nDid you mean:\n\ncamera",
              Raised(objects, *(*block)[3], parameters));
    EXPECT_EQ(2, objects.ObjectCount());
}
