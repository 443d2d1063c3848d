// The kit's item models: simple shapes made of triangles (boxes, wedges, prisms and cones)
// whose outline from above reads as what they are: a tank's hull, turret and barrel, a house
// with its roof ridge, a round tower. Coordinates are in 1/256 metre, x east, y north, z up.
// Larger models get coarser levels of detail for the map view to switch to when zoomed out.
#include "data/tools/kit.h"

#include "gamedata/model.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kM = 256;  // one metre

// Hidden-edge bits of a triangle: edge e (0: v0-v1, 1: v1-v2, 2: v2-v0) is left out of
// the outline when bit (2 << e) is set. The diagonals that split quads are hidden.
constexpr std::uint32_t kHide0 = 2, kHide2 = 8;

struct Builder {
    ModelDescMesh mesh;

    std::uint16_t vertex(double x, double y, double z) {
        ModelVertex v;
        v.x = static_cast<std::int16_t>(std::lround(x));
        v.y = static_cast<std::int16_t>(std::lround(y));
        v.z = static_cast<std::int16_t>(std::lround(z));
        mesh.vertices.push_back(v);
        return static_cast<std::uint16_t>(mesh.vertices.size() - 1);
    }
    void tri(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint32_t hidden = 0) {
        ModelDescTriangle t;
        t.v[0] = a;
        t.v[1] = b;
        t.v[2] = c;
        t.flags = hidden;
        t.face = 0;
        mesh.triangles.push_back(t);
    }
    // Quad a-b-c-d as two triangles sharing the hidden diagonal a-c.
    void quad(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d) {
        tri(a, b, c, kHide2);
        tri(a, c, d, kHide0);
    }
    // A closed polygon ring at two heights: walls, and caps fanned from vertex 0.
    void prismRing(const std::vector<std::pair<double, double>>& ring, double z0, double z1) {
        const std::size_t n = ring.size();
        std::vector<std::uint16_t> lo, hi;
        for (const auto& [x, y] : ring) {
            lo.push_back(vertex(x, y, z0));
            hi.push_back(vertex(x, y, z1));
        }
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t j = (i + 1) % n;
            quad(lo[i], lo[j], hi[j], hi[i]);
        }
        for (std::size_t i = 1; i + 1 < n; ++i) {
            // Only the ring's own edges show: the fan's inner edges are hidden.
            const std::uint32_t first = i != 1 ? 0 : 1, last = i + 2 != n ? 0 : 1;
            tri(hi[0], hi[i], hi[i + 1], (first ? 0 : kHide0) | (last ? 0 : kHide2));
            tri(lo[0], lo[i + 1], lo[i], (last ? 0 : kHide0) | (first ? 0 : kHide2));
        }
    }
    void box(double x0, double y0, double z0, double x1, double y1, double z1) {
        prismRing({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, z0, z1);
    }
    // An n-sided prism around (cx, cy): a cylinder when n is large enough.
    void cylinder(double cx, double cy, double r, double z0, double z1, int n) {
        std::vector<std::pair<double, double>> ring;
        for (int i = 0; i < n; ++i) {
            const double a = 2 * kPi * i / n;
            ring.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
        }
        prismRing(ring, z0, z1);
    }
    void cone(double cx, double cy, double r, double z0, double z1, int n) {
        std::vector<std::uint16_t> base;
        for (int i = 0; i < n; ++i) {
            const double a = 2 * kPi * i / n + 0.3;
            base.push_back(vertex(cx + r * std::cos(a), cy + r * std::sin(a), z0));
        }
        const std::uint16_t apex = vertex(cx, cy, z1);
        for (int i = 0; i < n; ++i) tri(base[std::size_t(i)], base[std::size_t((i + 1) % n)], apex);
    }
    // A gabled roof over the rectangle, its ridge along the longer side.
    void roof(double x0, double y0, double x1, double y1, double z0, double z1) {
        const bool alongX = (x1 - x0) >= (y1 - y0);
        const std::uint16_t a = vertex(x0, y0, z0), b = vertex(x1, y0, z0), c = vertex(x1, y1, z0),
                            d = vertex(x0, y1, z0);
        if (alongX) {
            const double ym = (y0 + y1) / 2;
            const std::uint16_t r0 = vertex(x0, ym, z1), r1 = vertex(x1, ym, z1);
            quad(a, b, r1, r0);
            quad(c, d, r0, r1);
            tri(d, a, r0);
            tri(b, c, r1);
        } else {
            const double xm = (x0 + x1) / 2;
            const std::uint16_t r0 = vertex(xm, y0, z1), r1 = vertex(xm, y1, z1);
            quad(b, c, r1, r0);
            quad(d, a, r0, r1);
            tri(a, b, r0);
            tri(c, d, r1);
        }
    }
};

