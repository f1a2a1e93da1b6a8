// Search keys: what an envelope makes of its items as they come, and what packing them into
// one block at the end of loading does. Both must answer exactly as the items themselves, bit
// for bit, before and after packing and after items added later.

#include "animation/OrvParameterCatmullRomSpline.h"
#include "animation/OrvParameterEnvelope.h"
#include "animation/OrvParameterHold.h"
#include "animation/OrvParameterLinear.h"
#include "animation/OrvParameterManager.h"
#include "animation/OrvParameterRandom.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvRandom.h"
#include "support/OrvAllocationCounter.h"

#include "OrvRecordingInterface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

const double NoValue = -999;

uint64_t Bits(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Answers its id plus the elapsed time, so a wrong choice of item shows.
class Stamp : public IOrvParameterEnvelopeItem {
public:
    Stamp(unsigned int start, unsigned int duration, double id)
        : IOrvParameterEnvelopeItem(start, duration), id(id) {}
    double Value(unsigned int time) override { return id * 1e6 + (time - start); }
    double id;
};

struct Lcg {
    uint32_t state;
    unsigned int Below(unsigned int n) {
        return ((state = state * 1664525u + 1013904223u) >> 8) % n;
    }
    // Few values, so that a fade often starts where the one before ends, at the value that
    // one ends with (the case where two items share a key), and -0 meets 0.
    double Few() {
        const double few[] = {0.0, -0.0, 1.0, 2.0, 0.5};
        return few[Below(5)];
    }
};

// The kinds in turn: hold, fade, spline, random (equal bounds, so every copy answers the
// same), and an item of the test's own. Made afresh with the same numbers on every call.
std::unique_ptr<IOrvParameterEnvelopeItem> MakeItem(unsigned int kind, unsigned int start,
                                                    unsigned int duration, const double* v) {
    switch (kind) {
    case 0:
        return std::make_unique<OrvParameterHold>(start, v[0]);
    case 1:
        return std::make_unique<OrvParameterLinear>(start, duration, v[0], v[1]);
    case 2:
        return std::make_unique<OrvParameterCatmullRomSpline>(start, duration, v[0], v[1], v[2],
                                                              v[3]);
    case 3: {
        // Equal bounds: every draw gives v[0], whatever the generator's state.
        static OrvRandom unused;
        return std::make_unique<OrvParameterRandom>(start, duration, v[0], v[0], unused);
    }
    default:
        return std::make_unique<Stamp>(start, duration, v[0]);
    }
}

// The items themselves, asked by a plain scan: the first item that ends at or after t, or
// whose successor starts after t, or the last; nothing before the first.
struct Reference {
    std::vector<std::unique_ptr<IOrvParameterEnvelopeItem>> items;

    uint64_t End(size_t i) const { return uint64_t(items[i]->Start()) + items[i]->Duration(); }
    bool Add(std::unique_ptr<IOrvParameterEnvelopeItem> item) {
        bool replaces = !items.empty() && items.back()->Duration() == 1 &&
                        items.back()->Start() == item->Start();
        if (!replaces && !items.empty() && item->Start() < End(items.size() - 1))
            return false;
        if (replaces)
            items.pop_back();
        items.push_back(std::move(item));
        return true;
    }
    double At(unsigned int time) const {
        if (items.empty() || time < items[0]->Start())
            return NoValue;
        for (size_t i = 0;; ++i) {
            if (i + 1 == items.size() || End(i) >= time || items[i + 1]->Start() > time)
                return items[i]->Value(time);
        }
    }
};

double At(OrvParameterEnvelope& envelope, unsigned int time) {
    double value = NoValue;
    return envelope.GetValue(time, value) ? value : NoValue;
}

// Offers `count` items to both, starting at or after `next`: mostly right where the last one
// ends, sometimes after a gap, sometimes at its start (a replacement, or a refusal). Returns
// how many were taken.
int AddItems(Lcg& random, int count, uint64_t& next, OrvParameterEnvelope& envelope,
             Reference& reference) {
    int taken = 0;
    for (int i = 0; i < count && next < 4294967295u; ++i) {
        unsigned int kind = random.Below(5);
        unsigned int pick = random.Below(8);
        unsigned int duration = pick < 3 ? pick : 1 + random.Below(pick < 6 ? 5 : 400);
        unsigned int start = static_cast<unsigned int>(next);
        if (random.Below(6) == 0 && !reference.items.empty())
            start = reference.items.back()->Start();
        double v[4] = {random.Few(), random.Few(), random.Few(), random.Few()};
        if (kind == 1 && random.Below(2) == 0 && !reference.items.empty())
            v[0] = reference.At(start); // joins the item before exactly
        if (kind == 4)
            v[0] = reference.items.size() + 1;
        auto item = MakeItem(kind, start, duration, v);
        bool accepted = reference.Add(MakeItem(kind, start, duration, v));
        EXPECT_EQ(accepted, envelope.AddItem(item.get()));
        if (accepted) {
            ++taken;
            item.release();
            uint64_t end = uint64_t(start) + reference.items.back()->Duration();
            next = end + (random.Below(3) == 0 ? random.Below(50) : 0);
        }
    }
    return taken;
}

// Every edge of every item, give or take a millisecond, and times in between, in an order
// that plays forward, jumps back and steps on.
std::vector<unsigned int> TimesToAsk(Lcg& random, const Reference& reference) {
    std::vector<unsigned int> times;
    for (size_t i = 0; i < reference.items.size(); ++i) {
        uint64_t start = reference.items[i]->Start(), end = reference.End(i);
        for (uint64_t edge : {start, end})
            for (uint64_t t = edge > 0 ? edge - 1 : 0; t <= edge + 1 && t <= 4294967295u; ++t)
                times.push_back(static_cast<unsigned int>(t));
        times.push_back(static_cast<unsigned int>(start + random.Below(20)));
    }
    for (size_t i = 0, n = times.size(); i < n / 3; ++i)
        std::swap(times[random.Below(n)], times[random.Below(n)]);
    times.push_back(4294967295u);
    return times;
}

void ExpectSameAnswers(Lcg& random, OrvParameterEnvelope& envelope, const Reference& reference,
                       const char* when, int round) {
    for (unsigned int time : TimesToAsk(random, reference)) {
        ASSERT_EQ(Bits(reference.At(time)), Bits(At(envelope, time)))
            << when << ", round " << round << " at " << time << ": " << reference.At(time)
            << " expected, " << At(envelope, time) << " given";
    }
}

} // namespace

