// Image objects as the script declares them: the parameters they register, their initial
// values, and the errors of a faulty block.

#include "scene/OrvObjectImage.h"

#include "gfx/OrvShaderVariable.h"

#include "OrvObjectImageTestScene.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(OrvObjectImageScript, RegistersItsParametersColourAndShaders) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvImageTestScene scene(64, 64, 64, 64);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.Solid("pic.png", 4, 4, 10, 20, 30);
    scene.Text("tint.frag", "uniform vec4 tint;\nvoid main() { gl_FragColor = tint; }\n");
    scene.Text("glow.frag", "uniform float brightness;\n"
                            "void main() { gl_FragColor = vec4(brightness); }\n");
    OrvObjectImage* image =
        scene.Load("box: image pic.png {\n shader: tint.frag\n shader: glow.frag\n}");
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(2, image->ShaderCount());
    EXPECT_EQ(0, image->UseShader());
    EXPECT_EQ("", scene.context.diagnostics.Text());

    std::vector<std::string> names;
    for (int i = 0; i < scene.parameters.ParameterCount(); ++i)
        names.push_back(scene.parameters.FullName(i));
    const std::vector<std::string> expected = {"box.stretch",
                                               "box.zoom",
                                               "box.zoom.x",
                                               "box.zoom.y",
                                               "box.rotate",
                                               "box.frame",
                                               "box.useShader",
                                               "box.multiTexturing",
                                               "box.blend",
                                               "box.offset.x",
                                               "box.offset.y",
                                               "box.pos.x",
                                               "box.pos.y",
                                               "box.col.r",
                                               "box.col.g",
                                               "box.col.b",
                                               "box.col.a",
                                               "box.shaders[0].tint.0",
                                               "box.shaders[0].tint.1",
                                               "box.shaders[0].tint.2",
                                               "box.shaders[0].tint.3",
                                               "box.shaders[1].brightness"};
    EXPECT_EQ(expected, names);
    EXPECT_EQ("", image->ParameterName(13));
    EXPECT_EQ("", image->ParameterName(-1));

    // The parameters reach the image and its programs' uniforms through their names.
    ASSERT_TRUE(scene.parameters.AddParameterHold("box.shaders[1].brightness", 0, 0.25));
    ASSERT_TRUE(scene.parameters.AddParameterHold("box.shaders[0].tint.3", 0, 0.5));
    ASSERT_TRUE(scene.parameters.AddParameterHold("box.col.g", 0, 0.125));
    ASSERT_TRUE(scene.parameters.AddParameterHold("box.pos.y", 0, -7));
    scene.parameters.UpdateParameters(0);
    EXPECT_FLOAT_EQ(0.25f, image->Shader(1).FindVariable("brightness")->Value(0));
    EXPECT_FLOAT_EQ(0.5f, image->Shader(0).FindVariable("tint")->Value(3));
    EXPECT_FLOAT_EQ(0.125f, image->Color().g);
    EXPECT_FLOAT_EQ(-7.0f, image->PosY());
}