using Shape = std::function<void(Builder&)>;

ModelDescMesh finish(Builder& b, const std::string& name) {
    b.mesh.name = name;
    ModelDescFace face;  // one plain, untextured face for every triangle
    b.mesh.faces.push_back(face);
    double r = 0;
    for (const ModelVertex& v : b.mesh.vertices) r = std::max(r, std::sqrt(double(v.x) * v.x + double(v.y) * v.y));
    // The header's radius is in 1/65536 metre: the map view takes it >> 8 as world units.
    b.mesh.radius = static_cast<std::int32_t>(std::lround(r)) * 256;
    return b.mesh;
}

struct ModelRecipe {
    std::string name;
    std::vector<Shape> lods;  // finest first
    double squash = 1.0;      // destroyed variants are flattened
};

ModelDesc build(const ModelRecipe& recipe) {
    ModelDesc d;
    d.name = recipe.name;
    for (const Shape& s : recipe.lods) {
        Builder b;
        s(b);
        if (recipe.squash != 1.0)
            for (ModelVertex& v : b.mesh.vertices) v.z = static_cast<std::int16_t>(std::lround(v.z * recipe.squash));
        d.lods.push_back(finish(b, recipe.name));
    }
    return d;
}

// Shapes. Each function draws one level of detail.
void tankFull(Builder& b) {
    b.box(-3.6 * kM, -1.7 * kM, 0, 3.6 * kM, 1.7 * kM, 1.2 * kM);   // hull
    b.box(-3.2 * kM, -1.9 * kM, 0, 3.2 * kM, -1.6 * kM, 0.8 * kM);  // tracks
    b.box(-3.2 * kM, 1.6 * kM, 0, 3.2 * kM, 1.9 * kM, 0.8 * kM);
    b.cylinder(-0.4 * kM, 0, 1.3 * kM, 1.2 * kM, 2.0 * kM, 8);              // turret
    b.box(0.8 * kM, -0.12 * kM, 1.5 * kM, 6.0 * kM, 0.12 * kM, 1.75 * kM);  // barrel, facing east
}
void tankMid(Builder& b) {
    b.box(-3.6 * kM, -1.9 * kM, 0, 3.6 * kM, 1.9 * kM, 1.2 * kM);
    b.box(0.8 * kM, -0.15 * kM, 1.5 * kM, 6.0 * kM, 0.15 * kM, 1.75 * kM);
}
void tankLow(Builder& b) { b.box(-3.6 * kM, -1.9 * kM, 0, 3.6 * kM, 1.9 * kM, 1.6 * kM); }

void truckFull(Builder& b) {
    b.box(1.6 * kM, -1.1 * kM, 0.5 * kM, 3.2 * kM, 1.1 * kM, 2.4 * kM);   // cab
    b.box(-3.4 * kM, -1.2 * kM, 0.5 * kM, 1.4 * kM, 1.2 * kM, 2.8 * kM);  // cargo box
    for (double x : {-2.6, -1.4, 2.4})
        for (double y : {-1.1, 1.1}) b.cylinder(x * kM, y * kM, 0.45 * kM, 0, 0.3 * kM, 6);
}
void truckLow(Builder& b) { b.box(-3.4 * kM, -1.2 * kM, 0, 3.2 * kM, 1.2 * kM, 2.8 * kM); }

