#ifndef ORV_TESTS_OBJECTS_ORVOBJECTIMAGETESTSCENE_H
#define ORV_TESTS_OBJECTS_ORVOBJECTIMAGETESTSCENE_H

// What the image object tests share: a real OpenGL window whose size is the display size, a
// surface of the test's choosing shaped like the window (so a screen line's viewport is the
// whole window), a data folder for pictures and shaders, and the engine's own object,
// parameter and render line managers. Objects are loaded from script text exactly as the
// engine loads its objects block.
//
// Members are declared so that the window closes last; the context (with its textures) goes
// before it.

#include "animation/OrvParameterManager.h"
#include "base/OrvException.h"
#include "gfx/OrvTextureManager.h"
#include "scene/OrvObjectImage.h"
#include "scene/OrvObjectManager.h"
#include "scene/OrvRenderLine.h"
#include "scene/OrvRenderLineManager.h"
#include "script/OrvAsciiScriptLoader.h"
#include "script/OrvScriptNode.h"
#include "support/OrvGlTestWindow.h"
#include "support/OrvTestContext.h"
#include "support/OrvTestFolder.h"
#include "support/OrvTestImages.h"

#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

// A rectangle of window pixels, top-down: x from left to right - 1, y from top to bottom - 1.
struct OrvPixelBox {
    int left;
    int top;
    int right;
    int bottom;
    bool operator==(const OrvPixelBox& other) const {
        return left == other.left && top == other.top && right == other.right &&
               bottom == other.bottom;
    }
};

inline std::ostream& operator<<(std::ostream& out, const OrvPixelBox& box) {
    return out << "(" << box.left << ", " << box.top << ") to (" << box.right << ", " << box.bottom
               << ")";
}

class OrvImageTestScene {
public:
    OrvImageTestScene(int width, int height, int surfaceWidth, int surfaceHeight)
        : window(width, height), context(folder.DataPath("")), objects(context.scene),
          parameters(context.diagnostics, context.run.Random()), lines(context.scene) {
        OrvDisplayFacts& display = context.run.Display();
        display.displayWidth = width;
        display.displayHeight = height;
        display.surfaceWidth = surfaceWidth;
        display.surfaceHeight = surfaceHeight;
        display.aspectRatio = static_cast<double>(width) / height;
        lines.Init(objects);
    }

    // A PNG in the data folder; pixels top row first, R G B.
    void Picture(const std::string& name, int width, int height,
                 const std::vector<unsigned char>& rgb) {
        folder.WriteData(name, OrvMakePng(width, height, 3, rgb));
    }
    // A picture of one colour.
    void Solid(const std::string& name, int width, int height, unsigned char r, unsigned char g,
               unsigned char b) {
        Picture(name, width, height, OrvRepeatPixel({r, g, b}, width * height));
    }
    void Text(const std::string& name, const std::string& text) { folder.WriteData(name, text); }

    // Loads every line of the text as a line of the objects block and switches each object
    // on; returns the last one as an image (null when it is not one).
    OrvObjectImage* Load(const std::string& objectLines) {
        loaders.emplace_back(new OrvAsciiScriptLoader(context.diagnostics));
        std::istringstream in("objects {\n" + objectLines + "\n}\n");
        loaders.back()->Parse(in);
        OrvScriptNode* block = loaders.back()->Root()["objects"];
        OrvObject* last = nullptr;
        for (OrvScriptNode* node : block->Children()) {
            last = objects.LoadObject(*node, parameters);
            objects.UpdateParameter(objects.ObjectCount() - 1, 1);
        }
        return dynamic_cast<OrvObjectImage*>(last);
    }
    // The text Load raised, or "(nothing raised)".
    std::string LoadError(const std::string& objectLines) {
        try {
            Load(objectLines);
        } catch (const OrvException& error) {
            return error.Message();
        }
        return "(nothing raised)";
    }

    // A render line from the lines of its block ("output: *buf 64 32", "objects: box").
    OrvRenderLine* Line(const std::string& name, const std::string& keys = "") {
        loaders.emplace_back(new OrvAsciiScriptLoader(context.diagnostics));
        std::istringstream in(name + " {\n" + keys + "\n}\n");
        loaders.back()->Parse(in);
        OrvScriptNode* node = loaders.back()->Root()[name.c_str()];
        return lines.LoadRenderLine(*node, parameters);
    }

    // The timeline's values at that position, then one frame of every line.
    void Frame(unsigned position = 0) {
        parameters.UpdateParameters(position);
        lines.RenderAll(16);
    }

    // Top-down coordinates, as the image object lays itself out.
    OrvRgba Pixel(int x, int y) const { return window.ReadPixel(x, window.Height() - 1 - y); }

    // The smallest box holding every pixel whose colour differs from `background` by more than
    // 24 in some channel; all -1 when there is none.
    OrvPixelBox Covered(const OrvRgba& background) const {
        std::vector<OrvRgba> pixels = window.ReadPixels(0, 0, window.Width(), window.Height());
        OrvPixelBox box{-1, -1, -1, -1};
        for (int row = 0; row < window.Height(); ++row) {
            for (int x = 0; x < window.Width(); ++x) {
                const OrvRgba& p = pixels[static_cast<std::size_t>(row) * window.Width() + x];
                if (OrvRgbNear(p, background, 24))
                    continue;
                int y = window.Height() - 1 - row;
                if (box.left < 0) {
                    box = OrvPixelBox{x, y, x + 1, y + 1};
                    continue;
                }
                box.left = x < box.left ? x : box.left;
                box.right = x + 1 > box.right ? x + 1 : box.right;
                box.top = y < box.top ? y : box.top;
                box.bottom = y + 1 > box.bottom ? y + 1 : box.bottom;
            }
        }
        return box;
    }

    OrvGlTestWindow window;
    OrvTestFolder folder;
    OrvTestContext context; // its textures go before the window closes
    OrvObjectManager objects;
    OrvParameterManager parameters;
    OrvRenderLineManager lines;
    std::vector<std::unique_ptr<OrvAsciiScriptLoader>> loaders;
};

#endif
