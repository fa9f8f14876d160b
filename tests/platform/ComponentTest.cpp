#include "platform/Component.h"
#include "platform/DatabaseError.h"

#include "ErrorMessage.h"

#include <gtest/gtest.h>

#include <vector>

using namespace cibrano;

namespace {

// Records removal notices and clears its reference, as components holding pointers do.
class Watcher : public TComponent {
public:
    using TComponent::TComponent;
    TComponent* watched = nullptr;
    std::vector<TComponent*> removed;

protected:
    void notification(TComponent* c, TOperation op) override {
        TComponent::notification(c, op);
        if (op == opRemove) {
            removed.push_back(c);
            if (c == watched)
                watched = nullptr;
        }
    }
};

class Tracked : public TComponent {
public:
    Tracked(TComponent* owner, std::vector<int>& log, int id)
        : TComponent(owner), log_(log), id_(id) {}
    ~Tracked() override { log_.push_back(id_); }

private:
    std::vector<int>& log_;
    int id_;
};

} // namespace

TEST(Component, OwnerDestroysOwnedComponentsLastCreatedFirst) {
    std::vector<int> log;
    {
        TComponent owner;
        new Tracked(&owner, log, 1);
        new Tracked(&owner, log, 2);
        new Tracked(&owner, log, 3);
        EXPECT_EQ(owner.componentCount(), 3);
    }
    EXPECT_EQ(log, (std::vector<int>{3, 2, 1}));
}

TEST(Component, FreeNotificationClearsReferenceWhenTheOtherGoes) {
    Watcher watcher;
    auto* target = new TComponent;
    watcher.watched = target;
    watcher.freeNotification(target);
    delete target;
    EXPECT_EQ(watcher.watched, nullptr);
}

TEST(Component, SiblingsHearOfEachOthersRemovalThroughTheOwner) {
    TComponent form;
    auto* watcher = new Watcher(&form);
    auto* table = new TComponent(&form);
    watcher->watched = table;
    delete table;
    EXPECT_EQ(watcher->watched, nullptr);
    EXPECT_EQ(form.componentCount(), 1);
}

TEST(Component, DestroyedWatcherIsNoLongerNotified) {
    auto* target = new TComponent;
    {
        Watcher watcher;
        watcher.freeNotification(target);
    }
    delete target; // must not touch the destroyed watcher
    SUCCEED();
}

TEST(Component, FindsOwnedComponentByNameIgnoringCase) {
    TComponent form;
    auto* t = new TComponent(&form);
    t->setName("Table1");
    EXPECT_EQ(form.findComponent("TABLE1"), t);
    EXPECT_EQ(form.findComponent("Table2"), nullptr);
}

TEST(DatabaseError, PrefixesTheComponentName) {
    TComponent named;
    named.setName("Table1");
    TComponent anonymous;
    EXPECT_EQ(testkit::messageOf([&] { databaseError("Record not found", &named); }),
              "Table1: Record not found");
    EXPECT_EQ(testkit::messageOf([&] { databaseError("x", &anonymous); }), "x");
    EXPECT_EQ(componentMessage("x", &anonymous), "x");
}