TEST(OrvObjectImageScript, BlockLinesGiveInitialValues) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvImageTestScene scene(64, 64, 64, 64);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.Solid("a.png", 4, 4, 255, 0, 0);
    scene.Solid("b.png", 4, 4, 0, 255, 0);
    scene.Text("fx.frag", "uniform vec4 tint;\nvoid main() { gl_FragColor = tint; }\n");
    OrvObjectImage* image = scene.Load("box: image a.png b.png {\n"
                                       " zoom: 2\n"
                                       " zoom.x: 2 3\n"
                                       " zoom.y: -0.5\n"
                                       " rotate: 45\n"
                                       " frame: 1\n"
                                       " stretch: 1\n"
                                       " blend: 2\n"
                                       " multiTexturing: 1\n"
                                       " offset.x: 0.25\n"
                                       " offset.y: 0.75\n"
                                       " pos.x: 3\n"
                                       " col.a: 0.5\n"
                                       " shader: fx\n"
                                       " useShader: -1\n"
                                       " shaders[0].tint.2: 0.75\n"
                                       "}");
    ASSERT_NE(nullptr, image);
    EXPECT_EQ("", scene.context.diagnostics.Text());
    // Before the timeline runs the fields have their starting values.
    EXPECT_FALSE(image->Stretch());
    EXPECT_EQ(0.0f, image->Zoom());
    EXPECT_EQ(0, image->Frame());
    EXPECT_EQ(1, image->Blend());
    EXPECT_EQ(0, image->UseShader());
    EXPECT_EQ(1.0f, image->Color().a);

    scene.parameters.UpdateParameters(0); // the block's values are holds at time 0
    EXPECT_TRUE(image->Stretch());
    EXPECT_EQ(2.0f, image->Zoom());
    EXPECT_EQ(2.0f, image->ZoomX()); // only the first value counts
    EXPECT_EQ(-0.5f, image->ZoomY());
    EXPECT_EQ(45.0f, image->Rotate());
    EXPECT_EQ(1, image->Frame());
    EXPECT_EQ(2, image->Blend());
    EXPECT_EQ(1, image->MultiTexturing());
    EXPECT_EQ(0.25f, image->OffsetX());
    EXPECT_EQ(0.75f, image->OffsetY());
    EXPECT_EQ(3.0f, image->PosX());
    EXPECT_EQ(0.0f, image->PosY());
    EXPECT_EQ(0.5f, image->Color().a);
    EXPECT_EQ(1.0f, image->Color().r);
    EXPECT_EQ(-1, image->UseShader());
    EXPECT_EQ(0.75f, image->Shader(0).FindVariable("tint")->Value(2));
}

TEST(OrvObjectImageScript, LinesNobodyReadsAreReportedAndFailTheObject) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvImageTestScene scene(64, 64, 64, 64);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.Solid("pic.png", 4, 4, 255, 0, 0);
    // A shader line needs a name; "shaders" and "colour" are no keys of an image; a value
    // line without a value is no initial value.
    EXPECT_EQ("Initialization failed due to unidentified parameters in initialization block",
              scene.LoadError("box: image pic.png {\n"
                              " zoom: 0.5\n"
                              " shader:\n"
                              " shaders: fx\n"
                              " colour.r: 1\n"
                              " rotate\n"
                              " pos.y: 4\n"
                              "}"));
    EXPECT_EQ("Error: Line not processed: shader:\nDid you mean:\n\nshader\n"
              "Error: Line not processed: shaders: fx\nDid you mean:\n\nshader\n"
              "Error: Line not processed: colour.r: 1\n"
              "Error: Line not processed: rotate\n",
              scene.context.diagnostics.Text());
    // The object stays loaded and registered, with the values that were understood.
    ASSERT_EQ(1, scene.objects.ObjectCount());
    OrvObjectImage* image = dynamic_cast<OrvObjectImage*>(scene.objects[0]);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(0, image->ShaderCount());
    scene.parameters.UpdateParameters(0);
    EXPECT_EQ(0.5f, image->Zoom());
    EXPECT_EQ(4.0f, image->PosY());
}

TEST(OrvObjectImageScript, MissingFilesAndDuplicationAreRefused) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvImageTestScene scene(64, 64, 64, 64);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.Solid("pic.png", 4, 4, 255, 0, 0);
    EXPECT_EQ("Image object without an image file: empty",
              scene.LoadError("empty: image {\n zoom: 1\n}"));
    EXPECT_EQ("Image object without an image file: bare", scene.LoadError("bare: image"));
    EXPECT_EQ("Could not load image file: nothere.png",
              scene.LoadError("lost: image pic.png nothere.png"));
    EXPECT_EQ("Could not open shader file nofx.vert or nofx.frag: Could not open shader file "
              "nofx.vertCould not open shader file nofx.frag",
              scene.LoadError("fx: image pic.png {\n shader: nofx\n}"));
    EXPECT_EQ(0, scene.objects.ObjectCount()); // an object whose Init failed is not kept

    ASSERT_EQ("(nothing raised)", scene.LoadError("box: image pic.png"));
    EXPECT_EQ("Could not duplicate object, because it does not support duplication: box",
              scene.LoadError("copy: duplicate box"));
    EXPECT_EQ(1, scene.objects.ObjectCount());
    EXPECT_EQ("", scene.context.diagnostics.Text()); // raised, never logged here
}
