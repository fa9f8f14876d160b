#include "platform/Component.h"

#include "platform/AnsiCase.h"

#include <algorithm>

namespace cibrano {

TComponent::TComponent(TComponent* owner) {
    if (owner)
        owner->insertComponent(this);
}

TComponent::~TComponent() {
    destroying();
    // Tell every watcher first, while this object can still be compared by address.
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        auto& back = other->freeNotifies_;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        other->notification(this, opRemove);
    }
    while (!components_.empty()) {
        TComponent* child = components_.back();
        components_.pop_back();
        child->owner_ = nullptr;
        delete child;
    }
    if (owner_)
        owner_->removeComponent(this);
}

TComponent* TComponent::findComponent(const AnsiString& name) const {
    if (name.empty())
        return nullptr;
    for (TComponent* c : components_)
        if (ansiSameText(c->name_, name))
            return c;
    return nullptr;
}

void TComponent::freeNotification(TComponent* other) {
    if (!other || other == this)
        return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end())
        freeNotifies_.push_back(other);
    auto& back = other->freeNotifies_;
    if (std::find(back.begin(), back.end(), this) == back.end())
        back.push_back(this);
}

void TComponent::removeFreeNotification(TComponent* other) {
    if (!other)
        return;
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), other),
                        freeNotifies_.end());
    auto& back = other->freeNotifies_;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
}

void TComponent::beginLoading() {
    state_.include(csLoading);
}

void TComponent::endLoading() {
    state_.exclude(csLoading);
    loaded();
}

void TComponent::notification(TComponent* component, TOperation operation) {
    // An owner passes removals on to everything it owns, so siblings referring to each other
    // hear of it without asking.
    if (operation == opRemove && component && !isDestroying())
        for (TComponent* c : std::vector<TComponent*>(components_))
            if (c != component)
                c->notification(component, operation);
}

void TComponent::insertComponent(TComponent* child) {
    components_.push_back(child);
    child->owner_ = this;
    notification(child, opInsert);
}

void TComponent::removeComponent(TComponent* child) {
    components_.erase(std::remove(components_.begin(), components_.end(), child),
                      components_.end());
    child->owner_ = nullptr;
    notification(child, opRemove);
}

} // namespace cibrano
