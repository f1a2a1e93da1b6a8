#include "scene/OrvParticleBatch.h"

#include "gfx/OrvGlState.h"

#include <epoxy/gl.h>

#include <cfloat>
#include <cmath>
#include <cstdio>

namespace {

const int CornersPerParticle = 4;
// The corners in drawing order, as (x, y) multiples of the half-side, and their texture
// coordinates. Textures hold their picture's bottom row first (t = 0), so t = 1 goes to the
// square's top edge and a picture stands upright.
const float CornerX[CornersPerParticle] = {-1, 1, 1, -1};
const float CornerY[CornersPerParticle] = {1, 1, -1, -1};
const float CornerS[CornersPerParticle] = {0, 1, 1, 0};
const float CornerT[CornersPerParticle] = {1, 1, 0, 0};

// The texture a particle is drawn with: its index, or -1 when it names none of them.
int TextureOf(const OrvParticle& particle, int textureCount) {
    return particle.textureIndex >= 0 && particle.textureIndex < textureCount
               ? particle.textureIndex
               : -1;
}

} // namespace

OrvParticleBatch::OrvParticleBatch()
    : capacity(0), oneDrawProgram(0), drawCalls(0), fogLocation(-1) {}

void OrvParticleBatch::Reserve(std::size_t particles, std::size_t textures) {
    if (groupStart.size() < textures + 1) {
        groupStart.resize(textures + 1);
        groupNext.resize(textures + 1);
    }
    if (particles <= capacity)
        return;
    positions.resize(particles * CornersPerParticle * 3);
    colors.resize(particles * CornersPerParticle * 4);
    texCoords.resize(particles * CornersPerParticle * 3);
    for (std::size_t i = capacity; i < particles; ++i) {
        for (int corner = 0; corner < CornersPerParticle; ++corner) {
            std::size_t at = (i * CornersPerParticle + corner) * 3;
            texCoords[at] = CornerS[corner];
            texCoords[at + 1] = CornerT[corner];
            texCoords[at + 2] = -1; // the texture's number, for the one-draw program
        }
    }
    capacity = particles;
}

OrvParticleBatch::Corners OrvParticleBatch::WriteSquare(const OrvParticle& particle,
                                                        const OrvVector3& cameraPosition,
                                                        const OrvVector3& cameraUp, bool fadeAway,
                                                        float* position, float* color) {
    OrvVector3 dir = cameraPosition - particle.position;
    double length = dir.Length();
    if (!(length > 0)) // at the camera (or not a number): nothing to face
        return AtCamera;
    dir = dir * (1.0 / length);
    OrvVector3 right = cameraUp.CrossProduct(dir);
    OrvVector3 up = dir.CrossProduct(right);

    double cosine = 1;
    double sine = 0;
    if (particle.rotation != 0) {
        const double radians = particle.rotation * (3.14159265358979323846 / 180.0);
        cosine = std::cos(radians);
        sine = std::sin(radians);
    }

    float alpha = particle.a;
    // An immortal particle (life time 0 or less) has no share of its life to fade by.
    if (fadeAway && particle.lifeTime > 0) {
        float share = static_cast<float>(particle.age) / static_cast<float>(particle.lifeTime);
        // A life time below the smallest float (or beyond the largest) makes the float
        // quotient 0 / 0 or inf / inf; the double one is below 1, as age is below life time.
        if (!(share <= 1.0f))
            share = static_cast<float>(particle.age / particle.lifeTime);
        alpha = particle.a * (1.0f - share);
    }
    if (!(std::isfinite(particle.r) && std::isfinite(particle.g) && std::isfinite(particle.b) &&
          std::isfinite(alpha)))
        return NotFinite;

    const double s = particle.size;
    for (int corner = 0; corner < CornersPerParticle; ++corner) {
        double x = CornerX[corner] * s;
        double y = CornerY[corner] * s;
        double turnedX = x * cosine - y * sine;
        double turnedY = x * sine + y * cosine;
        const double at[3] = {particle.position.x + right.x * turnedX + up.x * turnedY,
                              particle.position.y + right.y * turnedX + up.y * turnedY,
                              particle.position.z + right.z * turnedX + up.z * turnedY};
        for (int axis = 0; axis < 3; ++axis) {
            // Written so that NaN fails too; beyond the largest float a corner has no place.
            if (!(std::fabs(at[axis]) <= double(FLT_MAX)))
                return NotFinite;
            position[axis] = static_cast<float>(at[axis]);
        }
        position += 3;
        color[0] = particle.r;
        color[1] = particle.g;
        color[2] = particle.b;
        color[3] = alpha;
        color += 4;
    }
    return Written;
}

