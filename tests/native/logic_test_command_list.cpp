// The command list that the menu's resources, the browser page and the
// dispatch all take their ids from.
#include <gtest/gtest.h>

#include <set>

#include "logic/command_ids.h"
#include "model/key_table.h"

namespace {

#define COMMAND(name, id, handler) name,
constexpr int LISTED_IDS[] = {
#include "logic/command_list.inc"
};
#undef COMMAND

TEST(CommandList, IdsAreUniqueAndClearOfTheSlotButtons) {
    std::set<int> ids;
    for (int id : LISTED_IDS) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(ids.insert(id).second);
        EXPECT_FALSE(id >= ID_CHANGE_FIRST && id < ID_CHANGE_FIRST + SLOT_COUNT);
        EXPECT_FALSE(id >= ID_CLEAR_FIRST && id < ID_CLEAR_FIRST + SLOT_COUNT);
    }
    EXPECT_GE(ID_CLEAR_FIRST, ID_CHANGE_FIRST + SLOT_COUNT);
}

}  // namespace
