// Builds the bundled show's vector pictures (".ovi" files), each in two poses the engine morphs
// between, in the pixels of the square render buffer it is drawn into (x right, y down):
//
//   emblem.ovi  384 x 384: the show's emblem: a gold ring, an eight-pointed star with a
//               round hole, an orange core and eight dots around it; the star twists and
//               rounds its points, the ring thins and the dots turn an eighth of a turn
//   flower.ovi  384 x 384: a flower: two layers of six petals each, eight inner petals and a
//               heart; it opens from a bud to full bloom
//   star.ovi    256 x 256 (the trails' buffers are smaller): a white five-pointed star with a
//               cyan ring inside; the points round into lobes and turn
//
//   orv-make-vectors <output folder>
//
// File layout (little-endian, counts unsigned 32-bit, values 32-bit floats): frame count,
// layer count, the path count of each layer, the segment count of each path, then per frame
// and layer the layer's header (red, green, blue, alpha and five unused values) and its
// paths' segments (x0 y0 x1 y1 x2 y2 x3 y3 density). Both poses of a picture have the same
// layers, paths and segment counts; only the values differ.
//
// The engine fills each path on its own by the even-odd rule. A shape with a hole is therefore
// one path that goes round the outside and then round the hole; layers never hold paths that
// overlap each other (the later would cover the earlier in the same colour anyway).

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {
const double Pi = 3.14159265358979323846;
const double Centre = 256;
// Points per segment are density / 1000: sixteen points make a smooth curve at this size.
const float Density = 16000;

struct Point {
    double x, y;
};
Point operator+(Point a, Point b) {
    return {a.x + b.x, a.y + b.y};
}
Point operator-(Point a, Point b) {
    return {a.x - b.x, a.y - b.y};
}
Point operator*(Point a, double s) {
    return {a.x * s, a.y * s};
}
// The point at `radius` from the centre, `angle` radians clockwise from straight up.
Point Polar(double radius, double angle) {
    return {Centre + radius * std::sin(angle), Centre - radius * std::cos(angle)};
}

struct Segment {
    Point start, control1, control2, end;
};

struct Layer {
    float red, green, blue, alpha;
    std::vector<std::vector<Segment>> paths;
};
using Pose = std::vector<Layer>;

// A straight edge as a cubic curve, with its control points a third of the way along.
Segment Straight(Point a, Point b) {
    return {a, a + (b - a) * (1.0 / 3), a + (b - a) * (2.0 / 3), b};
}

// A circle of `parts` arcs, clockwise on screen from `turn` (or anticlockwise when `reverse`),
// appended to `path`.
void Circle(std::vector<Segment>& path, double radius, int parts, double turn, bool reverse) {
    const double step = (reverse ? -2 : 2) * Pi / parts;
    // The control points of a circular arc lie on its end tangents, 4/3 tan(angle / 4) out.
    const double reach = 4.0 / 3.0 * std::tan(step / 4) * radius;
    for (int i = 0; i < parts; ++i) {
        double a = turn + i * step, b = a + step;
        Point start = Polar(radius, a), end = Polar(radius, b);
        Point tangentA{std::cos(a), std::sin(a)}, tangentB{std::cos(b), std::sin(b)};
        path.push_back({start, start + tangentA * reach, end - tangentB * reach, end});
    }
}

// A star of `points` points between the radii `tip` and `valley`, turned by `turn`. `bulge`
// pushes each edge's control points out from the centre (0 draws straight edges), which
// rounds the points into lobes.
void Star(std::vector<Segment>& path, int points, double tip, double valley, double turn,
          double bulge) {
    for (int i = 0; i < points * 2; ++i) {
        double a = turn + Pi * i / points, b = turn + Pi * (i + 1) / points;
        double ra = i % 2 ? valley : tip, rb = i % 2 ? tip : valley;
        Segment edge = Straight(Polar(ra, a), Polar(rb, b));
        double mid = (a + b) / 2;
        Point out = Polar(1, mid) - Point{Centre, Centre};
        edge.control1 = edge.control1 + out * bulge;
        edge.control2 = edge.control2 + out * bulge;
        path.push_back(edge);
    }
}

// A petal: out from `base` to `tip` along the angle `turn` and back, `width` wide at its
// widest, as two curves.
std::vector<Segment> Petal(double base, double tip, double width, double turn) {
    Point from = Polar(base, turn), to = Polar(tip, turn);
    Point side = Polar(1, turn + Pi / 2) - Point{Centre, Centre};
    Point along = to - from;
    Point c1 = from + along * 0.25, c2 = from + along * 0.8;
    double reach = width * 2.0 / 3.0;
    return {{from, c1 + side * reach, c2 + side * (reach * 0.6), to},
            {to, c2 - side * (reach * 0.6), c1 - side * reach, from}};
}

std::vector<Segment> Disc(double radius, double x, double y) {
    std::vector<Segment> path;
    Circle(path, radius, 4, 0, false);
    for (Segment& s : path) {
        Point shift{x - Centre, y - Centre};
        s.start = s.start + shift;
        s.control1 = s.control1 + shift;
        s.control2 = s.control2 + shift;
        s.end = s.end + shift;
    }
    return path;
}

// The emblem; `open` 0 is the first pose, 1 the second.
Pose Emblem(double open) {
    auto mix = [open](double a, double b) { return a + (b - a) * open; };
    Layer ring{1.0f, 0.72f, 0.25f, 1.0f, {{}}};
    Circle(ring.paths[0], mix(226, 234), 8, 0, false);
    Circle(ring.paths[0], mix(198, 218), 8, 0, true);
    Layer star{1.0f, 0.96f, 0.88f, 1.0f, {{}}};
    Star(star.paths[0], 8, mix(185, 165), mix(70, 108), mix(0, Pi / 8), mix(0, 22));
    Circle(star.paths[0], mix(46, 58), 8, 0, true);
    Layer core{1.0f, 0.42f, 0.1f, 1.0f, {{}}};
    Circle(core.paths[0], mix(30, 44), 8, 0, false);
    Layer dots{1.0f, 0.85f, 0.5f, 1.0f, {}};
    for (int i = 0; i < 8; ++i) {
        Point at = Polar(245, (i + open) * Pi / 4);
        dots.paths.push_back(Disc(mix(9, 6), at.x, at.y));
    }
    return {ring, star, core, dots};
}

Pose Flower(double open) {
    auto mix = [open](double a, double b) { return a + (b - a) * open; };
    Layer outerA{0.95f, 0.3f, 0.62f, 1.0f, {}};
    Layer outerB{0.72f, 0.26f, 0.88f, 1.0f, {}};
    for (int i = 0; i < 6; ++i) {
        double turn = i * Pi / 3 + mix(0, 0.3);
        outerA.paths.push_back(Petal(18, mix(118, 238), mix(40, 88), turn));
        outerB.paths.push_back(Petal(18, mix(100, 215), mix(36, 80), turn + Pi / 6));
    }
    Layer inner{1.0f, 0.62f, 0.18f, 1.0f, {}};
    for (int i = 0; i < 8; ++i)
        inner.paths.push_back(Petal(10, mix(62, 118), mix(22, 40), i * Pi / 4 - mix(0, 0.25)));
    Layer heart{1.0f, 0.9f, 0.35f, 1.0f, {{}}};
    Circle(heart.paths[0], mix(26, 38), 8, 0, false);
    return {outerB, outerA, inner, heart};
}

Pose StarPicture(double open) {
    auto mix = [open](double a, double b) { return a + (b - a) * open; };
    Layer star{1.0f, 1.0f, 1.0f, 1.0f, {{}}};
    Star(star.paths[0], 5, mix(240, 205), mix(92, 150), mix(0, Pi / 5), mix(0, 40));
    Layer ring{0.35f, 0.9f, 1.0f, 1.0f, {{}}};
    Circle(ring.paths[0], mix(70, 95), 8, 0, false);
    Circle(ring.paths[0], mix(50, 60), 8, 0, true);
    return {star, ring};
}

class Writer {
public:
    explicit Writer(const std::string& path) : file(std::fopen(path.c_str(), "wb")) {}
    ~Writer() {
        if (file)
            std::fclose(file);
    }
    bool Open() const { return file != nullptr; }
    void Count(uint32_t value) {
        unsigned char bytes[4] = {static_cast<unsigned char>(value & 0xff),
                                  static_cast<unsigned char>((value >> 8) & 0xff),
                                  static_cast<unsigned char>((value >> 16) & 0xff),
                                  static_cast<unsigned char>((value >> 24) & 0xff)};
        ok = ok && std::fwrite(bytes, 1, 4, file) == 4;
    }
    void Value(double value) {
        float f = static_cast<float>(value);
        uint32_t bits = 0;
        static_assert(sizeof bits == sizeof f, "32-bit floats");
        std::memcpy(&bits, &f, sizeof bits);
        Count(bits);
    }
    bool Close() {
        bool closed = std::fclose(file) == 0;
        file = nullptr;
        return ok && closed;
    }

private:
    std::FILE* file;
    bool ok = true;
};

bool SameShape(const Pose& a, const Pose& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t l = 0; l < a.size(); ++l) {
        if (a[l].paths.size() != b[l].paths.size())
            return false;
        for (std::size_t p = 0; p < a[l].paths.size(); ++p)
            if (a[l].paths[p].size() != b[l].paths[p].size())
                return false;
    }
    return true;
}