bool OrvParticleBatch::WriteCorners(const OrvParticle& particle, const OrvVector3& cameraPosition,
                                    const OrvVector3& cameraUp, bool fadeAway, std::size_t slot,
                                    float texture) {
    float* coords = &texCoords[slot * CornersPerParticle * 3];
    for (int corner = 0; corner < CornersPerParticle; ++corner)
        coords[corner * 3 + 2] = texture;
    return WriteSquare(particle, cameraPosition, cameraUp, fadeAway,
                       &positions[slot * CornersPerParticle * 3],
                       &colors[slot * CornersPerParticle * 4]) == Written;
}

void OrvParticleBatch::SetOneDrawProgram(unsigned handle) {
    oneDrawProgram = handle;
    if (!handle)
        return;
    glUseProgram(handle);
    for (int unit = 0; unit < MaxOneDrawTextures; ++unit) {
        char name[16];
        std::snprintf(name, sizeof name, "units[%d]", unit);
        GLint location = glGetUniformLocation(handle, name);
        if (location >= 0)
            glUniform1i(location, unit);
    }
    fogLocation = glGetUniformLocation(handle, "fogOn");
    glUseProgram(0);
}

// The particles' picture in one draw, whatever their textures: each texture on its own unit,
// the particle's texture number in its third texture coordinate, the colour modulated by the
// texel as the fixed pipeline does, and its exponential-squared fog when fog is on.
const char* const OrvParticleBatch::OneDrawVertex =
    "varying float fogDepth;\n"
    "void main() {\n"
    "    gl_Position = ftransform();\n"
    "    gl_FrontColor = gl_Color;\n"
    "    gl_TexCoord[0] = gl_MultiTexCoord0;\n"
    "    fogDepth = abs((gl_ModelViewMatrix * gl_Vertex).z);\n"
    "}\n";
std::string OrvParticleBatch::OneDrawFragment(int textures) {
    // Only as many samplers as there are textures: a software renderer runs every branch.
    std::string source = "uniform sampler2D units[" + std::to_string(textures) +
                         "];\n"
                         "uniform int fogOn;\n"
                         "varying float fogDepth;\n"
                         "void main() {\n"
                         "    float which = gl_TexCoord[0].z;\n"
                         "    vec2 st = gl_TexCoord[0].st;\n"
                         "    vec4 texel = vec4(1.0);\n";
    for (int unit = textures - 1; unit >= 0; --unit) {
        std::string index = std::to_string(unit);
        source += std::string(unit == textures - 1 ? "    if" : "    else if") + " (which > " +
                  index + ".0 - 0.5) texel = texture2D(units[" + index + "], st);\n";
    }
    source += "    vec4 colour = gl_Color * texel;\n"
              "    if (fogOn == 1) {\n"
              "        float d = gl_Fog.density * fogDepth;\n"
              "        float f = clamp(exp(-d * d), 0.0, 1.0);\n"
              "        colour.rgb = mix(gl_Fog.color.rgb, colour.rgb, f);\n"
              "    }\n"
              "    gl_FragColor = colour;\n"
              "}\n";
    return source;
}

std::size_t OrvParticleBatch::DrawInOneCall(const std::vector<OrvParticle>& particles,
                                            std::size_t count, const OrvVector3& cameraPosition,
                                            const OrvVector3& cameraUp, bool fadeAway,
                                            const std::vector<unsigned>& textures) {
    const int textureCount = static_cast<int>(textures.size());
    std::size_t written = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const OrvParticle& particle = particles[i];
        int texture = TextureOf(particle, textureCount);
        if (WriteCorners(particle, cameraPosition, cameraUp, fadeAway, written,
                         static_cast<float>(texture)))
            ++written;
    }
    for (int unit = 0; unit < textureCount; ++unit)
        OrvGlState::BindTextureToUnit(unit, textures[unit]);
    glActiveTexture(GL_TEXTURE0);
    glUseProgram(oneDrawProgram);
    if (fogLocation >= 0)
        glUniform1i(fogLocation, glIsEnabled(GL_FOG) ? 1 : 0);
    DrawRun(0, written);
    glUseProgram(0);
    return written;
}

void OrvParticleBatch::DrawRun(std::size_t first, std::size_t end) {
    if (end > first && ++drawCalls)
        glDrawArrays(GL_QUADS, static_cast<GLint>(first * CornersPerParticle),
                     static_cast<GLsizei>((end - first) * CornersPerParticle));
}

