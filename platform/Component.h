#pragma once
// The component base: a name, an owner that destroys what it owns (last created first), and
// removal notices, so that a component holding a plain pointer to another one hears when that
// one goes away and clears the pointer.

#include "platform/AnsiString.h"
#include "platform/Set.h"

#include <vector>

namespace cibrano {

enum TOperation { opInsert, opRemove };

enum TComponentStateItem { csLoading, csDestroying, csDesigning, csUpdating };
using TComponentState = TSet<TComponentStateItem>;

class TComponent {
public:
    explicit TComponent(TComponent* owner = nullptr);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const AnsiString& Name() const { return name_; }
    void setName(const AnsiString& name) { name_ = name; }
    TComponent* Owner() const { return owner_; }

    int componentCount() const { return static_cast<int>(components_.size()); }
    TComponent* component(int index) const { return components_.at(index); }
    // The owned component of that name (case-insensitive), or none.
    TComponent* findComponent(const AnsiString& name) const;

    TComponentState componentState() const { return state_; }
    bool isLoading() const { return state_.contains(csLoading); }
    bool isDestroying() const { return state_.contains(csDestroying); }

    // Asks for a removal notice when `other` is destroyed; the notice is mutual.
    void freeNotification(TComponent* other);
    void removeFreeNotification(TComponent* other);

    // Loading from a stored form: properties set in between are applied by loaded().
    void beginLoading();
    void endLoading();

protected:
    // Told when a component this one watches (an owned one, a sibling under the same owner, or
    // one asked for with freeNotification) is inserted or removed.
    virtual void notification(TComponent* component, TOperation operation);
    virtual void loaded() {}
    // Derived destructors call this first, so that everything they tear down knows.
    void destroying() { state_.include(csDestroying); }
    void setComponentStateItem(TComponentStateItem item, bool on) {
        on ? state_.include(item) : state_.exclude(item);
    }

private:
    void insertComponent(TComponent* child);
    void removeComponent(TComponent* child);

    AnsiString name_;
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    TComponentState state_;
};

} // namespace cibrano