void scoutFull(Builder& b) {
    b.box(-2.0 * kM, -0.9 * kM, 0.3 * kM, 2.0 * kM, 0.9 * kM, 1.2 * kM);
    b.box(-1.0 * kM, -0.8 * kM, 1.2 * kM, 0.6 * kM, 0.8 * kM, 1.8 * kM);
    b.box(-0.4 * kM, -0.05 * kM, 1.8 * kM, 1.4 * kM, 0.05 * kM, 1.9 * kM);  // roof gun
}

void apcFull(Builder& b) {
    // A hull with a sloped front: the front edge is narrower.
    b.prismRing({{-3.2 * kM, -1.5 * kM},
                 {2.4 * kM, -1.5 * kM},
                 {3.4 * kM, -0.9 * kM},
                 {3.4 * kM, 0.9 * kM},
                 {2.4 * kM, 1.5 * kM},
                 {-3.2 * kM, 1.5 * kM}},
                0, 1.8 * kM);
    b.cylinder(0.6 * kM, 0, 0.6 * kM, 1.8 * kM, 2.3 * kM, 6);
    b.box(1.0 * kM, -0.06 * kM, 2.0 * kM, 3.4 * kM, 0.06 * kM, 2.1 * kM);
}
void apcLow(Builder& b) { b.box(-3.2 * kM, -1.5 * kM, 0, 3.4 * kM, 1.5 * kM, 2.0 * kM); }

void boatFull(Builder& b) {
    b.prismRing(
        {{-3.0 * kM, -1.1 * kM}, {1.5 * kM, -1.1 * kM}, {3.5 * kM, 0}, {1.5 * kM, 1.1 * kM}, {-3.0 * kM, 1.1 * kM}}, 0,
        0.9 * kM);
    b.box(-1.2 * kM, -0.6 * kM, 0.9 * kM, 0.4 * kM, 0.6 * kM, 2.0 * kM);
}

void houseFull(Builder& b) {
    b.box(-5 * kM, -3.5 * kM, 0, 5 * kM, 3.5 * kM, 3 * kM);
    b.roof(-5.4 * kM, -3.9 * kM, 5.4 * kM, 3.9 * kM, 3 * kM, 5.5 * kM);
    b.box(2.5 * kM, 1.0 * kM, 4 * kM, 3.3 * kM, 1.8 * kM, 6.2 * kM);  // chimney
}
void houseLow(Builder& b) {
    b.box(-5 * kM, -3.5 * kM, 0, 5 * kM, 3.5 * kM, 3 * kM);
    b.roof(-5.4 * kM, -3.9 * kM, 5.4 * kM, 3.9 * kM, 3 * kM, 5.5 * kM);
}
void houseTiny(Builder& b) { b.box(-5.4 * kM, -3.9 * kM, 0, 5.4 * kM, 3.9 * kM, 5.5 * kM); }

void barnFull(Builder& b) {
    b.box(-8 * kM, -5 * kM, 0, 8 * kM, 5 * kM, 4 * kM);
    b.roof(-8.5 * kM, -5.5 * kM, 8.5 * kM, 5.5 * kM, 4 * kM, 8 * kM);
    b.box(-2 * kM, -5.2 * kM, 0, 2 * kM, -5 * kM, 3.5 * kM);  // doors
}
void barnLow(Builder& b) { b.box(-8.5 * kM, -5.5 * kM, 0, 8.5 * kM, 5.5 * kM, 8 * kM); }

