// The example key tables that the Windows release carries: each passes the
// tool's strict check of a ".kbd" file, is exactly what the writer writes for
// its table, and gives every slot of both layers a key.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/key_file.h"
#include "files/kbd_file.h"
#include "model/key_table.h"

namespace {

std::string Contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::filesystem::path> Examples() {
    std::vector<std::filesystem::path> examples;
    for (const auto& entry : std::filesystem::directory_iterator(USBKBD_EXAMPLES_DIR)) {
        if (entry.path().extension() == ".kbd") examples.push_back(entry.path());
    }
    return examples;
}

TEST(ReleaseExamples, LoadAsWrittenAndFillEverySlot) {
    const std::vector<std::filesystem::path> examples = Examples();
    ASSERT_EQ(examples.size(), 3u);
    const std::filesystem::path saved =
        std::filesystem::temp_directory_path() / ("usbkbd-example-" + std::to_string(getpid()));
    for (const auto& example : examples) {
        SCOPED_TRACE(example.filename().string());
        ClearKeyTable();
        ASSERT_EQ(LoadCheckedKeyFile(example.string()), "");
        for (int layer = 0; layer < 2; ++layer) {
            for (int slot = 1; slot <= SLOT_COUNT; ++slot)
                EXPECT_NE(GetKeyCode(layer, slot), 0) << slot;
        }
        ASSERT_TRUE(SaveKeyFile(saved.string().c_str()));
        EXPECT_EQ(Contents(saved), Contents(example));
    }
    std::filesystem::remove(saved);
}

}  // namespace
