#ifndef ORV_ANIMATION_ORVENVELOPEVALUES_H
#define ORV_ANIMATION_ORVENVELOPEVALUES_H

// The distinct values that envelope keys refer to, each kept once. Values are told apart by
// their bits, so 0 and -0, and NaNs of different bits, are different values and every key
// gives back exactly the double it was made from.
//
// A show repeats few values (0, 1, a handful of others), so a table shared by all the
// envelopes of a parameter manager stays small enough to sit in the fastest cache while keys
// refer to it. Owned by the manager (or by an envelope made on its own); used only while
// loading (IndexOf) and by envelopes reading their keys (Value). Value allocates nothing.
// Main thread only.

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class OrvEnvelopeValues {
public:
    // The place of `value`, added on first sight.
    uint32_t IndexOf(double value);
    double Value(uint32_t index) const { return values[index]; }
    std::size_t Count() const { return values.size(); }

private:
    std::vector<double> values;
    std::unordered_map<uint64_t, uint32_t> indexByBits;
};

#endif