void towerFull(Builder& b) {
    for (double x : {-1.6, 1.6})
        for (double y : {-1.6, 1.6})
            b.box((x - 0.15) * kM, (y - 0.15) * kM, 0, (x + 0.15) * kM, (y + 0.15) * kM, 8 * kM);
    b.box(-2.2 * kM, -2.2 * kM, 8 * kM, 2.2 * kM, 2.2 * kM, 8.4 * kM);  // platform
    b.cone(0, 0, 3.0 * kM, 10.5 * kM, 12.5 * kM, 8);                    // roof
}
void towerLow(Builder& b) { b.cylinder(0, 0, 2.2 * kM, 0, 10 * kM, 8); }

void barracksFull(Builder& b) {
    b.box(-10 * kM, -4 * kM, 0, 10 * kM, 4 * kM, 3 * kM);
    b.roof(-10.3 * kM, -4.3 * kM, 10.3 * kM, 4.3 * kM, 3 * kM, 4.5 * kM);
    b.box(-1.2 * kM, -5.5 * kM, 0, 1.2 * kM, -4 * kM, 2.6 * kM);  // porch
}
void barracksLow(Builder& b) { b.box(-10.3 * kM, -4.3 * kM, 0, 10.3 * kM, 4.3 * kM, 4.5 * kM); }

void bunkerFull(Builder& b) {
    b.cylinder(0, 0, 4 * kM, 0, 2.2 * kM, 12);
    b.box(3.6 * kM, -1.5 * kM, 1.2 * kM, 4.3 * kM, 1.5 * kM, 1.7 * kM);  // firing slit
    b.box(-6 * kM, -0.8 * kM, 0, -3.8 * kM, 0.8 * kM, 1.8 * kM);         // entrance
}
void bunkerLow(Builder& b) { b.cylinder(0, 0, 4.2 * kM, 0, 2.2 * kM, 6); }

void fueltankFull(Builder& b) {
    b.cylinder(0, 0, 3.5 * kM, 0, 6 * kM, 16);
    b.cone(0, 0, 3.5 * kM, 6 * kM, 7 * kM, 16);
    b.box(3.4 * kM, -0.3 * kM, 0, 3.9 * kM, 0.3 * kM, 6 * kM);  // ladder
}
void fueltankLow(Builder& b) { b.cylinder(0, 0, 3.5 * kM, 0, 7 * kM, 8); }

