#include "parameters/OrvParameterEnvelope.h"
#include "core/OrvRandom.h"
#include "entry/OrvErrorLog.h"
#include "parameters/OrvParameterCatmullRomSpline.h"
#include "parameters/OrvParameterHold.h"
#include "parameters/OrvParameterLinear.h"
#include "parameters/OrvParameterRandom.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const std::string Overlap = "Envelope defined already to this section of time\n";

// The value at `time`, or -999 when the envelope has none.
double At(OrvParameterEnvelope& envelope, unsigned int time) {
    double value = -999;
    return envelope.GetValue(time, value) ? value : -999;
}

// Any span, 0 ms included; answers its id plus the elapsed time, so a wrong choice shows.
class Probe : public IOrvParameterEnvelopeItem {
public:
    Probe(unsigned int start, unsigned int duration, double id)
        : IOrvParameterEnvelopeItem(start, duration), id(id) {}
    double Value(unsigned int time) override { return id * 1e6 + (time - start); }
    double id;
};

// The plain algorithm, rescanning from the first item on any step back.
struct ReferenceEnvelope {
    std::vector<std::unique_ptr<Probe>> items;
    size_t cursor = 0;
    unsigned int lastTime = 0;

    uint64_t End(size_t i) const { return uint64_t(items[i]->Start()) + items[i]->Duration(); }
    bool Add(std::unique_ptr<Probe> item) {
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

// A local generator, so these sequences never disturb the engine's shared one.
struct Lcg {
    uint32_t state;
    unsigned int Below(unsigned int n) {
        return ((state = state * 1664525u + 1013904223u) >> 8) % n;
    }
};

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
    EXPECT_EQ(Overlap, OrvErrorLog::Text());
    EXPECT_EQ(1, envelope.ItemCount());
    EXPECT_EQ(15, At(envelope, 1500));
    EXPECT_TRUE(envelope.AddItem(new OrvParameterLinear(2000, 1000, 50, 60))); // at the end
    EXPECT_EQ(20, At(envelope, 2000)); // at its end the first item still answers
    EXPECT_EQ(50.01, At(envelope, 2001));
    EXPECT_FALSE(envelope.AddItem(nullptr));

    // A 0 ms item answers only at its own instant, also when the next one starts there.
    OrvParameterEnvelope instant;
    instant.AddItem(new OrvParameterRandom(0, 0, 3, 3));
    instant.AddItem(new OrvParameterHold(0, 8));
    EXPECT_EQ(8, At(instant, 1));
    EXPECT_EQ(3, At(instant, 0));

    // An end past the 32-bit range must not wrap round and let an overlapping item in.
    OrvParameterEnvelope late;
    late.AddItem(new OrvParameterLinear(4294967000u, 1000, 0, 1));
    OrvParameterHold afterWrap(4294967295u, 1);
    EXPECT_FALSE(late.AddItem(&afterWrap));
    EXPECT_EQ(Overlap + Overlap, OrvErrorLog::Text());
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

TEST(OrvParameterEnvelope, RandomItemsDrawFromTheSharedGenerator) {
    // Each test runs in its own process, so the shared generator starts from the beginning.
    OrvRandom twin;
    OrvParameterRandom longItem(0, 1000, 5, 1); // bounds in either order
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(1 + twin.Next() / 32767.0 * 4, longItem.Value(10)); // fresh every time
    OrvParameterEnvelope shortItems;
    shortItems.AddItem(new OrvParameterRandom(100, 1, 1, 5));
    shortItems.AddItem(new OrvParameterRandom(200, 0, 1, 5));
    double first = At(shortItems, 150);
    EXPECT_EQ(1 + twin.Next() / 32767.0 * 4, first);
    EXPECT_EQ(first, At(shortItems, 199)); // drawn once, then held
    double second = At(shortItems, 200);
    EXPECT_EQ(1 + twin.Next() / 32767.0 * 4, second);
    EXPECT_EQ(second, At(shortItems, 5000));
    EXPECT_EQ(first, At(shortItems, 100));
    EXPECT_EQ(twin.Next(), OrvRandom::Shared().Next()); // holding drew nothing
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
                const Probe& item = *reference.items[random.Below(reference.items.size())];
                unsigned int edge = item.Start() + (how == 3 ? 0 : item.Duration());
                time = edge + random.Below(3) - (edge > 0 ? 1 : 0);
            }
            double expected = -999;
            reference.Get(time, expected);
            ASSERT_EQ(expected, At(envelope, time)) << "round " << round << " at " << time;
        }
    }
}
