#include "animation/OrvSyncRows.h"

#include <cmath>

OrvSyncRows::OrvSyncRows(double bpm, double rowsPerBeat) : rowLength(0) {
    double length = 60000.0 / (bpm * rowsPerBeat);
    if (bpm > 0 && rowsPerBeat > 0 && std::isfinite(length) && length > 0)
        rowLength = length;
}

unsigned OrvSyncRows::TimeOf(unsigned row) const {
    double time = std::floor(row * rowLength + 0.5);
    return time < 4294967295.0 ? static_cast<unsigned>(time) : 4294967295u;
}

unsigned OrvSyncRows::RowAt(unsigned position) const {
    if (rowLength <= 0)
        return 0;
    double estimate = std::floor((position + 0.5) / rowLength);
    unsigned row = estimate < 4294967295.0 ? static_cast<unsigned>(estimate) : 4294967295u;
    // The estimate is off by one at most where rounding meets the floor.
    while (row > 0 && TimeOf(row) > position)
        --row;
    while (row < 4294967295u && TimeOf(row + 1) <= position && TimeOf(row + 1) > TimeOf(row))
        ++row;
    return row;
}