TEST(OrvParameterPacking, KeysAnswerAsTheItemsWhereverTheyAreAndWhateverComesLater) {
    Lcg random{2718};
    for (int round = 0; round < 800; ++round) {
        // Every fourth round lives at the very end of the 32-bit range of times.
        uint64_t next = round % 4 == 3 ? 4294967295u - 600 : random.Below(50);
        OrvParameterEnvelope envelope;
        Reference reference;
        AddItems(random, 1 + random.Below(25), next, envelope, reference);
        ExpectSameAnswers(random, envelope, reference, "as loaded", round);

        envelope.Pack();
        ExpectSameAnswers(random, envelope, reference, "packed on its own", round);

        std::vector<OrvEnvelopeKey> block(envelope.KeyCount() + 2);
        envelope.PackInto(block.data() + 1);
        ASSERT_TRUE(envelope.PackedInto());
        ASSERT_EQ(block.data() + 1, envelope.Keys());
        ExpectSameAnswers(random, envelope, reference, "packed into a block", round);

        // More items after packing: the envelope takes its keys back, and the block may go.
        // A refused item changes nothing.
        int taken = AddItems(random, 1 + random.Below(6), next, envelope, reference);
        ASSERT_EQ(taken == 0, envelope.PackedInto());
        if (taken > 0)
            block.assign(block.size(), OrvEnvelopeKey(0, OrvEnvelopeKey::Kind::Hold, 0));
        ExpectSameAnswers(random, envelope, reference, "added after packing", round);
    }
}

TEST(OrvParameterPacking, TouchingFadesShareAKeyOnlyWhenTheyJoinExactly) {
    // A tracker's chain: each fade starts at the value the one before ends with.
    OrvParameterEnvelope chain;
    chain.AddItem(new OrvParameterLinear(0, 1000, 0, 1));
    chain.AddItem(new OrvParameterLinear(1000, 1000, 1, 3));
    chain.AddItem(new OrvParameterLinear(2000, 500, 3, 2));
    EXPECT_EQ(4, chain.KeyCount());
    EXPECT_EQ(1, At(chain, 1000));
    EXPECT_EQ(OrvParameterLinear(1000, 1000, 1, 3).Value(1001), At(chain, 1001));
    EXPECT_EQ(2, At(chain, 2500));

    // A jump where they touch takes a key more; the first still answers at its end.
    OrvParameterEnvelope jump;
    jump.AddItem(new OrvParameterLinear(0, 1000, 0, 1));
    jump.AddItem(new OrvParameterLinear(1000, 1000, 5, 6));
    EXPECT_EQ(4, jump.KeyCount());
    EXPECT_EQ(1, At(jump, 1000));
    EXPECT_EQ(OrvParameterLinear(1000, 1000, 5, 6).Value(1001), At(jump, 1001));

    // -0 + 0 is 0: a fade from -0 that follows one ending at -0 cannot answer for it.
    OrvParameterEnvelope zero;
    zero.AddItem(new OrvParameterLinear(0, 1000, 1, -0.0));
    zero.AddItem(new OrvParameterLinear(1000, 1000, -0.0, 1));
    EXPECT_EQ(4, zero.KeyCount());
    EXPECT_EQ(Bits(-0.0), Bits(At(zero, 1000)));
    EXPECT_EQ(OrvParameterLinear(1000, 1000, -0.0, 1).Value(1001), At(zero, 1001));

    // A 1 ms fade where the first ends has no time of its own, only its end; a spline that
    // replaces it takes that key's place and answers from the millisecond after the first.
    OrvParameterEnvelope replaced;
    replaced.AddItem(new OrvParameterLinear(0, 1000, 0, 1));
    replaced.AddItem(new OrvParameterLinear(1000, 1, 1, 9));
    EXPECT_EQ(3, replaced.KeyCount());
    EXPECT_EQ(9, At(replaced, 1001));
    replaced.AddItem(new OrvParameterCatmullRomSpline(1000, 100, 0, 4, 8, 0));
    EXPECT_EQ(3, replaced.KeyCount());
    EXPECT_EQ(1, At(replaced, 1000));
    EXPECT_EQ(OrvParameterCatmullRomSpline(1000, 100, 0, 4, 8, 0).Value(1001), At(replaced, 1001));
    EXPECT_EQ(8, At(replaced, 1100));
}

