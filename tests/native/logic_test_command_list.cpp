// The command list that the menu's resources, the dispatch and the command
// line's verbs all take their ids from.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "logic/command_ids.h"
#include "model/key_table.h"

namespace {

TEST(CommandList, IdsAndVerbsAreUniqueAndClearOfTheSlotButtons) {
    std::set<int> ids;
    std::set<std::string> verbs;
    for (const CommandName& command : COMMAND_NAMES) {
        SCOPED_TRACE(command.verb);
        EXPECT_TRUE(ids.insert(command.id).second);
        EXPECT_TRUE(verbs.insert(command.verb).second);
        EXPECT_FALSE(command.id >= ID_CHANGE_FIRST && command.id < ID_CHANGE_FIRST + SLOT_COUNT);
        EXPECT_FALSE(command.id >= ID_CLEAR_FIRST && command.id < ID_CLEAR_FIRST + SLOT_COUNT);
        for (char c : std::string(command.verb)) {
            EXPECT_TRUE(std::islower(static_cast<unsigned char>(c)) || c == '-') << c;
        }
    }
    EXPECT_GE(ID_CLEAR_FIRST, ID_CHANGE_FIRST + SLOT_COUNT);
}

}  // namespace
