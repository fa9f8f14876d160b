#include "dataset/DataLink.h"
#include "dataset/DataSet.h"
#include "dataset/DataSource.h"
#include "dataset/DbConsts.h"
#include "platform/DatabaseError.h"
#include "platform/RunThenAlways.h"

#include <algorithm>

// The record window of TDataSet and the moves over it.
//
// The window is a list of buffer count + 1 record buffers: buffers 0 .. filled count - 1 hold
// consecutive records, the one at the filled count is the spare that the next fetch fills.
// Fetching rotates buffers instead of copying records.

namespace cibrano {

uint8_t* TDataSet::bufferAt(int index) const {
    if (index < 0 || index >= static_cast<int>(buffers_.size()))
        return nullptr;
    return buffers_[static_cast<size_t>(index)];
}

void TDataSet::clearWindow() {
    filledCount_ = 0;
    activeIndex_ = 0;
    cursorIndex_ = -1;
    bof_ = true;
    eof_ = true;
}

void TDataSet::activateWindow() {
    filledCount_ = 1;
    activeIndex_ = 0;
    cursorIndex_ = 0;
    bof_ = false;
    eof_ = false;
}

void TDataSet::putCursorOnBuffer(int index) {
    if (index == cursorIndex_)
        return;
    uint8_t* buffer = bufferAt(index);
    if (!buffer)
        return;
    switch (bookmarkFlagOf(buffer)) {
    case bookmarkBOF:
        moveBeforeFirst();
        break;
    case bookmarkEOF:
        moveAfterLast();
        break;
    default:
        moveToBufferRecord(buffer);
        break;
    }
    cursorIndex_ = index;
}

void TDataSet::updateCursorPosition() {
    if (filledCount_ > 0)
        putCursorOnBuffer(activeIndex_);
}

void TDataSet::moveBuffer(int from, int to) {
    // The buffer taken out at `from` and put back in at `to`, the others keeping their order:
    // a rotation of the buffers between the two places (a record fetched at the end of a full
    // window moves the first buffer behind the others once per record).
    uint8_t* const moved = buffers_[static_cast<size_t>(from)];
    for (int i = from; i < to; ++i)
        buffers_[static_cast<size_t>(i)] = buffers_[static_cast<size_t>(i + 1)];
    for (int i = from; i > to; --i)
        buffers_[static_cast<size_t>(i)] = buffers_[static_cast<size_t>(i - 1)];
    buffers_[static_cast<size_t>(to)] = moved;
}

TFetchResult TDataSet::fetchInto(uint8_t* buffer, TFetchMode mode, bool check) {
    TFetchResult result = fetchError;
    ++fetchDepth_;
    runThenAlways([&] { result = fetchRecord(buffer, mode, check); }, [&] { --fetchDepth_; });
    return result;
}

void TDataSet::applyPendingBufferCount() {
    if (!bufferCountPending_ || fetchDepth_ > 0)
        return;
    bufferCountPending_ = false;
    updateBufferCount();
}

bool TDataSet::fetchBeside(int from, TFetchMode mode) {
    uint8_t* spare = spareBuffer();
    if (!spare)
        return false;
    TFetchResult result;
    try {
        if (filledCount_ > 0)
            putCursorOnBuffer(from);
        result = fetchInto(spare, mode, true);
    } catch (...) {
        cursorIndex_ = -1;
        throw;
    }
    if (result != fetchOK) {
        cursorIndex_ = -1;
        return false;
    }
    return true;
}

bool TDataSet::fetchNextRecord() {
    // A record being inserted as the window's last is not stored yet: the record after it is
    // the one the cursor stands on.
    const bool insertingLast = state_ == stateInsert && filledCount_ > 0 &&
                               activeIndex_ == filledCount_ - 1 &&
                               bookmarkFlagOf(activeBuffer()) == bookmarkCurrent;
    if (!fetchBeside(filledCount_ - 1, insertingLast ? fetchCurrent : fetchNext)) {
        applyPendingBufferCount();
        return false;
    }
    if (filledCount_ == 0)
        activateWindow();
    else if (filledCount_ < bufferCount_)
        ++filledCount_;
    else
        moveBuffer(0, filledCount_);
    cursorIndex_ = filledCount_ - 1;
    applyPendingBufferCount();
    return true;
}

bool TDataSet::fetchPriorRecord() {
    if (!fetchBeside(0, fetchPrior)) {
        applyPendingBufferCount();
        return false;
    }
    if (filledCount_ == 0) {
        activateWindow();
    } else {
        moveBuffer(filledCount_, 0);
        if (filledCount_ < bufferCount_) {
            ++filledCount_;
            ++activeIndex_;
        }
    }
    cursorIndex_ = 0;
    applyPendingBufferCount();
    return true;
}

int TDataSet::fillForward() {
    int added = 0;
    while (filledCount_ < bufferCount_ && fetchNextRecord())
        ++added;
    return added;
}

int TDataSet::fillBackward() {
    int added = 0;
    while (filledCount_ < bufferCount_ && fetchPriorRecord())
        ++added;
    return added;
}

void TDataSet::resizeBufferList(int size) {
    size_t wanted = static_cast<size_t>(std::max(size, 0));
    size_t old = buffers_.size();
    if (wanted > old) {
        buffers_.reserve(wanted);
        try {
            while (buffers_.size() < wanted)
                buffers_.push_back(newRecordBuffer());
        } catch (...) {
            // Only what this step allocated goes; the list is as it was.
            while (buffers_.size() > old) {
                disposeRecordBuffer(buffers_.back());
                buffers_.pop_back();
            }
            throw;
        }
    } else {
        while (buffers_.size() > wanted) {
            uint8_t* b = buffers_.back();
            buffers_.pop_back();
            disposeRecordBuffer(b);
        }
    }
}

void TDataSet::shiftLinksFirstVisible(int delta) {
    if (delta == 0)
        return;
    for (TDataLink* link = firstLink_; link; link = link->next_)
        if (link->active_)
            link->firstVisible_ = std::max(0, link->firstVisible_ + delta);
}

void TDataSet::setBufferCount(int count) {
    if (bufferCount_ == count)
        return;
    if (bufferCount_ > count && filledCount_ > 0) {
        // Keep the records that the links show: the lowest first visible record of any active
        // link (or the active record, if lower) becomes buffer 0.
        int delta = activeIndex_;
        for (TDataLink* link = firstLink_; link; link = link->next_)
            if (link->active_ && link->firstVisible_ < delta)
                delta = link->firstVisible_;
        // The active record stays in the window even when a link has not yet heard of the
        // last move (a link freed by a handler while the others were being told).
        delta = std::max(delta, activeIndex_ - count + 1);
        delta = std::clamp(delta, 0, filledCount_ - 1);
        std::rotate(buffers_.begin(), buffers_.begin() + delta, buffers_.end());
        activeIndex_ -= delta;
        if (cursorIndex_ != -1)
            cursorIndex_ -= delta;
        // Only the records from the old index delta on are still in order.
        filledCount_ = std::min(filledCount_ - delta, count);
        activeIndex_ = std::min(activeIndex_, filledCount_ - 1);
        if (cursorIndex_ < 0 || cursorIndex_ >= filledCount_)
            cursorIndex_ = -1;
        shiftLinksFirstVisible(-delta);
    }
    resizeBufferList(count + 1);
    bufferCount_ = count;
    if (!isDestroying()) {
        fillForward();
        shiftLinksFirstVisible(fillBackward());
    }
}

void TDataSet::updateBufferCount() {
    int largest = 1;
    firstLink_ = nullptr;
    for (auto s = dataSources_.rbegin(); s != dataSources_.rend(); ++s)
        for (auto l = (*s)->links_.rbegin(); l != (*s)->links_.rend(); ++l) {
            (*l)->next_ = firstLink_;
            firstLink_ = *l;
            largest = std::max(largest, (*l)->bufferCount_);
        }
    // Buffers are sized for the store as the last open laid it out: a closed dataset gets none,
    // even when its engine keeps the store between opens.
    if (!openComplete_ || !storeIsOpen())
        return;
    // A record is being fetched into the spare buffer: the window changes once it is whole.
    if (fetchDepth_ > 0) {
        bufferCountPending_ = true;
        return;
    }
    setBufferCount(largest);
}

void TDataSet::setLinkActiveIndex(int index) {
    if (index >= 0 && index < std::max(filledCount_, 1))
        activeIndex_ = index;
}

// --- Moves -------------------------------------------------------------------------------

void TDataSet::moveFirst() {
    settlePendingEdit();
    doBeforeScroll();
    if (!Active())
        return;
    clearWindow();
    runThenAlways(
        [&] {
            moveBeforeFirst();
            fetchNextRecord();
            fillForward();
        },
        [&] {
            bof_ = true;
            raiseDataEvent(evDatasetChange);
            doAfterScroll();
        });
}

void TDataSet::moveLast() {
    settlePendingEdit();
    doBeforeScroll();
    if (!Active())
        return;
    clearWindow();
    runThenAlways(
        [&] {
            moveAfterLast();
            fetchPriorRecord();
            fillBackward();
        },
        [&] {
            eof_ = true;
            raiseDataEvent(evDatasetChange);
            doAfterScroll();
        });
}

int TDataSet::moveByDistance(int distance) {
    settlePendingEdit();
    doBeforeScroll();
    if ((distance > 0 && eof_) || (distance < 0 && bof_) || distance == 0 || !Active())
        return 0;
    bof_ = false;
    eof_ = false;
    const int oldFilled = filledCount_;
    int scroll = 0;
    int moved = 0;
    runThenAlways(
        [&] {
            while (distance > 0) {
                if (activeIndex_ < filledCount_ - 1) {
                    ++activeIndex_;
                } else {
                    bool wasFull = filledCount_ >= bufferCount_;
                    if (!fetchNextRecord()) {
                        eof_ = true;
                        break;
                    }
                    if (wasFull)
                        --scroll;
                    if (activeIndex_ < filledCount_ - 1)
                        ++activeIndex_;
                }
                --distance;
                ++moved;
            }
            while (distance < 0) {
                if (activeIndex_ > 0) {
                    --activeIndex_;
                } else {
                    bool wasFull = filledCount_ >= bufferCount_;
                    if (!fetchPriorRecord()) {
                        bof_ = true;
                        break;
                    }
                    if (wasFull)
                        ++scroll;
                    if (activeIndex_ > 0)
                        --activeIndex_;
                }
                ++distance;
                --moved;
            }
        },
        [&] {
            if (filledCount_ == oldFilled)
                raiseDataEvent(evDatasetScroll, scroll);
            else
                raiseDataEvent(evDatasetChange);
            doAfterScroll();
        });
    return moved;
}

void TDataSet::refillBuffers(bool exact, bool center) {
    uint8_t* spare = spareBuffer();
    if (!spare)
        return;
    if (exact) {
        cursorIndex_ = -1;
        if (fetchInto(spare, fetchCurrent, true) != fetchOK)
            databaseError(dbconsts::kRecordNotFound, this);
    } else if (fetchInto(spare, fetchCurrent, false) != fetchOK &&
               fetchInto(spare, fetchNext, false) != fetchOK &&
               fetchInto(spare, fetchPrior, false) != fetchOK) {
        clearWindow();
        applyPendingBufferCount();
        raiseDataEvent(evDatasetChange);
        return;
    }
    int target = center ? (bufferCount_ - 1) / 2 : activeIndex_;
    moveBuffer(filledCount_, 0);
    activateWindow();
    applyPendingBufferCount();
    runThenAlways(
        [&] {
            while (target > 0 && fetchPriorRecord())
                --target;
            fillForward();
            fillBackward();
        },
        [&] { raiseDataEvent(evDatasetChange); });
}

} // namespace cibrano