void OrvParticleBatch::UseTexture(int texture, const std::vector<unsigned>& textures) {
    if (texture >= 0) {
        glEnable(GL_TEXTURE_2D);
        OrvGlState::BindTextureToUnit(0, textures[texture]);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
}

std::size_t OrvParticleBatch::DrawInOrder(const std::vector<OrvParticle>& particles,
                                          std::size_t count, const OrvVector3& cameraPosition,
                                          const OrvVector3& cameraUp, bool fadeAway,
                                          const std::vector<unsigned>& textures) {
    const int textureCount = static_cast<int>(textures.size());
    std::size_t written = 0;
    std::size_t runStart = 0;
    int runTexture = -2; // none yet
    for (std::size_t i = 0; i < count; ++i) {
        const OrvParticle& particle = particles[i];
        int texture = TextureOf(particle, textureCount);
        if (texture != runTexture) {
            // The arrays are read when the run is drawn, so later slots may be written after.
            DrawRun(runStart, written);
            runStart = written;
            runTexture = texture;
            UseTexture(texture, textures);
        }
        if (WriteCorners(particle, cameraPosition, cameraUp, fadeAway, written,
                         static_cast<float>(texture)))
            ++written;
    }
    DrawRun(runStart, written);
    return written;
}

std::size_t OrvParticleBatch::DrawGrouped(const std::vector<OrvParticle>& particles,
                                          std::size_t count, const OrvVector3& cameraPosition,
                                          const OrvVector3& cameraUp, bool fadeAway,
                                          const std::vector<unsigned>& textures) {
    const int textureCount = static_cast<int>(textures.size());
    const std::size_t groups = static_cast<std::size_t>(textureCount) + 1;
    // Group 0 is untextured, group i + 1 texture i: count them, then give each its slots.
    for (std::size_t g = 0; g < groups; ++g)
        groupNext[g] = 0;
    for (std::size_t i = 0; i < count; ++i)
        ++groupNext[TextureOf(particles[i], textureCount) + 1];
    std::size_t start = 0;
    for (std::size_t g = 0; g < groups; ++g) {
        groupStart[g] = start;
        start += groupNext[g];
        groupNext[g] = groupStart[g];
    }
    for (std::size_t i = 0; i < count; ++i) {
        const OrvParticle& particle = particles[i];
        std::size_t& slot = groupNext[TextureOf(particle, textureCount) + 1];
        if (WriteCorners(particle, cameraPosition, cameraUp, fadeAway, slot,
                         static_cast<float>(TextureOf(particle, textureCount))))
            ++slot;
    }
    std::size_t written = 0;
    for (std::size_t g = 0; g < groups; ++g) {
        if (groupNext[g] == groupStart[g])
            continue;
        UseTexture(static_cast<int>(g) - 1, textures);
        DrawRun(groupStart[g], groupNext[g]);
        written += groupNext[g] - groupStart[g];
    }
    return written;
}

std::size_t OrvParticleBatch::Draw(const std::vector<OrvParticle>& particles,
                                   const OrvVector3& cameraPosition, const OrvVector3& cameraUp,
                                   bool fadeAway, const std::vector<unsigned>& textures,
                                   bool inOrder, bool oneDraw) {
    drawCalls = 0;
    if (capacity == 0 || particles.empty())
        return 0;
    // Client arrays are read from memory only while no buffer object is bound.
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions.data());
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_FLOAT, 0, colors.data());
    glClientActiveTexture(GL_TEXTURE0);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(3, GL_FLOAT, 0, texCoords.data());

    const std::size_t count = particles.size() < capacity ? particles.size() : capacity;
    // Grouping needs a group for every texture; Reserve gives them.
    // In order with several textures, one draw would need a change of texture per run: the
    // program picks each particle's texture instead, where fog is what it can draw.
    bool fogItCannotDraw = false;
    if (glIsEnabled(GL_FOG)) {
        GLint mode = 0;
        glGetIntegerv(GL_FOG_MODE, &mode);
        fogItCannotDraw = mode != GL_EXP2;
    }
    std::size_t written;
    if (inOrder && oneDraw && oneDrawProgram != 0 && textures.size() > 1 &&
        textures.size() <= static_cast<std::size_t>(MaxOneDrawTextures) && !fogItCannotDraw)
        written = DrawInOneCall(particles, count, cameraPosition, cameraUp, fadeAway, textures);
    else if (inOrder || groupStart.size() < textures.size() + 1)
        written = DrawInOrder(particles, count, cameraPosition, cameraUp, fadeAway, textures);
    else
        written = DrawGrouped(particles, count, cameraPosition, cameraUp, fadeAway, textures);

    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    return written;
}
