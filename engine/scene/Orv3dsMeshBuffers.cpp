#include "scene/Orv3dsMeshBuffers.h"

#include "gfx/OrvGlState.h"

#include <epoxy/gl.h>

Orv3dsMeshBuffers::Orv3dsMeshBuffers() : names{0, 0, 0, 0} {}

Orv3dsMeshBuffers::~Orv3dsMeshBuffers() {
    if (!OrvGlState::HasCurrentContext())
        return;
    for (unsigned& name : names) {
        if (name != 0)
            glDeleteBuffers(1, &name);
        name = 0;
    }
}

void Orv3dsMeshBuffers::Upload(Kind kind, const std::vector<float>& data) {
    if (names[kind] == 0)
        glGenBuffers(1, &names[kind]);
    glBindBuffer(GL_ARRAY_BUFFER, names[kind]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data.size() * sizeof(float)),
                 data.empty() ? nullptr : data.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}