void pine(Builder& b) {
    b.cylinder(0, 0, 0.25 * kM, 0, 2 * kM, 5);
    b.cone(0, 0, 2.2 * kM, 2 * kM, 11 * kM, 9);
}
void oak(Builder& b) {
    b.cylinder(0, 0, 0.4 * kM, 0, 3 * kM, 6);
    b.cylinder(0, 0, 3.6 * kM, 3 * kM, 7 * kM, 11);
}
void rock(Builder& b) {
    b.prismRing({{-1.4 * kM, -0.8 * kM},
                 {0.3 * kM, -1.3 * kM},
                 {1.5 * kM, -0.4 * kM},
                 {1.1 * kM, 1.0 * kM},
                 {-0.5 * kM, 1.3 * kM},
                 {-1.6 * kM, 0.4 * kM}},
                0, 1.4 * kM);
}
void fence(Builder& b) {
    for (int i = 0; i <= 4; ++i)
        b.box((-4 + 2 * i - 0.08) * kM, -0.08 * kM, 0, (-4 + 2 * i + 0.08) * kM, 0.08 * kM, 1.2 * kM);
    b.box(-4 * kM, -0.03 * kM, 0.8 * kM, 4 * kM, 0.03 * kM, 1.0 * kM);
}
void sandbag(Builder& b) {
    b.prismRing({{-2.5 * kM, -0.4 * kM},
                 {2.5 * kM, -0.4 * kM},
                 {3.0 * kM, 0.6 * kM},
                 {2.6 * kM, 0.9 * kM},
                 {2.1 * kM, 0.4 * kM},
                 {-2.1 * kM, 0.4 * kM},
                 {-2.6 * kM, 0.9 * kM},
                 {-3.0 * kM, 0.6 * kM}},
                0, 1.0 * kM);
}
void wreck(Builder& b) {
    b.prismRing({{-2.2 * kM, -0.9 * kM}, {2.0 * kM, -1.0 * kM}, {2.3 * kM, 0.8 * kM}, {-2.1 * kM, 0.95 * kM}}, 0,
                0.9 * kM);
    b.box(-0.9 * kM, -0.7 * kM, 0.9 * kM, 0.7 * kM, 0.7 * kM, 1.3 * kM);
}
void statue(Builder& b) {
    b.box(-1.5 * kM, -1.5 * kM, 0, 1.5 * kM, 1.5 * kM, 1.2 * kM);
    b.cylinder(0, 0, 0.5 * kM, 1.2 * kM, 4.5 * kM, 8);
}
void crate(Builder& b) { b.box(-0.6 * kM, -0.4 * kM, 0, 0.6 * kM, 0.4 * kM, 0.7 * kM); }
void barrel(Builder& b) { b.cylinder(0, 0, 0.35 * kM, 0, 1.0 * kM, 10); }
void radio(Builder& b) {
    b.box(-0.3 * kM, -0.2 * kM, 0, 0.3 * kM, 0.2 * kM, 0.5 * kM);
    b.box(0.2 * kM, 0.1 * kM, 0.5 * kM, 0.24 * kM, 0.14 * kM, 2.0 * kM);  // aerial
}
void door(Builder& b) { b.box(-0.5 * kM, -0.05 * kM, 0, 0.5 * kM, 0.05 * kM, 2.1 * kM); }
void gate(Builder& b) {
    b.box(-2.2 * kM, -0.15 * kM, 0, -2.0 * kM, 0.15 * kM, 1.6 * kM);
    b.box(2.0 * kM, -0.15 * kM, 0, 2.2 * kM, 0.15 * kM, 1.6 * kM);
    b.box(-2.0 * kM, -0.05 * kM, 0.2 * kM, 2.0 * kM, 0.05 * kM, 1.4 * kM);
}

std::vector<ModelRecipe> recipes() {
    return {
        {"tank", {tankFull, tankMid, tankLow}},
        {"tankd", {tankMid, tankLow}, 0.5},
        {"truck", {truckFull, truckLow}},
        {"truckd", {truckLow}, 0.4},
        {"scoutcar", {scoutFull}},
        {"apc", {apcFull, apcLow}},
        {"apcd", {apcLow}, 0.5},
        {"boat", {boatFull}},
        {"house", {houseFull, houseLow, houseTiny}},
        {"housed", {houseTiny}, 0.3},
        {"barn", {barnFull, barnLow}},
        {"barnd", {barnLow}, 0.3},
        {"tower", {towerFull, towerLow}},
        {"barracks", {barracksFull, barracksLow}},
        {"barracksd", {barracksLow}, 0.3},
        {"bunker", {bunkerFull, bunkerLow}},
        {"fueltank", {fueltankFull, fueltankLow}},
        {"fueltankd", {fueltankLow}, 0.3},
        {"pine", {pine}},
        {"oak", {oak}},
        {"rock", {rock}},
        {"fence", {fence}},
        {"sandbag", {sandbag}},
        {"wreck", {wreck}},
        {"statue", {statue}},
        {"crate", {crate}},
        {"barrel", {barrel}},
        {"radio", {radio}},
        {"door", {door}},
        {"gate", {gate}},
    };
}

}  // namespace

// sortie-kit models OUTDIR: writes every model as OUTDIR/NAME.3di.
int kit_Models(const std::string& outDir) {
    for (const ModelRecipe& s : recipes())
        if (!model_WriteFile(outDir + "/" + s.name + ".3di", build(s))) return 1;
    return 0;
}

std::vector<std::string> kit_ModelNames() {
    std::vector<std::string> names;
    for (const ModelRecipe& s : recipes()) names.push_back(s.name + ".3di");
    return names;
}
