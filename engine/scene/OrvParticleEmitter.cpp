#include "scene/OrvParticleEmitter.h"

#include "animation/OrvParameterInterfaceChild.h"
#include "animation/OrvParameterTable.h"
#include "base/OrvException.h"
#include "base/OrvRandom.h"
#include "script/OrvScriptNode.h"

#include <cmath>
#include <cstdlib>

OrvParticleEmitter::OrvParticleEmitter()
    : textureCount(0), emittingSpeed(-1.0), budget(0), earned(0) {
    lifeTime.Set(1, 1);
    colorR.Set(1, 1);
    colorG.Set(1, 1);
    colorB.Set(1, 1);
    colorA.Set(1, 1);
    size.Set(0.1, 0.1);
}

OrvRangeParameter* OrvParticleEmitter::RangeNamed(const OrvScriptNode& line) {
    struct Key {
        const char* name;
        OrvRangeParameter* range;
    };
    const Key keys[] = {{"radius", &radius},     {"lifeTime", &lifeTime},
                        {"dir.x", &dirX},        {"dir.y", &dirY},
                        {"dir.z", &dirZ},        {"airResistance", &airResistance},
                        {"color.r", &colorR},    {"color.g", &colorG},
                        {"color.b", &colorB},    {"color.a", &colorA},
                        {"size", &size},         {"elasticity", &elasticity},
                        {"rotation", &rotation}, {"rotationSpeed", &rotationSpeed}};
    for (const Key& key : keys)
        if (line.IdEquals(key.name))
            return key.range;
    return nullptr;
}

void OrvParticleEmitter::Init(OrvScriptNode& node) {
    for (OrvScriptNode* line : node.Children()) {
        const std::vector<std::string>& args = line->ArgsRef();
        if (OrvRangeParameter* range = RangeNamed(*line)) {
            if (args.empty()) {
                range->Set(0, 0);
            } else if (args.size() == 1) {
                double value = std::atof(args[0].c_str());
                range->Set(value, value);
            } else {
                double first = std::atof(args[0].c_str());
                double second = std::atof(args[1].c_str());
                range->Set(first < second ? first : second, first < second ? second : first);
            }
        } else if (line->IdEquals("pos")) {
            if (args.size() != 3)
                throw OrvException("Invalid number of arguments for pos (expected 3)");
            pos.vector.Set(std::atof(args[0].c_str()), std::atof(args[1].c_str()),
                           std::atof(args[2].c_str()));
        } else {
            throw OrvException("Invalid parameter: " + line->ToString());
        }
        line->SetProcessed();
    }
}

double OrvParticleEmitter::Draw(const OrvRangeParameter& range, int value) {
    // A lower bound that animation pushed above the upper one gives the lower bound.
    double upper = range.max > range.min ? range.max : range.min;
    double t = static_cast<double>(value) / OrvRandom::Max;
    double spread = upper - range.min;
    if (std::isfinite(spread))
        return range.min + t * spread;
    // Finite bounds more than the largest double apart (-1e308..1e308): the plain form would
    // give infinities, and NaN for t = 0. Weighing the bounds stays between them.
    return range.min * (1 - t) + upper * t;
}

OrvParticle OrvParticleEmitter::Emit(OrvRandom& random) {
    OrvParticle particle;
    particle.position = pos.vector;
    if (radius.max > 0) {
        double distance = Draw(radius, random.Next());
        OrvVector3 direction;
        direction.x = random.Next() - 16383;
        direction.y = random.Next() - 16383;
        direction.z = random.Next() - 16383;
        // The generator never gives three times 16383 in a row (no state of it does), but a
        // zero direction stays zero here rather than turning the position into NaN.
        direction.Normalize();
        particle.position += direction * distance;
    }
    particle.velocity.z = Draw(dirZ, random.Next());
    particle.velocity.y = Draw(dirY, random.Next());
    particle.velocity.x = Draw(dirX, random.Next());
    particle.lifeTime = Draw(lifeTime, random.Next());
    particle.age = 0;
    particle.airResistance = Draw(airResistance, random.Next());
    particle.r = static_cast<float>(Draw(colorR, random.Next()));
    particle.g = static_cast<float>(Draw(colorG, random.Next()));
    particle.b = static_cast<float>(Draw(colorB, random.Next()));
    particle.a = static_cast<float>(Draw(colorA, random.Next()));
    particle.size = static_cast<float>(Draw(size, random.Next()));
    particle.elasticity = Draw(elasticity, random.Next());
    particle.rotation = Draw(rotation, random.Next());
    particle.rotationSpeed = Draw(rotationSpeed, random.Next());
    particle.textureIndex = textureCount < 1 ? -1 : random.Next() % textureCount;
    particle.sortKey = 0;
    particle.sortIndex = 0;
    --budget;
    return particle;
}

void OrvParticleEmitter::Earn(double seconds, int limit) {
    if (!(emittingSpeed > 0)) {
        earned = 0;
        return;
    }
    earned += emittingSpeed * seconds;
    double whole = std::floor(earned);
    earned -= whole;
    // More than the pool can take would be dropped anyway; the limit keeps the count an int.
    double room = static_cast<double>(limit) - budget;
    if (room <= 0)
        return;
    budget += static_cast<int>(whole < room ? whole : room);
}

void OrvParticleEmitter::DescribeParameters(OrvParameterTable& table) {
    if (table.Custom("emittingSpeed", emittingSpeed))
        emittingSpeed = static_cast<double>(OrvParameterTable::TruncateToInt64(table.Value()));
}

void OrvParticleEmitter::ChildParameterInterfaces(
    std::vector<OrvParameterInterfaceChild>& children) {
    children.push_back(OrvParameterInterfaceChild("pos", &pos));
    children.push_back(OrvParameterInterfaceChild("lifeTime", &lifeTime));
    children.push_back(OrvParameterInterfaceChild("dir.x", &dirX));
    children.push_back(OrvParameterInterfaceChild("dir.y", &dirY));
    children.push_back(OrvParameterInterfaceChild("dir.z", &dirZ));
    children.push_back(OrvParameterInterfaceChild("airResistance", &airResistance));
    children.push_back(OrvParameterInterfaceChild("color.r", &colorR));
    children.push_back(OrvParameterInterfaceChild("color.g", &colorG));
    children.push_back(OrvParameterInterfaceChild("color.b", &colorB));
    children.push_back(OrvParameterInterfaceChild("color.a", &colorA));
    children.push_back(OrvParameterInterfaceChild("size", &size));
    children.push_back(OrvParameterInterfaceChild("elasticity", &elasticity));
    children.push_back(OrvParameterInterfaceChild("rotation", &rotation));
    children.push_back(OrvParameterInterfaceChild("rotationSpeed", &rotationSpeed));
    children.push_back(OrvParameterInterfaceChild("radius", &radius));
}
