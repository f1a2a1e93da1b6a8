// Envelopes: which item answers when, what each kind computes, and how the items are kept
// (holds, fades and splines as flat records in a store several envelopes may share; any other
// item asked through its Value()).

#include "animation/OrvParameterEnvelope.h"
#include "animation/OrvParameterCatmullRomSpline.h"
#include "animation/OrvParameterHold.h"
#include "animation/OrvParameterLinear.h"
#include "animation/OrvParameterRandom.h"
#include "base/OrvRandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

const std::string Overlap = "Envelope defined already to this section of time";

// The value at `time`, or -999 when the envelope has none.
double At(OrvParameterEnvelope& envelope, unsigned int time) {
    double value = -999;
    return envelope.GetValue(time, value) ? value : -999;
}

// Any span, 0 ms included; answers its id plus the elapsed time, so a wrong choice shows.
// Counts the probes alive, so ownership shows too.
class Probe : public IOrvParameterEnvelopeItem {
public:
    Probe(unsigned int start, unsigned int duration, double id)
        : IOrvParameterEnvelopeItem(start, duration), id(id) {
        ++alive;
    }
    ~Probe() override { --alive; }
    double Value(unsigned int time) override { return id * 1e6 + (time - start); }
    double id;
    static int alive;
};
int Probe::alive = 0;

// A fade that answers in its own way: an envelope must ask it rather than copy its numbers.
class MirroredFade : public OrvParameterLinear {
public:
    using OrvParameterLinear::OrvParameterLinear;
    double Value(unsigned int time) override { return -OrvParameterLinear::Value(time); }
};

// The plain algorithm over items asked one by one, rescanning from the first item on any step
// back.
struct ReferenceEnvelope {
    std::vector<std::unique_ptr<IOrvParameterEnvelopeItem>> items;
    size_t cursor = 0;
    unsigned int lastTime = 0;

    uint64_t End(size_t i) const { return uint64_t(items[i]->Start()) + items[i]->Duration(); }
    bool Add(std::unique_ptr<IOrvParameterEnvelopeItem> item) {
        if (!items.empty() && items.back()->Duration() == 1 &&
            items.back()->Start() == item->Start())
            items.pop_back();
        else if (!items.empty() && item->Start() < End(items.size() - 1))
            return false;
        items.push_back(std::move(item));
        return true;
    }
    bool Get(unsigned int time, double& value) {
        if (items.empty())
            return false;
        if (time < lastTime)
            cursor = 0;
        lastTime = time;
        while (cursor + 1 < items.size() && End(cursor) < time &&
               items[cursor + 1]->Start() <= time)
            ++cursor;
        if (time < items[cursor]->Start())
            return false;
        value = items[cursor]->Value(time);
        return true;
    }
};

// A local generator for the test's own sequences (not the engine's OrvRandom).
struct Lcg {
    uint32_t state;
    unsigned int Below(unsigned int n) {
        return ((state = state * 1664525u + 1013904223u) >> 8) % n;
    }
    double Real() { return Below(2000001) / 1000.0 - 1000.0 + Below(1000) / 7.0; }
};

const uint64_t LastTime = 4294967295u;

// One item of the given kind, made afresh on every call with the same numbers. Random items
// get equal bounds, so every copy answers the same whatever it draws.
std::unique_ptr<IOrvParameterEnvelopeItem> MakeItem(unsigned int kind, unsigned int start,
                                                    unsigned int duration, const double* v,
                                                    OrvRandom& draws) {
    switch (kind) {
    case 0:
        return std::make_unique<OrvParameterHold>(start, v[0]);
    case 1:
        return std::make_unique<OrvParameterLinear>(start, duration, v[0], v[1]);
    case 2:
        return std::make_unique<OrvParameterCatmullRomSpline>(start, duration, v[0], v[1], v[2],
                                                              v[3]);
    case 3:
        return std::make_unique<OrvParameterRandom>(start, duration, v[0], v[0], draws);
    case 4:
        return std::make_unique<Probe>(start, duration, v[0]);
    default:
        return std::make_unique<MirroredFade>(start, duration, v[0], v[1]);
    }
}

} // namespace

