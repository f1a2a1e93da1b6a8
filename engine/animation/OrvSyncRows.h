#ifndef ORV_ANIMATION_ORVSYNCROWS_H
#define ORV_ANIMATION_ORVSYNCROWS_H

// Rows of a sync editor against the show's milliseconds: row = position in beats ×
// rowsPerBeat. A row's time is rounded to the nearest millisecond (the show's clock has no
// finer step); RowAt(position) is the last row whose time is at or before the position, so
// RowAt(TimeOf(row)) == row always. Without a usable bpm or rows per beat every row is at 0.
// Rows past the clock's range stop at its end. Plain arithmetic; allocates nothing.

class OrvSyncRows {
public:
    OrvSyncRows(double bpm = 0, double rowsPerBeat = 8);

    unsigned TimeOf(unsigned row) const;
    unsigned RowAt(unsigned position) const;
    // Milliseconds per row; 0 without a usable timing.
    double RowLength() const { return rowLength; }

private:
    double rowLength;
};

#endif
