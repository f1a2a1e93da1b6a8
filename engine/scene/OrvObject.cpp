#include "scene/OrvObject.h"

OrvObject::OrvObject(OrvSceneContext& scene) : scene(&scene), enabled(false) {}

OrvObject::OrvObject(const OrvObject& other)
    : OrvParameterInterface(other), scene(other.scene), name(other.name), enabled(other.enabled) {}

OrvObject& OrvObject::operator=(const OrvObject& other) {
    OrvParameterInterface::operator=(other);
    scene = other.scene;
    name = other.name;
    enabled = other.enabled;
    return *this;
}

OrvObject::~OrvObject() {}

void OrvObject::Update(unsigned) {}

unsigned OrvObject::Flags() {
    return 0;
}

OrvObject* OrvObject::Duplicate() {
    return nullptr;
}
