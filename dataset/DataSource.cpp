#include "dataset/DataSource.h"

#include "dataset/DataLink.h"
#include "dataset/DataSet.h"
#include "dataset/DbConsts.h"
#include "platform/DatabaseError.h"

#include <algorithm>
#include <set>

namespace cibrano {

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
    destroying();
    OnStateChange = nullptr;
    setDataSet(nullptr);
    while (!links_.empty())
        removeLink(links_.back());
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
    const TLifeMark::Watch self = lifeMark_.watch();
    for (TDataLink* l : std::vector<TDataLink*>(links_)) {
        if (!self.alive())
            return;
        if (std::find(links_.begin(), links_.end(), l) != links_.end())
            l->deliverDataEvent(evUpdateState, 0);
    }
    if (!self.alive() || isDestroying())
        return;
    if (OnStateChange)
        OnStateChange(this);
    if (self.alive() && old == stateInactive && OnDataChange)
        OnDataChange(this, nullptr);
}

void TDataSource::deliverToLinks(DataEventKind kind, intptr_t info, bool visual) {
    // A link may leave or be freed while it, or another, is told something; the walk goes on
    // with the links still here, and stops when this source is gone.
    const TLifeMark::Watch self = lifeMark_.watch();
    const std::vector<TDataLink*> links(links_);
    for (auto l = links.rbegin(); l != links.rend(); ++l) {
        if (!self.alive())
            return;
        if (std::find(links_.begin(), links_.end(), *l) != links_.end() &&
            (*l)->VisualControl() == visual)
            (*l)->deliverDataEvent(kind, info);
    }
}

void TDataSource::deliverEvent(DataEventKind kind, intptr_t info) {
    if (kind == evUpdateState) {
        updateState();
        return;
    }
    if (state_ == stateInactive)
        return;
    const TLifeMark::Watch self = lifeMark_.watch();
    deliverToLinks(kind, info, false);
    // A link's handler may have freed this source or closed the dataset.
    if (!self.alive() || state_ == stateInactive)
        return;
    deliverToLinks(kind, info, true);
    if (!self.alive() || state_ == stateInactive)
        return;
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
    const TLifeMark::Watch linkAlive = link->watchLife();
    if (dataSet_)
        dataSet_->updateBufferCount();
    if (linkAlive.alive())
        link->updateState();
}

void TDataSource::removeLink(TDataLink* link) {
    link->dataSource_ = nullptr;
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
    // The link's handlers may free this source.
    const TLifeMark::Watch self = lifeMark_.watch();
    link->updateState();
    if (self.alive() && dataSet_)
        dataSet_->updateBufferCount();
}

} // namespace cibrano
