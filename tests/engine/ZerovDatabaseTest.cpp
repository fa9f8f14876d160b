// The database folder: its path with one trailing separator and the files named inside it,
// the lists of open and of changed tables, registration with the session, and destruction
// closing the tables still open, last opened first.

#include "tests/engine/ZerovTableTestSupport.h"

#include <gmock/gmock.h>

#include <algorithm>

namespace cibrano::testing {
namespace {

using ::testing::ElementsAre;

TEST(ZerovDatabase, PathKeepsOneTrailingSeparatorAndNamesFilesInsideTheFolder) {
    struct Case {
        const char* set;
        const char* kept;
        const char* file; // the path of "alimenti.d"
    } cases[] = {
        {"", "", "alimenti.d"},
        {"/srv/cucina", "/srv/cucina/", "/srv/cucina/alimenti.d"},
        {"/srv/cucina/", "/srv/cucina/", "/srv/cucina/alimenti.d"},
        {"/home/chef\\", "/home/chef\\", "/home/chef/alimenti.d"},
        {"C:\\Documenti\\Cucina", "C:\\Documenti\\Cucina\\", "C:\\Documenti\\Cucina/alimenti.d"},
        {"C:\\Documenti\\Cucina\\", "C:\\Documenti\\Cucina\\", "C:\\Documenti\\Cucina/alimenti.d"},
        {"cucina", "cucina\\", "cucina/alimenti.d"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set);
        TZerovDatabase db;
        db.setDatabasePath(c.set);
        EXPECT_EQ(db.DatabasePath(), c.kept);
        EXPECT_EQ(db.filePath("alimenti.d"), c.file);
    }
    TZerovDatabase db;
    EXPECT_EQ(db.DateFormat(), "mm/dd/yyyy");
}

TEST(ZerovDatabase, RegistersWithTheSessionForItsLifetime) {
    auto registered = [](TComponent* c) {
        const auto& all = session().databases();
        return std::find(all.begin(), all.end(), c) != all.end();
    };
    auto* db = new TZerovDatabase;
    EXPECT_TRUE(registered(db));
    delete db;
    EXPECT_FALSE(registered(db));
}

class ZerovDatabaseTest : public ZerovTableFixture {
protected:
    ZerovDatabaseTest() {
        db->setDatabasePath(dir.path);
        for (auto [table, name] : {std::pair{&a, "a.d"}, std::pair{&b, "b.d"}}) {
            copyGolden("food-plain.d", name);
            table->setDatabase(db);
            table->setTableName(name);
        }
    }
    ~ZerovDatabaseTest() override { delete db; }

    TZerovDatabase* db = new TZerovDatabase;
    TZerovTable a, b;
};

TEST_F(ZerovDatabaseTest, ListsEachOpenTableOnceAndEachChangedOneWhileItHasChanges) {
    a.open();
    b.open();
    a.close();
    a.open();
    EXPECT_THAT(db->openDatasets(), ElementsAre(&b, &a));

    a.moveFirst();
    a.beginEdit();
    EXPECT_THAT(db->modifiedDatasets(), ElementsAre(&a));
    a.cancelRecord();
    EXPECT_TRUE(db->modifiedDatasets().empty());
    setValue(a, "Quantita", "1");
    setValue(b, "Quantita", "2");
    setValue(a, "Quantita", "3");
    EXPECT_THAT(db->modifiedDatasets(), ElementsAre(&a, &b));
    a.acceptChanges();
    EXPECT_THAT(db->modifiedDatasets(), ElementsAre(&b));
    b.close();
    EXPECT_TRUE(db->modifiedDatasets().empty());
    EXPECT_THAT(db->openDatasets(), ElementsAre(&a));
}

TEST_F(ZerovDatabaseTest, DestroyingTheFolderClosesItsOpenTablesLastOpenedFirst) {
    std::vector<std::string> closed;
    a.AfterClose = [&](TDataSet*) { closed.push_back("a"); };
    b.AfterClose = [&](TDataSet*) { closed.push_back("b"); };
    a.open();
    b.open();
    delete db;
    db = nullptr;
    EXPECT_THAT(closed, ElementsAre("b", "a"));
    EXPECT_FALSE(a.Active());
    EXPECT_FALSE(b.Active());
    EXPECT_EQ(a.Database(), nullptr);
    EXPECT_EQ(b.Database(), nullptr);
}

} // namespace
} // namespace cibrano::testing