TEST(OrvParameterEnvelope, AddingReplacesOneMillisecondItemsAndRefusesOverlaps) {
    OrvParameterEnvelope envelope;
    EXPECT_EQ(-999, At(envelope, 0));
    EXPECT_TRUE(envelope.AddItem(new OrvParameterHold(1000, 1)));
    EXPECT_TRUE(envelope.AddItem(new OrvParameterHold(1000, 2)));
    EXPECT_EQ(1, envelope.ItemCount());
    EXPECT_EQ(2, At(envelope, 1000));
    EXPECT_TRUE(envelope.AddItem(new OrvParameterLinear(1000, 1000, 10, 20))); // replaces too
    EXPECT_EQ(1, envelope.ItemCount());
    OrvParameterHold inside(1500, 99);
    EXPECT_FALSE(envelope.AddItem(&inside)); // refused: the caller keeps it
    // The envelope reports nothing itself: the caller reports its message.
    EXPECT_EQ(Overlap, OrvParameterEnvelope::OverlapMessage);
    EXPECT_EQ(1, envelope.ItemCount());
    EXPECT_EQ(15, At(envelope, 1500));
    EXPECT_TRUE(envelope.AddItem(new OrvParameterLinear(2000, 1000, 50, 60))); // at the end
    EXPECT_EQ(20, At(envelope, 2000)); // at its end the first item still answers
    EXPECT_EQ(50.01, At(envelope, 2001));
    EXPECT_FALSE(envelope.AddItem(nullptr));

    // A 0 ms item answers only at its own instant, also when the next one starts there.
    OrvRandom draws;
    OrvParameterEnvelope instant;
    instant.AddItem(new OrvParameterRandom(0, 0, 3, 3, draws));
    instant.AddItem(new OrvParameterHold(0, 8));
    EXPECT_EQ(8, At(instant, 1));
    EXPECT_EQ(3, At(instant, 0));

    // An end past the 32-bit range must not wrap round and let an overlapping item in.
    OrvParameterEnvelope late;
    late.AddItem(new OrvParameterLinear(4294967000u, 1000, 0, 1));
    OrvParameterHold afterWrap(4294967295u, 1);
    EXPECT_FALSE(late.AddItem(&afterWrap));
    EXPECT_EQ(1, late.ItemCount());
}

TEST(OrvParameterEnvelope, HoldLinearAndSplineValues) {
    OrvParameterEnvelope hold;
    hold.AddItem(new OrvParameterHold(2000, 7));
    EXPECT_EQ(-999, At(hold, 1999));
    EXPECT_EQ(7, At(hold, 2000));
    EXPECT_EQ(7, At(hold, 4000000000u));
    EXPECT_EQ(-999, At(hold, 0)); // and back before it

    OrvParameterEnvelope linear;
    linear.AddItem(new OrvParameterLinear(0, 1000, 10, 20));
    EXPECT_EQ(15, At(linear, 500));
    EXPECT_EQ(20, At(linear, 1000));
    EXPECT_EQ(20, At(linear, 5000));
    OrvParameterLinear instant(100, 0, 3, 4); // 0 ms is taken as 1 ms
    EXPECT_EQ(1u, instant.Duration());
    EXPECT_EQ(4, instant.Value(101));

    OrvParameterEnvelope spline;
    spline.AddItem(new OrvParameterCatmullRomSpline(0, 2000, 0, 1, 2, 3));
    spline.AddItem(new OrvParameterHold(2500, 9));
    EXPECT_EQ(1, At(spline, 0));
    EXPECT_EQ(1.5, At(spline, 1000));
    EXPECT_EQ(2, At(spline, 2000));
    EXPECT_EQ(2, At(spline, 2400)); // the gap keeps the spline's end point
    EXPECT_EQ(9, At(spline, 3000));
    EXPECT_EQ(1.5, At(spline, 1000)); // backwards: found again
    OrvParameterCatmullRomSpline curve(0, 1000, 4, 0, 10, -6);
    EXPECT_DOUBLE_EQ(2.125, curve.Value(250)); // 0.5 * (6u + 54u^2 - 40u^3) at u = 1/4
}

