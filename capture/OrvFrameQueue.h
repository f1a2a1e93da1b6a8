#ifndef ORV_CAPTURE_ORVFRAMEQUEUE_H
#define ORV_CAPTURE_ORVFRAMEQUEUE_H

// Lets rendering and writing run side by side: the render thread reads each frame into one of
// a few picture slots and goes on with the next frame while writer threads hand the filled
// slots to the frame output (PNG encoding and files, or a video encoder), oldest first. When
// every slot waits to be written the render thread waits too, so memory stays bounded and
// the slower side sets the pace.
//
// With one writer the output gets the frames strictly one after another, in order (a video
// needs that). With more, several frames are written at once, each by writer number 0 to
// writers - 1 (so an output can keep one encoder per writer); each frame still goes to the
// output exactly once, but they may finish in any order.
//
// Use (render thread): Start; then per frame Acquire, fill the slot, Submit; at the end
// Finish. Acquire returns null once the output has failed: the capture stops, and Finish
// returns false (the output's Error() says why).
//
// Ownership: owns the slots (writers + 2, allocated by the constructor, none per frame) and
// the writer threads; borrows the output, which must outlive the queue. The destructor
// finishes a queue still running. Not copyable.

#include "IOrvFrameOutput.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class OrvFrameQueue {
public:
    // As many writer threads as the output serves (IOrvFrameOutput::Writers).
    OrvFrameQueue(size_t frameBytes, IOrvFrameOutput& output);
    ~OrvFrameQueue();
    OrvFrameQueue(const OrvFrameQueue&) = delete;
    OrvFrameQueue& operator=(const OrvFrameQueue&) = delete;

    void Start();
    // A free slot of frameBytes for the next frame; blocks while all are taken.
    uint8_t* Acquire();
    // The slot of the last Acquire holds the next frame.
    void Submit();
    // Waits for every submitted frame to be written and ends the writer threads; false when
    // the output failed.
    bool Finish();

    bool Failed();
    // Frames the output has written so far.
    uint64_t Written();

private:
    void WriterLoop(int writer);

    std::vector<std::vector<uint8_t>> slots;
    std::vector<int> freeSlots;    // a stack of slot numbers
    std::vector<int> filled;       // a ring of slot numbers, oldest frame first
    std::vector<uint64_t> frameOf; // the frame each slot holds
    size_t filledStart;
    size_t filledCount;
    int acquired; // the slot of the last Acquire, -1 when none
    IOrvFrameOutput& output;
    std::vector<std::thread> writers;
    std::mutex mutex;
    std::condition_variable changed;
    uint64_t submitted;
    uint64_t written;
    bool failed;
    bool finishing;
};

#endif