TEST(OrvParameterPacking, TheManagerPacksEveryEnvelopeIntoOneBlockOnceLoadingIsDone) {
    // Items added time first across the parameters, as a script lists its timeline, so each
    // parameter's items lie far apart while loading.
    std::vector<OrvRecordingInterface> owners(12, OrvRecordingInterface({"a", "b", "c", "d"}));
    OrvDiagnostics diagnostics;
    OrvRandom source;
    OrvParameterManager manager(diagnostics, source);
    for (size_t i = 0; i < owners.size(); ++i)
        manager.AddInterface("obj" + std::to_string(i), owners[i]);
    const int count = manager.ParameterCount();
    std::vector<Reference> references(count);
    std::vector<uint64_t> next(count);
    Lcg random{31};
    for (int p = 0; p < count; ++p)
        next[p] = p * 7;
    auto addRound = [&](int p) {
        // Only the kinds the manager can add; a few parameters get nothing.
        if (p % 11 == 5)
            return;
        const Reference& reference = references[p];
        unsigned int start = static_cast<unsigned int>(next[p]);
        unsigned int kind = (p + reference.items.size()) % 4, duration = 1 + random.Below(300);
        double v[4] = {random.Few(), random.Few(), random.Few(), random.Few()};
        if (kind == 1 && p % 2 == 0 && !reference.items.empty())
            v[0] = reference.At(start); // chains of fades
        const std::string& name = manager.FullName(p);
        bool added =
            kind == 0   ? manager.AddParameterHold(name, start, v[0])
            : kind == 1 ? manager.AddLinearParameterFade(name, start, duration, v[0], v[1])
            : kind == 2 ? manager.AddCatmullRomSpline(name, start, duration, v[0], v[1], v[2], v[3])
                        : manager.AddRandom(name, start, duration, v[0], v[0]);
        ASSERT_TRUE(added);
        references[p].Add(MakeItem(kind, start, duration, v));
        next[p] = references[p].End(references[p].items.size() - 1) + random.Below(2) * 30;
    };
    for (int k = 0; k < 30; ++k)
        for (int p = 0; p < count; ++p)
            addRound(p);

    auto expectSameAnswers = [&](const char* when) {
        Lcg times{5};
        for (int step = 0; step < 400; ++step) {
            unsigned int time = times.Below(step % 3 == 0 ? 20000 : 8000);
            for (OrvRecordingInterface& owner : owners)
                owner.values.assign(owner.values.size(), NoValue);
            manager.UpdateParameters(time);
            for (int p = 0; p < count; ++p) {
                double expected = references[p].At(time);
                ASSERT_EQ(Bits(expected), Bits(owners[p / 4].values[p % 4]))
                    << when << ": " << manager.FullName(p) << " at " << time;
            }
        }
    };
    expectSameAnswers("as loaded");

    manager.RememberLoadedValues();
    const OrvEnvelopeKey* expectedPlace = nullptr;
    for (int p = 0; p < count; ++p) {
        const OrvParameterEnvelope& envelope = manager.Envelope(p);
        if (envelope.ItemCount() == 0)
            continue;
        EXPECT_TRUE(envelope.PackedInto()) << manager.FullName(p);
        if (expectedPlace) {
            EXPECT_EQ(expectedPlace, envelope.Keys()) << manager.FullName(p) << " is elsewhere";
        }
        expectedPlace = envelope.Keys() + envelope.KeyCount();
    }
    unsigned long before = OrvAllocationCount();
    expectSameAnswers("packed");
    manager.UpdateParameters(123456);
    EXPECT_EQ(before, OrvAllocationCount()); // asking packed envelopes allocates nothing

    // Items after loading: those envelopes take their keys back, the others stay in the block.
    for (int p = 0; p < count; p += 3)
        addRound(p);
    EXPECT_FALSE(manager.Envelope(0).PackedInto());
    EXPECT_TRUE(manager.Envelope(1).PackedInto());
    expectSameAnswers("added after packing");
    manager.RememberLoadedValues();
    EXPECT_TRUE(manager.Envelope(0).PackedInto());
    expectSameAnswers("packed again");
}