TEST(OrvParameterEnvelope, RandomItemsDrawFromTheGeneratorTheyAreGiven) {
    // A run's generator, fresh: it starts from the beginning, like its twin.
    OrvRandom source, twin;
    OrvParameterRandom longItem(0, 1000, 5, 1, source); // bounds in either order
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(1 + twin.Next() / 32767.0 * 4, longItem.Value(10)); // fresh every time
    OrvParameterEnvelope shortItems;
    shortItems.AddItem(new OrvParameterRandom(100, 1, 1, 5, source));
    shortItems.AddItem(new OrvParameterRandom(200, 0, 1, 5, source));
    double first = At(shortItems, 150);
    EXPECT_EQ(1 + twin.Next() / 32767.0 * 4, first);
    EXPECT_EQ(first, At(shortItems, 199)); // drawn once, then held
    double second = At(shortItems, 200);
    EXPECT_EQ(1 + twin.Next() / 32767.0 * 4, second);
    EXPECT_EQ(second, At(shortItems, 5000));
    EXPECT_EQ(first, At(shortItems, 100));
    EXPECT_EQ(twin.Next(), source.Next()); // holding drew nothing
    for (int i = 0; i < 2000; ++i) {
        double value = longItem.Value(10);
        ASSERT_TRUE(value >= 1 && value <= 5) << value;
    }
}

TEST(OrvParameterEnvelope, AnySequenceOfTimesMatchesTheRescanningAlgorithm) {
    Lcg random{12345};
    for (int round = 0; round < 2000; ++round) {
        OrvParameterEnvelope envelope;
        ReferenceEnvelope reference;
        unsigned int next = random.Below(50);
        for (int i = 0, count = 1 + random.Below(40); i < count; ++i) {
            unsigned int pick = random.Below(10);
            unsigned int duration = pick < 3 ? pick : 1 + random.Below(pick < 7 ? 20 : 500);
            // Mostly after the last item, sometimes at its start or inside it.
            unsigned int start = next - (random.Below(8) == 0 ? random.Below(next + 1) : 0);
            double id = round * 100 + i;
            bool accepted = reference.Add(std::make_unique<Probe>(start, duration, id));
            auto item = std::make_unique<Probe>(start, duration, id);
            ASSERT_EQ(accepted, envelope.AddItem(item.get()));
            if (accepted) {
                item.release();
                next = start + duration + (random.Below(3) == 0 ? 0 : random.Below(60));
            }
            ASSERT_EQ(int(reference.items.size()), envelope.ItemCount());
        }
        unsigned int time = 0;
        for (int step = 0; step < 300; ++step) {
            unsigned int how = random.Below(6);
            if (how < 2) {
                time += random.Below(30); // playing forward
            } else if (how == 2) {
                time = random.Below(next + 100); // a jump anywhere
            } else { // next to an item's start or end, where the choice changes
                const IOrvParameterEnvelopeItem& item =
                    *reference.items[random.Below(reference.items.size())];
                unsigned int edge = item.Start() + (how == 3 ? 0 : item.Duration());
                time = edge + random.Below(3) - (edge > 0 ? 1 : 0);
            }
            double expected = -999;
            reference.Get(time, expected);
            ASSERT_EQ(expected, At(envelope, time)) << "round " << round << " at " << time;
        }
    }
}

