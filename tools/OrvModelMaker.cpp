// Builds the bundled show's 3D models and writes them with lib3ds's own writer, so the show
// plays files that a real 3DS writer made and nothing binary is kept in the repository:
//
//   torus.3ds    mesh "Ring": a smooth torus (one smoothing group), gold
//   gem.3ds      meshes "Crown" and "Pavilion": a faceted gem drawn flat (no smoothing
//                groups), a light and a deep ruby
//   letters.3ds  meshes "O", "R", "V": extruded block letters from box segments, flat, in
//                chrome (O, V) and ember (R)
//   grid.3ds     mesh "Grid": glowing lines on the ground, 2.5 units apart, drawn with the
//                picture LineTexture (made by make-show.sh) across each line
//
//   orv-make-models <output folder>
//
// Models are y-up and centred on the origin. Meshes and materials are written in the order
// given here, the order the engine numbers them in ("mesh[0]", "materials[0]").

#include "Orv3dsModelWriter.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {
const double Pi = 3.14159265358979323846;
const char* const LineTexture = "neon.png";

struct Vec {
    double x, y, z;
};
Vec operator-(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec Cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

struct Mesh {
    std::string name;
    std::string material; // every face's
    uint32_t smoothing;   // every face's smoothing groups; 0 draws each face flat
    std::vector<Vec> points;
    std::vector<float> texCoords; // u, v per point, or empty
    std::vector<int> corners;     // three point indices per face, counter-clockwise outside

    int Add(Vec p) {
        points.push_back(p);
        return static_cast<int>(points.size()) - 1;
    }
    void Face(int a, int b, int c) { corners.insert(corners.end(), {a, b, c}); }
    // A face of a convex solid around `inside`, turned to face away from it.
    void OutwardFace(int a, int b, int c, Vec inside) {
        Vec normal = Cross(points[b] - points[a], points[c] - points[a]);
        if (Dot(normal, points[a] - inside) < 0)
            Face(a, c, b);
        else
            Face(a, b, c);
    }
};

// Writes the meshes, each face with its mesh's material and smoothing groups, in the order
// given.
bool Save(const std::string& path, const std::vector<Orv3dsModelMaterial>& materials,
          const std::vector<Mesh>& meshes) {
    Orv3dsModelWriter writer;
    writer.materials = materials;
    for (const Mesh& mesh : meshes) {
        if (mesh.points.size() > 65535 || mesh.corners.size() / 3 > 65535) {
            std::fprintf(stderr, "%s: mesh %s is too large for a 3DS file\n", path.c_str(),
                         mesh.name.c_str());
            return false;
        }
        Orv3dsModelMesh written;
        written.name = mesh.name;
        for (const Vec& point : mesh.points)
            written.positions.insert(written.positions.end(),
                                     {static_cast<float>(point.x), static_cast<float>(point.y),
                                      static_cast<float>(point.z)});
        written.texCoords = mesh.texCoords;
        written.corners = mesh.corners;
        const std::size_t faces = mesh.corners.size() / 3;
        written.faceMaterials.assign(faces, mesh.material);
        written.smoothing.assign(faces, mesh.smoothing);
        writer.meshes.push_back(written);
    }
    bool saved = writer.Save(path);
    if (!saved)
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return saved;
}

// A torus around the z axis: `around` segments along the ring, `across` around the tube.
// Neighbouring faces share their points, so the one smoothing group rounds it all over.
Mesh Torus(const std::string& name, const std::string& material, double ring, double tube,
           int around, int across) {
    Mesh mesh{name, material, 1, {}, {}, {}};
    for (int i = 0; i < around; ++i) {
        double a = 2 * Pi * i / around;
        for (int j = 0; j < across; ++j) {
            double b = 2 * Pi * j / across;
            double r = ring + tube * std::cos(b);
            mesh.Add({r * std::cos(a), r * std::sin(a), tube * std::sin(b)});
        }
    }
    for (int i = 0; i < around; ++i) {
        for (int j = 0; j < across; ++j) {
            int p = i * across + j;
            int nextI = ((i + 1) % around) * across + j;
            int nextJ = i * across + (j + 1) % across;
            int both = ((i + 1) % around) * across + (j + 1) % across;
            mesh.Face(p, nextI, both);
            mesh.Face(p, both, nextJ);
        }
    }
    return mesh;
}

// A brilliant-like gem: the crown from the table (radius 0.5, height 0.45) down to the
// girdle (radius 1, height 0), the pavilion from the girdle down to the culet at -1.2.
// Faces meet at sharp edges: no smoothing groups, so every facet is lit flat.
void Gem(int sides, Mesh& crown, Mesh& pavilion) {
    const Vec centre{0, 0, 0};
    const double table = 0.45;
    int top = crown.Add({0, table, 0});
    std::vector<int> tableRing, girdle;
    for (int i = 0; i < sides; ++i) {
        double a = 2 * Pi * (i + 0.5) / sides;
        tableRing.push_back(crown.Add({0.5 * std::cos(a), table, 0.5 * std::sin(a)}));
    }
    for (int i = 0; i < sides; ++i) {
        double a = 2 * Pi * i / sides;
        girdle.push_back(crown.Add({std::cos(a), 0, std::sin(a)}));
    }
    for (int i = 0; i < sides; ++i) {
        int next = (i + 1) % sides;
        crown.OutwardFace(top, tableRing[i], tableRing[next], {0, -1, 0});
        // Kite-like facets: a triangle on each girdle point and one under each table edge.
        crown.OutwardFace(girdle[next], tableRing[i], tableRing[next], centre);
        crown.OutwardFace(girdle[i], girdle[next], tableRing[i], centre);
    }
    int culet = pavilion.Add({0, -1.2, 0});
    std::vector<int> lower, middle;
    for (int i = 0; i < sides; ++i) {
        double a = 2 * Pi * i / sides;
        lower.push_back(pavilion.Add({std::cos(a), 0, std::sin(a)}));
        double b = 2 * Pi * (i + 0.5) / sides;
        middle.push_back(pavilion.Add({0.55 * std::cos(b), -0.6, 0.55 * std::sin(b)}));
    }
    const Vec inside{0, -0.4, 0};
    for (int i = 0; i < sides; ++i) {
        int next = (i + 1) % sides;
        pavilion.OutwardFace(lower[i], lower[next], middle[i], inside);
        pavilion.OutwardFace(middle[i], lower[next], middle[next], inside);
        pavilion.OutwardFace(middle[i], middle[next], culet, inside);
    }
}

// A bar of a block letter: from (x0, y0) to (x1, y1) in the letter's plane, `width` wide,
// `depth` deep along z, as a closed box of twelve faces.
void Bar(Mesh& mesh, double x0, double y0, double x1, double y1, double width, double depth) {
    double dx = x1 - x0, dy = y1 - y0;
    double length = std::sqrt(dx * dx + dy * dy);
    double px = -dy / length * width / 2, py = dx / length * width / 2;
    const double xs[4] = {x0 - px, x0 + px, x1 + px, x1 - px};
    const double ys[4] = {y0 - py, y0 + py, y1 + py, y1 - py};
    int front[4], back[4];
    for (int k = 0; k < 4; ++k) {
        front[k] = mesh.Add({xs[k], ys[k], depth / 2});
        back[k] = mesh.Add({xs[k], ys[k], -depth / 2});
    }
    const Vec inside{(x0 + x1) / 2, (y0 + y1) / 2, 0};
    mesh.OutwardFace(front[0], front[1], front[2], inside);
    mesh.OutwardFace(front[0], front[2], front[3], inside);
    mesh.OutwardFace(back[0], back[1], back[2], inside);
    mesh.OutwardFace(back[0], back[2], back[3], inside);
    for (int k = 0; k < 4; ++k) {
        int next = (k + 1) % 4;
        mesh.OutwardFace(front[k], front[next], back[next], inside);
        mesh.OutwardFace(front[k], back[next], back[k], inside);
    }
}

// An axis-aligned bar from (x0, y0) to (x1, y1) as opposite corners.
void Block(Mesh& mesh, double x0, double y0, double x1, double y1, double depth) {
    double y = (y0 + y1) / 2;
    Bar(mesh, x0, y, x1, y, y1 - y0, depth);
}

// "ORV", each letter 1.6 wide and 2 high with strokes 0.4 wide, 2 apart, the word centred.
std::vector<Mesh> Letters() {
    const double stroke = 0.4, depth = 0.5;
    Mesh o{"O", "Chrome", 0, {}, {}, {}};
    Mesh r{"R", "Ember", 0, {}, {}, {}};
    Mesh v{"V", "Chrome", 0, {}, {}, {}};
    const double left = -2.8, bottom = -1;
    auto at = [&](double x, double y) { return Vec{left + x, bottom + y, 0}; };
    Vec a = at(0, 0);
    Block(o, a.x, a.y, a.x + stroke, a.y + 2, depth);
    Block(o, a.x + 1.6 - stroke, a.y, a.x + 1.6, a.y + 2, depth);
    Block(o, a.x + stroke, a.y + 2 - stroke, a.x + 1.6 - stroke, a.y + 2, depth);
    Block(o, a.x + stroke, a.y, a.x + 1.6 - stroke, a.y + stroke, depth);
    a = at(2, 0);
    Block(r, a.x, a.y, a.x + stroke, a.y + 2, depth);
    Block(r, a.x + stroke, a.y + 2 - stroke, a.x + 1.2, a.y + 2, depth);
    Block(r, a.x + stroke, a.y + 0.8, a.x + 1.2, a.y + 1.2, depth);
    Block(r, a.x + 1.2, a.y + 0.8, a.x + 1.6, a.y + 2, depth);
    Bar(r, a.x + 0.8, a.y + 0.9, a.x + 1.5, a.y, stroke, depth);
    a = at(4, 0);
    Bar(v, a.x + 0.15, a.y + 2, a.x + 0.8, a.y + 0.1, stroke, depth);
    Bar(v, a.x + 1.45, a.y + 2, a.x + 0.8, a.y + 0.1, stroke, depth);
    return {o, r, v};
}

// Glowing lines on the ground instead of a floor: `lines` lines each way across a square of
// `size`, `width` wide, at height 0 and facing up. Between them there is nothing, so the fog's
// colour shows through and a renderer only fills the thin lines. The texture's u runs across
// each line, so a picture that is bright in its middle and dark at its sides (LineTexture)
// draws soft lines.
Mesh Grid(double size, int lines, double width) {
    Mesh mesh{"Grid", "Neon", 0, {}, {}, {}};
    const double half = size / 2, step = size / (lines - 1);
    const Vec below{0, -1, 0};
    auto quad = [&](Vec a, Vec b, Vec c, Vec d) {
        int first = static_cast<int>(mesh.points.size());
        for (Vec corner : {a, b, c, d})
            mesh.Add(corner);
        mesh.texCoords.insert(mesh.texCoords.end(), {0, 0, 1, 0, 1, 1, 0, 1});
        mesh.OutwardFace(first, first + 1, first + 2, below);
        mesh.OutwardFace(first, first + 2, first + 3, below);
    };
    for (int i = 0; i < lines; ++i) {
        double at = -half + i * step, w = width / 2;
        // One line along z at x = at, one along x at z = at.
        quad({at - w, 0, -half}, {at + w, 0, -half}, {at + w, 0, half}, {at - w, 0, half});
        quad({-half, 0, at - w}, {-half, 0, at + w}, {half, 0, at + w}, {half, 0, at - w});
    }
    return mesh;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    std::string folder = std::string(argv[1]) + "/";

    const Orv3dsModelMaterial gold{
        "Gold", {0.3f, 0.2f, 0.05f}, {0.9f, 0.62f, 0.18f}, {1.0f, 0.9f, 0.7f}, 0.6f, ""};
    const Orv3dsModelMaterial ruby{
        "Ruby", {0.3f, 0.03f, 0.08f}, {0.95f, 0.12f, 0.25f}, {0.7f, 0.5f, 0.55f}, 0.8f, ""};
    const Orv3dsModelMaterial deepRuby{
        "DeepRuby", {0.35f, 0.02f, 0.12f}, {0.6f, 0.04f, 0.22f}, {0.6f, 0.4f, 0.5f}, 0.8f, ""};
    const Orv3dsModelMaterial chrome{
        "Chrome", {0.2f, 0.22f, 0.25f}, {0.6f, 0.68f, 0.8f}, {0.8f, 0.8f, 0.8f}, 0.9f, ""};
    const Orv3dsModelMaterial ember{
        "Ember", {0.3f, 0.08f, 0.0f}, {1.0f, 0.35f, 0.05f}, {1.0f, 0.8f, 0.5f}, 0.5f, ""};
    const Orv3dsModelMaterial neon{
        "Neon", {1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f}, 0.0f, LineTexture};

    Mesh crown{"Crown", "Ruby", 0, {}, {}, {}};
    Mesh pavilion{"Pavilion", "DeepRuby", 0, {}, {}, {}};
    Gem(12, crown, pavilion);

    bool saved = Save(folder + "torus.3ds", {gold}, {Torus("Ring", "Gold", 1.6, 0.55, 64, 24)}) &&
                 Save(folder + "gem.3ds", {ruby, deepRuby}, {crown, pavilion}) &&
                 Save(folder + "letters.3ds", {chrome, ember}, Letters()) &&
                 Save(folder + "grid.3ds", {neon}, {Grid(80, 33, 0.16)});
    return saved ? 0 : 1;
}
