#include "dataset/DataSource.h"

#include "dataset/DataLink.h"
#include "dataset/DataSet.h"
#include "dataset/DbConsts.h"
#include "dataset/FirstError.h"
#include "platform/DatabaseError.h"
#include "platform/RunThenAlways.h"

#include <algorithm>
#include <set>

namespace cibrano {

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
    destroying();
    OnStateChange = nullptr;
    // Nothing may escape a destructor: a link handler's error is dropped here.
    try {
        setDataSet(nullptr);
    } catch (...) {
    }
    while (!links_.empty()) {
        try {
            removeLink(links_.back());
        } catch (...) {
        }
    }
}

bool TDataSource::isLinkedTo(TDataSet* dataSet) const {
    // Every dataset is visited once, so a circle that does not pass through this source
    // cannot keep the walk going.
    std::set<const TDataSet*> seen;
    while (dataSet && seen.insert(dataSet).second) {
        TDataSource* master = dataSet->masterSourceOf();
        if (master == this)
            return true;
        dataSet = master ? master->DataSet() : nullptr;
    }
    return false;
}

void TDataSource::setDataSet(TDataSet* dataSet) {
    if (isLinkedTo(dataSet))
        databaseError(dbconsts::kCircularDataLink, this);
    if (dataSet == dataSet_)
        return;
    if (dataSet_) {
        removeFreeNotification(dataSet_);
        // Leaving tells the links, whose handlers may free this source or attach it again.
        const TLifeMark::Watch self = lifeMark_.watch();
        dataSet_->removeDataSource(this);
        if (!self.alive() || dataSet_)
            return;
    }
    if (dataSet) {
        freeNotification(dataSet);
        dataSet->addDataSource(this);
    }
}

void TDataSource::setEnabled(bool value) {
    enabled_ = value;
    updateState();
}

void TDataSource::edit() {
    if (autoEdit_ && state_ == stateBrowse && dataSet_)
        dataSet_->beginEdit();
}

void TDataSource::notification(TComponent* component, TOperation operation) {
    TComponent::notification(component, operation);
    if (operation == opRemove && dataSet_ && component == dataSet_)
        setDataSet(nullptr);
}

void TDataSource::updateState() {
    DatasetState state = enabled_ && dataSet_ ? dataSet_->State() : stateInactive;
    if (state == state_)
        return;
    DatasetState old = state_;
    state_ = state;
    // Handlers may free this source, or detach or free links that have not heard it yet.
    // An error raised by one listener does not keep the others from hearing of the change.
    const TLifeMark::Watch self = lifeMark_.watch();
    TFirstError error;
    for (TDataLink* l : std::vector<TDataLink*>(links_)) {
        if (!self.alive())
            break;
        if (std::find(links_.begin(), links_.end(), l) != links_.end())
            error.run([&] { l->deliverDataEvent(evUpdateState, 0); });
    }
    if (self.alive() && !isDestroying()) {
        if (OnStateChange)
            error.run([&] { OnStateChange(this); });
        if (self.alive() && old == stateInactive && OnDataChange)
            error.run([&] { OnDataChange(this, nullptr); });
    }
    error.rethrow();
}

void TDataSource::deliverToLinks(DataEventKind kind, intptr_t info, bool visual) {
    // A link may leave or be freed while it, or another, is told something; the walk goes on
    // with the links still here, and stops when this source is gone.
    // An error raised by one link is passed on once the others have heard the event.
    const TLifeMark::Watch self = lifeMark_.watch();
    const std::vector<TDataLink*> links(links_);
    TFirstError error;
    for (auto l = links.rbegin(); l != links.rend(); ++l) {
        if (!self.alive())
            break;
        if (std::find(links_.begin(), links_.end(), *l) != links_.end() &&
            (*l)->VisualControl() == visual)
            error.run([&] { (*l)->deliverDataEvent(kind, info); });
    }
    error.rethrow();
}

void TDataSource::deliverEvent(DataEventKind kind, intptr_t info) {
    if (kind == evUpdateState) {
        updateState();
        return;
    }
    if (state_ == stateInactive)
        return;
    const TLifeMark::Watch self = lifeMark_.watch();
    TFirstError error;
    error.run([&] { deliverToLinks(kind, info, false); });
    // A link's handler may have freed this source or closed the dataset.
    if (self.alive() && state_ != stateInactive)
        error.run([&] { deliverToLinks(kind, info, true); });
    if (self.alive() && state_ != stateInactive)
        error.run([&] { raiseOwnEvent(kind, info); });
    error.rethrow();
}

void TDataSource::raiseOwnEvent(DataEventKind kind, intptr_t info) {
    switch (kind) {
    case evFieldChange:
        if (OnDataChange)
            OnDataChange(this, eventField(info));
        break;
    case evRecordChange:
    case evDatasetChange:
    case evDatasetScroll:
    case evLayoutChange:
        if (OnDataChange)
            OnDataChange(this, nullptr);
        break;
    case evUpdateRecord:
        if (OnUpdateData)
            OnUpdateData(this);
        break;
    default:
        break;
    }
}

void TDataSource::addLink(TDataLink* link) {
    links_.push_back(link);
    link->dataSource_ = this;
    // Filling the dataset's window runs handlers, which may free the link.
    // The link learns its state even when the fill raises.
    const TLifeMark::Watch linkAlive = link->watchLife();
    runThenAlways(
        [&] {
            if (dataSet_)
                dataSet_->updateBufferCount();
        },
        [&] {
            if (linkAlive.alive())
                link->updateState();
        });
}

void TDataSource::removeLink(TDataLink* link) {
    link->dataSource_ = nullptr;
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
    // The link's handlers may free this source.
    // The dataset's chain of links is rebuilt without this one even when a handler raises:
    // the link may be freed next.
    const TLifeMark::Watch self = lifeMark_.watch();
    runThenAlways([&] { link->updateState(); },
                  [&] {
                      if (self.alive() && dataSet_)
                          dataSet_->updateBufferCount();
                  });
}

} // namespace cibrano
