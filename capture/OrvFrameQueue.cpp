#include "OrvFrameQueue.h"

OrvFrameQueue::OrvFrameQueue(size_t frameBytes, IOrvFrameOutput& output)
    : filledStart(0), filledCount(0), acquired(-1), output(output), submitted(0), written(0),
      failed(false), finishing(false) {
    int count = output.Writers() > 0 ? output.Writers() : 1;
    // One slot being filled, one waiting, one per writer being written.
    size_t slotCount = static_cast<size_t>(count) + 2;
    slots.assign(slotCount, std::vector<uint8_t>(frameBytes));
    for (size_t i = slotCount; i-- > 0;)
        freeSlots.push_back(static_cast<int>(i));
    filled.assign(slotCount, -1);
    frameOf.assign(slotCount, 0);
    writers.resize(static_cast<size_t>(count));
}

OrvFrameQueue::~OrvFrameQueue() {
    Finish();
}

void OrvFrameQueue::Start() {
    for (size_t i = 0; i < writers.size(); ++i)
        writers[i] = std::thread(&OrvFrameQueue::WriterLoop, this, static_cast<int>(i));
}

uint8_t* OrvFrameQueue::Acquire() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return failed || !freeSlots.empty(); });
    if (failed)
        return nullptr;
    acquired = freeSlots.back();
    freeSlots.pop_back();
    return slots[static_cast<size_t>(acquired)].data();
}

void OrvFrameQueue::Submit() {
    std::lock_guard<std::mutex> lock(mutex);
    if (acquired < 0)
        return;
    frameOf[static_cast<size_t>(acquired)] = submitted++;
    filled[(filledStart + filledCount) % filled.size()] = acquired;
    ++filledCount;
    acquired = -1;
    changed.notify_all();
}

void OrvFrameQueue::WriterLoop(int writer) {
    for (;;) {
        int slot = -1;
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [this] { return failed || filledCount > 0 || finishing; });
            if (failed || filledCount == 0)
                return; // failed, or finishing with nothing left
            slot = filled[filledStart];
            filledStart = (filledStart + 1) % filled.size();
            --filledCount;
        }
        size_t index = static_cast<size_t>(slot);
        bool ok = output.WriteFrame(writer, frameOf[index], slots[index].data());
        std::lock_guard<std::mutex> lock(mutex);
        freeSlots.push_back(slot);
        if (!ok)
            failed = true;
        else
            ++written;
        changed.notify_all();
        if (!ok)
            return;
    }
}

bool OrvFrameQueue::Finish() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        finishing = true;
        changed.notify_all();
    }
    for (std::thread& writer : writers)
        if (writer.joinable())
            writer.join();
    std::lock_guard<std::mutex> lock(mutex);
    return !failed;
}

bool OrvFrameQueue::Failed() {
    std::lock_guard<std::mutex> lock(mutex);
    return failed;
}

uint64_t OrvFrameQueue::Written() {
    std::lock_guard<std::mutex> lock(mutex);
    return written;
}