// The pictures are laid out for a 512 x 512 buffer; `scale` sizes them for the one they are
// drawn into.
bool Save(const std::string& path, const std::vector<Pose>& poses, double scale) {
    for (const Pose& pose : poses) {
        if (!SameShape(poses[0], pose)) {
            std::fprintf(stderr, "%s: the poses differ in their layers, paths or segments\n",
                         path.c_str());
            return false;
        }
    }
    Writer out(path);
    if (!out.Open()) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    const Pose& shape = poses[0];
    out.Count(static_cast<uint32_t>(poses.size()));
    out.Count(static_cast<uint32_t>(shape.size()));
    for (const Layer& layer : shape)
        out.Count(static_cast<uint32_t>(layer.paths.size()));
    for (const Layer& layer : shape)
        for (const std::vector<Segment>& segments : layer.paths)
            out.Count(static_cast<uint32_t>(segments.size()));
    for (const Pose& pose : poses) {
        for (const Layer& layer : pose) {
            const double header[9] = {layer.red, layer.green, layer.blue, layer.alpha, 0, 0,
                                      0,         0,           0};
            for (double value : header)
                out.Value(value);
            for (const std::vector<Segment>& segments : layer.paths) {
                for (const Segment& s : segments) {
                    const double points[8] = {s.start.x,    s.start.y,    s.control1.x,
                                              s.control1.y, s.control2.x, s.control2.y,
                                              s.end.x,      s.end.y};
                    for (double value : points)
                        out.Value(value * scale);
                    out.Value(Density);
                }
            }
        }
    }
    if (!out.Close()) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    std::string folder = std::string(argv[1]) + "/";
    bool saved = Save(folder + "emblem.ovi", {Emblem(0), Emblem(1)}, 0.75) &&
                 Save(folder + "flower.ovi", {Flower(0), Flower(1)}, 0.75) &&
                 Save(folder + "star.ovi", {StarPicture(0), StarPicture(1)}, 0.5);
    return saved ? 0 : 1;
}
