#ifndef ORV_ANIMATION_ORVPARAMETERTABLE_H
#define ORV_ANIMATION_ORVPARAMETERTABLE_H

// One walk over a class's list of parameters: the single place where a class declares, for
// each of its parameters, the name, the field and how a timeline value is converted.
//
// A class lists its parameters in DescribeParameters (see OrvParameterInterface), one call
// per parameter, in the order of their numbers:
//
//     void OrvObjectEnviroment::DescribeParameters(OrvParameterTable& table) {
//         table.Switch("lighting", lighting);
//         table.TruncatedSwitch("fog", fog);
//         table.Float("fogDensity", fogDensity);
//     }
//
// The same list answers the three questions asked of a parameter interface: the name of
// parameter i (registration), store a value into parameter i (every frame), and read the
// current value of parameter i. The table is made for one question about one number, walks
// the list once and keeps the answer; the entry whose position in the walk equals that number
// is the one that acts, all others only count. A number that no entry reaches (negative, or
// past the end) leaves the table without an answer.
//
// Conversions, applied when a value is stored:
//   Float           rounded to float
//   Double          unchanged
// except that Float and Double ignore a value a float cannot hold (NaN, infinite, or past
// +-3.4e38): the field keeps the value it had. What these fields hold ends up in OpenGL's
// floats, where such a value would draw garbage or nothing.
//   Switch          on when the value is not 0 (NaN is not 0: on)
//   TruncatedSwitch on when the value truncated toward zero is not 0 (0.7 is off; NaN is off)
//   Integer         truncated toward zero (NaN as 0, values past the int range as its ends),
//                   then limited to low..high
//   FloatWithin     rounded to float, then limited to low..high; NaN becomes low
//   Custom          the owner stores it (it asks Storing() and takes Value())
// A read gives the field as a double: a switch reads 1 or 0, so storing what was read gives
// the same state back.
//
// Walking allocates nothing: names are borrowed C strings that must outlive the walk, and
// only the name question copies one into a std::string. Used on the stack, one per question.

#include <cfloat>
#include <cstdint>
#include <string>

class OrvParameterTable {
public:
    enum Question { NameOf, Store, Read };

    OrvParameterTable(Question question, int index, double value = 0.0)
        : question(question), target(index), position(0), value(value), answered(false),
          answerName(nullptr) {}

    // Entries, in the order of their numbers.
    void Float(const char* name, float& field) {
        if (Reached(name)) {
            if (question == Store) {
                if (FitsFloat(value))
                    field = static_cast<float>(value);
            } else {
                value = field;
            }
        }
    }
    void Double(const char* name, double& field) {
        if (Reached(name)) {
            if (question == Store) {
                if (FitsFloat(value))
                    field = value;
            } else {
                value = field;
            }
        }
    }
    void Switch(const char* name, bool& field) {
        if (Reached(name)) {
            if (question == Store)
                field = value != 0.0;
            else
                value = field ? 1.0 : 0.0;
        }
    }
    void TruncatedSwitch(const char* name, bool& field) {
        if (Reached(name)) {
            if (question == Store)
                field = TruncateToInt64(value) != 0;
            else
                value = field ? 1.0 : 0.0;
        }
    }
    void Integer(const char* name, int& field, int low, int high) {
        if (Reached(name)) {
            if (question == Store) {
                int truncated = TruncateToInt(value);
                field = truncated < low ? low : (truncated > high ? high : truncated);
            } else {
                value = field;
            }
        }
    }
    void FloatWithin(const char* name, float& field, float low, float high) {
        if (Reached(name)) {
            if (question == Store) {
                float v = static_cast<float>(value);
                // Written so that NaN fails the first test and lands on the lower limit.
                field = !(v >= low) ? low : (v > high ? high : v);
            } else {
                value = field;
            }
        }
    }
    // A parameter whose store needs more than a conversion. True only when this entry is to
    // be stored: the owner then takes Value() and stores it itself. `current` is what a read
    // of this entry gives.
    bool Custom(const char* name, double current) {
        if (!Reached(name))
            return false;
        if (question == Store)
            return true;
        value = current;
        return false;
    }

    // The value being stored (Store), or the value read (Read, once answered).
    double Value() const { return value; }
    // True when an entry had the number asked for.
    bool Answered() const { return answered; }
    // The name of that entry (NameOf, once answered); empty otherwise.
    std::string Name() const { return answerName ? std::string(answerName) : std::string(); }

    // Truncation toward zero for values the timeline may send anywhere: a plain conversion of
    // NaN or of a value outside the range is undefined, so those are pinned first.
    // True for a number a float can hold: finite, and within float's range.
    static bool FitsFloat(double value) { return value >= -FLT_MAX && value <= FLT_MAX; }
    static int64_t TruncateToInt64(double value);
    static int TruncateToInt(double value);

private:
    bool Reached(const char* name) {
        if (position++ != target)
            return false;
        answered = true;
        answerName = name;
        return question != NameOf;
    }

    Question question;
    int target;
    int position;
    double value;
    bool answered;
    const char* answerName;
};

#endif
