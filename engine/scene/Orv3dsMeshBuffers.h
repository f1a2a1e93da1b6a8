#ifndef ORV_SCENE_ORV3DSMESHBUFFERS_H
#define ORV_SCENE_ORV3DSMESHBUFFERS_H

// The OpenGL vertex buffers of one 3DS mesh: positions and normals (three floats per triangle
// corner), texture coordinates from the file and generated ones (two floats per corner).
//
// Owns the buffer names it creates and deletes them in its destructor, when a context is
// current (without one they ended with it). Meshes hold it through a shared pointer: a model
// and its duplicates draw from the same buffers, which go with the last mesh that uses them,
// so nothing is deleted twice. Not copyable. Upload needs a current context.

#include <vector>

class Orv3dsMeshBuffers {
public:
    enum Kind { Positions = 0, Normals = 1, TexCoords = 2, GeneratedTexCoords = 3, KindCount = 4 };

    Orv3dsMeshBuffers();
    ~Orv3dsMeshBuffers();
    Orv3dsMeshBuffers(const Orv3dsMeshBuffers&) = delete;
    Orv3dsMeshBuffers& operator=(const Orv3dsMeshBuffers&) = delete;

    // Puts the floats into the buffer of that kind (made on first use; replaced after).
    // Leaves GL_ARRAY_BUFFER unbound.
    void Upload(Kind kind, const std::vector<float>& data);
    // The buffer name of that kind; 0 when nothing was uploaded.
    unsigned Name(Kind kind) const { return names[kind]; }

private:
    unsigned names[KindCount];
};

#endif
