#include "animation/IOrvParameterEnvelopeItem.h"

IOrvParameterEnvelopeItem::IOrvParameterEnvelopeItem(unsigned int itemStart,
                                                     unsigned int itemDuration)
    : start(itemStart), duration(itemDuration) {}

IOrvParameterEnvelopeItem::~IOrvParameterEnvelopeItem() {}
