// Making and freeing the store as a table file, and the progress it reports while reading or
// writing one.

#include "engine/file/ZerovCursor.h"

#include "engine/file/Sapphire.h"

namespace cibrano {

TZerovCursor::~TZerovCursor() {
    // The block holds the plain body key of the table.
    wipeSecret(passwordBlock_, sizeof passwordBlock_);
}

// Tells onProgress the percentage done, rounded half to even, when it changed.
void TZerovCursor::reportProgress(int64_t done, int64_t total, int& lastReported) {
    if (!onProgress || total <= 0)
        return;
    int64_t scaled = done * 100;
    int64_t q = scaled / total;
    int64_t twice = (scaled % total) * 2;
    if (twice > total || (twice == total && (q % 2) != 0))
        ++q;
    int percent = static_cast<int>(q);
    if (percent != lastReported) {
        lastReported = percent;
        onProgress(percent);
    }
}

} // namespace cibrano
