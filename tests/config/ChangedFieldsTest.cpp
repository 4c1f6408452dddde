#include "ModelFixture.h"

#include "config/ChangedFields.h"

namespace t6::test {
namespace {

TEST(ChangedFields, GivesEachFieldOnceInAscendingOrderAndStartsAfresh) {
    ChangedFields set(10);
    EXPECT_TRUE(set.empty());
    for (FieldId id : {7, 3, 7, 0, 9, 3})
        set.insert(id);
    EXPECT_EQ(set.take(), (std::vector<FieldId>{0, 3, 7, 9}));
    EXPECT_TRUE(set.empty());

    // The marks went with the list: the same fields count again.
    set.insert(7);
    set.insert(3);
    EXPECT_EQ(set.take(), (std::vector<FieldId>{3, 7}));

    set.insert(5);
    set.clear();
    EXPECT_TRUE(set.empty());
    set.insert(5);
    EXPECT_EQ(set.take(), (std::vector<FieldId>{5}));
}

TEST(ChangedFields, KeepsIdsOutsideTheFieldListOnceEach) {
    ChangedFields set(4);
    for (FieldId id : {4, -1, 2, 4, -1, 100})
        set.insert(id);
    EXPECT_EQ(set.take(), (std::vector<FieldId>{-1, 2, 4, 100}));
    set.insert(-1);
    EXPECT_EQ(set.take(), (std::vector<FieldId>{-1}));
}

using ChangeNotice = ModelTest;

TEST_F(ChangeNotice, AnOperationNamesEachFieldOnceInOrderAndTheNextOnlyItsOwn) {
    model.resetConfig();
    ASSERT_EQ(view.notifications, 1);
    ASSERT_FALSE(view.changed.empty());
    EXPECT_TRUE(std::is_sorted(view.changed.begin(), view.changed.end()));
    EXPECT_EQ(std::adjacent_find(view.changed.begin(), view.changed.end()), view.changed.end());
    EXPECT_TRUE(view.wasChanged("ME_tel5"));

    view.clear();
    model.setTelephone(2, "+79001234567");
    EXPECT_EQ(view.notifications, 1);
    EXPECT_EQ(view.changed, (std::vector<FieldId>{fieldIdOf(FieldRole::Telephone, 2)}));
}

} // namespace
} // namespace t6::test