TEST(OrvParameterEnvelope, FlatRecordsComputeAsTheItemsAlwaysHave) {
    // The fade and spline formulas, operation by operation: a different order of the same
    // arithmetic rounds differently, and a show would no longer play back bit for bit.
    Lcg random{77};
    for (int i = 0; i < 2000; ++i) {
        unsigned int start = random.Below(100000);
        unsigned int duration = random.Below(5) == 0 ? random.Below(2) : random.Below(5000);
        double length = duration == 0 ? 1 : duration;
        unsigned int elapsed = random.Below(duration + 20); // sometimes past the end
        unsigned int time = start + elapsed;
        double from = random.Real(), to = random.Real();

        double slope = (to - from) / length;
        double fade = elapsed < length ? from + slope * elapsed : to;
        OrvParameterEnvelope linear;
        linear.AddItem(new OrvParameterLinear(start, duration, from, to));
        ASSERT_EQ(fade, At(linear, time)) << i;

        double p0 = random.Real(), p1 = random.Real(), p2 = random.Real(), p3 = random.Real();
        double u = std::min(1.0, static_cast<double>(elapsed) / length);
        double u2 = u * u, u3 = u2 * u;
        double curve =
            0.5 * (2.0 * p1 + (p2 - p0) * u + (2.0 * p0 - 5.0 * p1 + 4.0 * p2 - p3) * u2 +
                   (-p0 + 3.0 * p1 - 3.0 * p2 + p3) * u3);
        OrvParameterEnvelope spline;
        spline.AddItem(new OrvParameterCatmullRomSpline(start, duration, p0, p1, p2, p3));
        ASSERT_EQ(curve, At(spline, time)) << i;
    }
}

TEST(OrvParameterEnvelope, MixedKindsInASharedStoreMatchTheItemsAskedOneByOne) {
    Lcg random{4242};
    OrvRandom draws;
    for (int round = 0; round < 400; ++round) {
        // Every fourth round lives at the very end of the 32-bit range of times.
        uint64_t base = round % 4 == 3 ? LastTime - 3000 : 0;
        std::vector<OrvEnvelopeSegment> store;
        std::vector<OrvParameterEnvelope> envelopes; // grows, so the envelopes move
        std::vector<ReferenceEnvelope> references(3);
        std::vector<uint64_t> next(3);
        for (int e = 0; e < 3; ++e) {
            envelopes.emplace_back(store);
            next[e] = base + random.Below(50);
        }
        // Items of the three envelopes interleaved, as a script lists its timeline.
        for (int i = 0; i < 90; ++i) {
            int e = random.Below(3);
            if (next[e] > LastTime)
                continue;
            unsigned int kind = random.Below(6);
            unsigned int pick = random.Below(10);
            unsigned int duration = pick < 3 ? pick : 1 + random.Below(pick < 7 ? 20 : 300);
            // Mostly after the last item, sometimes at its start or inside it.
            unsigned int start = static_cast<unsigned int>(
                next[e] - (random.Below(6) == 0 ? random.Below(next[e] - base + 1) : 0));
            double values[4] = {random.Real(), random.Real(), random.Real(), random.Real()};
            auto item = MakeItem(kind, start, duration, values, draws);
            uint64_t end = uint64_t(start) + item->Duration();
            bool accepted = references[e].Add(MakeItem(kind, start, duration, values, draws));
            ASSERT_EQ(accepted, envelopes[e].AddItem(item.get())) << "round " << round;
            if (accepted) {
                item.release(); // the envelope's now, and maybe gone already
                next[e] = end + random.Below(3) * random.Below(40);
            }
            ASSERT_EQ(int(references[e].items.size()), envelopes[e].ItemCount());
        }
        uint64_t time = base;
        for (int step = 0; step < 400; ++step) {
            int e = random.Below(3);
            unsigned int how = random.Below(5);
            if (how < 2)
                time += random.Below(30); // playing forward
            else if (how == 2)
                time = base + random.Below(3500);    // a jump anywhere, past the end too
            else if (!references[e].items.empty()) { // at an item's start or end, give or take
                const auto& item = *references[e].items[random.Below(references[e].items.size())];
                time = uint64_t(item.Start()) + (how == 3 ? 0 : item.Duration()) + random.Below(3) -
                       (item.Start() > 0 ? 1 : 0);
            }
            unsigned int at = static_cast<unsigned int>(std::min(time, LastTime));
            double expected = -999;
            references[e].Get(at, expected);
            ASSERT_EQ(expected, At(envelopes[e], at)) << "round " << round << " at " << at;
        }
    }
    EXPECT_EQ(0, Probe::alive); // every probe accepted, replaced or refused is gone
}

