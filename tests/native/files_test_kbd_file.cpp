#include "files/kbd_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "files/kbd_text.h"
#include "model/key_table.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t UNTOUCHED = 0x5A5A;

void FillTable(int32_t value) {
    for (int index = 0; index < TABLE_SIZE; ++index) {
        SetKeyCode(LayerOfIndex(index), SlotOfIndex(index), value);
    }
}

// Gives every entry its own value of up to 16 bits.
void FillDistinct() {
    for (int index = 0; index < TABLE_SIZE; ++index) {
        SetKeyCode(LayerOfIndex(index), SlotOfIndex(index), (0x1111 * index + 0x0804) & 0xFFFF);
    }
}

std::vector<int32_t> Table() {
    std::vector<int32_t> values;
    for (int index = 0; index < TABLE_SIZE; ++index) {
        values.push_back(GetKeyCode(LayerOfIndex(index), SlotOfIndex(index)));
    }
    return values;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> NamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class KeyFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kbd_file_test_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        FillTable(UNTOUCHED);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string PathOf(const char* name) const { return (folder_ / name).string(); }

    fs::path folder_;
};

TEST_F(KeyFileTest, SavedTableLoadsBackAndSavesToTheSameBytes) {
    FillDistinct();
    const std::vector<int32_t> saved = Table();
    const std::string path = PathOf("keys.kbd");
    ASSERT_TRUE(SaveKeyFile(path.c_str()));
    const std::string first = ReadAll(path);
    EXPECT_EQ(first.size(), 82u);
    EXPECT_EQ(first.substr(0, 10), "0804 1915 ");
    EXPECT_EQ(first.substr(39, 2), "\r\n");

    FillTable(UNTOUCHED);
    ASSERT_TRUE(LoadKeyFile(path.c_str()));
    EXPECT_EQ(Table(), saved);
    ASSERT_TRUE(SaveKeyFile(path.c_str()));
    EXPECT_EQ(ReadAll(path), first);
    EXPECT_EQ(NamesIn(folder_), std::vector<std::string>{"keys.kbd"});
}

// Paths are code page 949 texts; the system names its files in UTF-8.
TEST_F(KeyFileTest, KoreanPathsNameTheFilesOfTheirUtf8Names) {
    FillDistinct();
    const std::vector<int32_t> saved = Table();
    const std::string cp949 = PathOf("\xC7\xD1\xC0\xDA.kbd");  // 한자.kbd
    ASSERT_TRUE(SaveKeyFile(cp949.c_str()));
    EXPECT_EQ(NamesIn(folder_), std::vector<std::string>{"\xED\x95\x9C\xEC\x9E\x90.kbd"});
    EXPECT_EQ(ReadAll(PathOf("\xED\x95\x9C\xEC\x9E\x90.kbd")).size(), 82u);
    FillTable(UNTOUCHED);
    ASSERT_TRUE(LoadKeyFile(cp949.c_str()));
    EXPECT_EQ(Table(), saved);

    // A byte that starts no code page 949 character names no file at all.
    const std::string broken = PathOf("\xFF.kbd");
    std::ofstream(broken, std::ios::binary) << "0004\r\n";
    EXPECT_FALSE(LoadKeyFile(broken.c_str()));
    EXPECT_FALSE(SaveKeyFile(broken.c_str()));
    EXPECT_EQ(Table(), saved);
}

TEST_F(KeyFileTest, LoadReplacesEveryEntry) {
    const std::string path = PathOf("short.kbd");
    WriteAll(path, "0004 0005\r\n");
    ASSERT_TRUE(LoadKeyFile(path.c_str()));
    std::vector<int32_t> expected(TABLE_SIZE, 0);
    expected[0] = 4;
    expected[1] = 5;
    EXPECT_EQ(Table(), expected);

    WriteAll(path, "");
    FillTable(UNTOUCHED);
    ASSERT_TRUE(LoadKeyFile(path.c_str()));
    EXPECT_EQ(Table(), std::vector<int32_t>(TABLE_SIZE, 0));
}

