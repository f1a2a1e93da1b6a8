#include "scene/Orv3dsCornerNormals.h"

#include <cmath>

namespace {

// lib3ds_vector_normalize: a vector too short to scale becomes the axis of its largest
// component.
void Normalize(float* v) {
    float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (std::fabs(length) < 1e-8) {
        if (v[0] >= v[1] && v[0] >= v[2]) {
            v[0] = 1.0f;
            v[1] = v[2] = 0.0f;
        } else if (v[1] >= v[2]) {
            v[1] = 1.0f;
            v[0] = v[2] = 0.0f;
        } else {
            v[2] = 1.0f;
            v[0] = v[1] = 0.0f;
        }
        return;
    }
    float scale = 1.0f / length;
    v[0] *= scale;
    v[1] *= scale;
    v[2] *= scale;
}

bool SameDirection(const float* a, const float* b) {
    float dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
    return std::fabs(dot - 1.0) < 1e-5;
}

// The faces around each vertex, as one list of corners per vertex (first[v] to first[v + 1]
// in `faces`). Within a vertex the latest corner comes first, the order lib3ds walks them in.
void CornersByVertex(int vertexCount, const std::vector<int>& corners, std::vector<int>& first,
                     std::vector<int>& faces) {
    first.assign(static_cast<std::size_t>(vertexCount) + 1, 0);
    for (int vertex : corners)
        ++first[vertex + 1];
    for (int v = 0; v < vertexCount; ++v)
        first[v + 1] += first[v];
    faces.assign(corners.size(), 0);
    // Filled from the last corner backwards, so each vertex's list ends with its first.
    std::vector<int> fill(first.begin(), first.end() - 1);
    for (std::size_t corner = corners.size(); corner-- > 0;)
        faces[fill[corners[corner]]++] = static_cast<int>(corner / 3);
}

struct Direction {
    float normal[3];
    uint32_t mask; // the smoothing groups of all faces with this direction
};

struct MaskSum {
    uint32_t mask;
    float normal[3];
};

} // namespace

bool Orv3dsCornerNormals::LibraryCanCompute(int vertexCount, const std::vector<int>& corners) {
    std::vector<long long> uses(static_cast<std::size_t>(vertexCount), 0);
    for (int vertex : corners)
        ++uses[vertex];
    long long work = 0;
    for (long long count : uses) {
        if (count > LibraryCornerLimit)
            return false;
        work += count * count * count;
    }
    return work <= LibraryWorkLimit;
}

bool Orv3dsCornerNormals::Compute(int vertexCount, const std::vector<int>& corners,
                                  const std::vector<uint32_t>& smoothing,
                                  const std::vector<float>& faceNormals,
                                  std::vector<float>& normals) {
    normals.assign(corners.size() * 3, 0.0f);
    std::vector<int> first;
    std::vector<int> faces;
    CornersByVertex(vertexCount, corners, first, faces);

    long long work = 0;
    std::vector<Direction> directions;
    std::vector<MaskSum> sums;
    // Each vertex on its own: group the directions of its faces, then give each of its
    // corners the sum for its face's mask.
    for (int v = 0; v < vertexCount; ++v) {
        directions.clear();
        sums.clear();
        for (int i = first[v]; i < first[v + 1]; ++i) {
            int face = faces[i];
            const float* normal = &faceNormals[static_cast<std::size_t>(face) * 3];
            bool found = false;
            for (Direction& direction : directions) {
                ++work;
                if (SameDirection(direction.normal, normal)) {
                    direction.mask |= smoothing[face];
                    found = true;
                    break;
                }
            }
            if (!found)
                directions.push_back({{normal[0], normal[1], normal[2]}, smoothing[face]});
            if (work > WorkLimit)
                return false;
        }
        for (int i = first[v]; i < first[v + 1]; ++i) {
            int face = faces[i];
            uint32_t mask = smoothing[face];
            float result[3];
            if (mask == 0) {
                const float* normal = &faceNormals[static_cast<std::size_t>(face) * 3];
                result[0] = normal[0];
                result[1] = normal[1];
                result[2] = normal[2];
            } else {
                const MaskSum* known = nullptr;
                for (const MaskSum& sum : sums) {
                    ++work;
                    if (sum.mask == mask) {
                        known = &sum;
                        break;
                    }
                }
                if (!known) {
                    MaskSum sum{mask, {0.0f, 0.0f, 0.0f}};
                    for (const Direction& direction : directions) {
                        ++work;
                        if (direction.mask & mask) {
                            sum.normal[0] += direction.normal[0];
                            sum.normal[1] += direction.normal[1];
                            sum.normal[2] += direction.normal[2];
                        }
                    }
                    sums.push_back(sum);
                    known = &sums.back();
                }
                result[0] = known->normal[0];
                result[1] = known->normal[1];
                result[2] = known->normal[2];
            }
            if (work > WorkLimit)
                return false;
            Normalize(result);
            // Which corner of the face this is: the face may use the vertex more than once,
            // and each such corner gets the same normal.
            for (int corner = 0; corner < 3; ++corner) {
                if (corners[static_cast<std::size_t>(face) * 3 + corner] == v) {
                    float* out = &normals[(static_cast<std::size_t>(face) * 3 + corner) * 3];
                    out[0] = result[0];
                    out[1] = result[1];
                    out[2] = result[2];
                }
            }
        }
    }
    return true;
}