TEST(OrvParameterEnvelope, RandomItemsKeepTheirOwnStateThroughReplacementAndMoves) {
    // A run's generator, fresh: it starts from the beginning, like its twin.
    OrvRandom source, twin;
    std::vector<OrvEnvelopeSegment> store;
    std::vector<OrvParameterEnvelope> envelopes;
    envelopes.emplace_back(store);
    envelopes[0].AddItem(new OrvParameterHold(100, 7));
    EXPECT_TRUE(envelopes[0].AddItem(new OrvParameterRandom(100, 1, 10, 0, source))); // replaces it
    envelopes.emplace_back(store);
    envelopes[1].AddItem(new OrvParameterRandom(50, 0, 20, 30, source));
    envelopes[1].AddItem(new OrvParameterHold(60, 5));
    envelopes[0].AddItem(new OrvParameterLinear(200, 100, 1, 2));
    EXPECT_EQ(2, envelopes[0].ItemCount());

    double first = At(envelopes[0], 150); // the short random one answers across the gap
    EXPECT_EQ(0 + twin.Next() / 32767.0 * 10, first);
    double second = At(envelopes[1], 55);
    EXPECT_EQ(20 + twin.Next() / 32767.0 * 10, second);
    EXPECT_EQ(1.5, At(envelopes[0], 250));
    for (int i = 0; i < 10; ++i)
        envelopes.emplace_back(store); // the two envelopes move, their items with them
    EXPECT_EQ(first, At(envelopes[0], 100));
    EXPECT_EQ(second, At(envelopes[1], 50));
    EXPECT_EQ(5, At(envelopes[1], 70));
    EXPECT_EQ(first, At(envelopes[0], 199));
    EXPECT_EQ(twin.Next(), source.Next()); // held values drew nothing more

    // Owned items are deleted once: when replaced, and with the envelope; never when refused.
    {
        OrvParameterEnvelope shared(store);
        shared.AddItem(new Probe(10, 1, 1));
        shared.AddItem(new Probe(10, 5, 2));
        EXPECT_EQ(1, Probe::alive);
        Probe refused(12, 5, 3);
        EXPECT_FALSE(shared.AddItem(&refused));
        EXPECT_EQ(2e6, At(shared, 10));
    }
    EXPECT_EQ(0, Probe::alive);
}

TEST(OrvParameterEnvelope, InstantItemsAndTheEndOfTime) {
    // Items of 0 ms are no corrections of each other: both stay, the first answers at their
    // instant. A hold is one, and a 0 ms item at its start replaces it.
    OrvParameterEnvelope instants;
    EXPECT_TRUE(instants.AddItem(new Probe(5, 0, 1)));
    EXPECT_TRUE(instants.AddItem(new Probe(5, 0, 2)));
    EXPECT_TRUE(instants.AddItem(new OrvParameterHold(5, 9)));
    EXPECT_EQ(3, instants.ItemCount());
    EXPECT_EQ(1e6, At(instants, 5));
    EXPECT_EQ(9, At(instants, 6));
    EXPECT_EQ(-999, At(instants, 4));
    EXPECT_TRUE(instants.AddItem(new OrvParameterHold(5, 10)));
    EXPECT_EQ(10, At(instants, 6000));
    EXPECT_TRUE(instants.AddItem(new Probe(5, 0, 3)));
    EXPECT_EQ(3, instants.ItemCount());
    EXPECT_EQ(3e6 + 1, At(instants, 6));
    EXPECT_EQ(0u, instants.Segment(2)->duration);
    EXPECT_EQ(nullptr, instants.Segment(3));
    EXPECT_EQ(1e6, At(instants, 5));

    // A fade that ends past the 32-bit range, right after a hold that still answers at its end.
    OrvParameterEnvelope late;
    late.AddItem(new OrvParameterHold(4294967290u, 3));
    late.AddItem(new OrvParameterLinear(4294967291u, 10, 0, 10));
    EXPECT_EQ(4, At(late, 4294967295u));
    EXPECT_EQ(3, At(late, 4294967291u));
    EXPECT_EQ(1, At(late, 4294967292u));
    EXPECT_EQ(-999, At(late, 4294967289u));
    EXPECT_EQ(4, At(late, 4294967295u));
    EXPECT_EQ(3, At(late, 4294967290u));
}