TEST_F(KeyFileTest, LoadStopsAtAZeroByteAndAfter512Bytes) {
    const std::string path = PathOf("long.kbd");
    WriteAll(path, std::string("0004 0005\0 0006\r\n0007\r\n", 23));
    ASSERT_TRUE(LoadKeyFile(path.c_str()));
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 2), 5);
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 3), 0);
    EXPECT_EQ(GetKeyCode(LAYER_SHIFT, 1), 0);

    // Line 2's second value is split by the limit: "12" before it, "3" after.
    std::string text = "0001\r\n0002 ";
    text.append(KEY_TEXT_READ_LIMIT - 2 - text.size(), '\t');
    text += "123\r\n";
    text.append(4096, '7');
    WriteAll(path, text);
    ASSERT_TRUE(LoadKeyFile(path.c_str()));
    EXPECT_EQ(GetKeyCode(LAYER_NORMAL, 1), 1);
    EXPECT_EQ(GetKeyCode(LAYER_SHIFT, 1), 2);
    EXPECT_EQ(GetKeyCode(LAYER_SHIFT, 2), 0x12);
}

TEST_F(KeyFileTest, FileThatCannotBeReadLeavesTheTable) {
    const std::vector<int32_t> before = Table();
    EXPECT_FALSE(LoadKeyFile(PathOf("missing.kbd").c_str()));
    EXPECT_EQ(Table(), before);

    fs::create_directory(folder_ / "folder.kbd");
    EXPECT_FALSE(LoadKeyFile(PathOf("folder.kbd").c_str()));
    EXPECT_EQ(Table(), before);
}

TEST_F(KeyFileTest, SaveReplacesAnExistingLongerFile) {
    const std::string path = PathOf("old.kbd");
    WriteAll(path, std::string(300, 'Q'));
    ClearKeyTable();
    ASSERT_TRUE(SaveKeyFile(path.c_str()));
    EXPECT_EQ(ReadAll(path),
              "0000 0000 0000 0000 0000 0000 0000 0000\r\n"
              "0000 0000 0000 0000 0000 0000 0000 0000\r\n");
    EXPECT_EQ(NamesIn(folder_), std::vector<std::string>{"old.kbd"});
}

TEST_F(KeyFileTest, SaveWhereNoFileCanBePutFailsAndLeavesNothing) {
    EXPECT_FALSE(SaveKeyFile(PathOf("no-such-folder/keys.kbd").c_str()));
    EXPECT_TRUE(NamesIn(folder_).empty());

    // A folder in the way: the new file is written but cannot take its place.
    fs::create_directory(folder_ / "taken.kbd");
    WriteAll(folder_ / "taken.kbd" / "inside", "kept");
    EXPECT_FALSE(SaveKeyFile(PathOf("taken.kbd").c_str()));
    EXPECT_EQ(NamesIn(folder_), std::vector<std::string>{"taken.kbd"});
    EXPECT_EQ(ReadAll(folder_ / "taken.kbd" / "inside"), "kept");
}

TEST_F(KeyFileTest, SaveThatCannotWriteEverythingLeavesTheOldFile) {
    const std::string path = PathOf("keys.kbd");
    const std::string old = "0001 0002 0003 0004 0005 0006 0007 0008\r\n\r\n";
    WriteAll(path, old);

    // A file size limit below the 82 bytes makes the write stop part way.
    rlimit normalLimit;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &normalLimit), 0);
    rlimit smallLimit = normalLimit;
    smallLimit.rlim_cur = 50;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &smallLimit), 0);
    bool savedOk = SaveKeyFile(path.c_str());
    setrlimit(RLIMIT_FSIZE, &normalLimit);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(savedOk);
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(NamesIn(folder_), std::vector<std::string>{"keys.kbd"});
}

// A file its owner cannot write is theirs to keep as it is; one they can
// write keeps its own permissions when a save replaces it.
TEST_F(KeyFileTest, SaveRefusesAReadOnlyFileAndKeepsTheModeOfAWritableOne) {
    const std::string path = PathOf("keys.kbd");
    const std::string old = "0001 0002 0003 0004 0005 0006 0007 0008\r\n\r\n";
    WriteAll(path, old);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
    ClearKeyTable();
    EXPECT_FALSE(SaveKeyFile(path.c_str()));
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(NamesIn(folder_), std::vector<std::string>{"keys.kbd"});

    const fs::perms ownOnly = fs::perms::owner_read | fs::perms::owner_write;
    fs::permissions(path, ownOnly);
    ASSERT_TRUE(SaveKeyFile(path.c_str()));
    EXPECT_NE(ReadAll(path), old);
    EXPECT_EQ(fs::status(path).permissions(), ownOnly);
}

}  // namespace
