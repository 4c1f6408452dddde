// The history of versions: what a version holds, that identical consecutive
// versions are kept once, the limit, a damaged entry, the references.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "core/ConfigHistory.h"

namespace t6::test {
namespace {

namespace fs = std::filesystem;

class ConfigHistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("t6-history-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    static HistoryEntry entry(const char* operation, const char* site, int minute = 0) {
        HistoryEntry e;
        e.time = LocalTime{2026, 12, 10, 12, minute, 5};
        e.operation = operation;
        e.device = "T7 2.05";
        e.port = "/dev/ttyUSB0";
        e.site = site;
        return e;
    }
    // A configuration file's bytes as a save at that time writes them, and
    // the same with a fixed time.
    HistoryKept keep(ConfigHistory& h, const char* op, const char* site, const std::string& config,
                     int minute = 0) {
        return h.keep(entry(op, site, minute), config + "\r\n" + std::to_string(minute), config);
    }

    fs::path dir;
};

TEST_F(ConfigHistoryTest, AVersionKeepsItsConfigurationAndItsCircumstancesInAPrivateFolder) {
    ConfigHistory h((dir / "history").string());
    const std::string config("\xC4\xE2\xE5\xF0\xFC\r\nline\0two\r\n", 18);
    const HistoryKept k = h.keep(entry("read", "Дом 5"), config, config);
    ASSERT_EQ(k.kind, HistoryKept::Kind::Added);
    EXPECT_EQ(k.number, 1);
    const auto v = h.version(1);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->config, config);
    EXPECT_EQ(v->entry.operation, "read");
    EXPECT_EQ(v->entry.site, "Дом 5");
    EXPECT_EQ(v->entry.device, "T7 2.05");
    EXPECT_EQ(v->entry.port, "/dev/ttyUSB0");
    EXPECT_EQ(ConfigHistory::timeText(v->entry.time), "2026-12-10 12:00:05");
    struct stat st {};
    ASSERT_EQ(::stat((dir / "history").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat((dir / "history" / "000001.version").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0077, 0u) << "nobody else reads telephone numbers";
}

TEST_F(ConfigHistoryTest, TheSameConfigurationAtTheSameSiteIsKeptOnce) {
    ConfigHistory h(dir.string());
    EXPECT_EQ(keep(h, "read", "A", "one", 1).kind, HistoryKept::Kind::Added);
    const HistoryKept same = keep(h, "write", "A", "one", 2);
    EXPECT_EQ(same.kind, HistoryKept::Kind::Same);
    EXPECT_EQ(same.number, 1);
    EXPECT_EQ(keep(h, "read", "B", "one", 3).number, 2) << "another site";
    EXPECT_EQ(keep(h, "read", "B", "two", 4).number, 3) << "another configuration";
    EXPECT_EQ(keep(h, "read", "B", "one", 5).number, 4) << "only the newest is compared";
    const HistoryList list = h.list();
    ASSERT_EQ(list.entries.size(), 4u);
    EXPECT_EQ(list.entries.front().number, 4) << "newest first";
    EXPECT_EQ(list.entries.back().number, 1);
}

TEST_F(ConfigHistoryTest, TheOldestGoBeyondTheLimitAndNumbersAreNeverReused) {
    ConfigHistory h(dir.string());
    EXPECT_EQ(h.limit(), 500);
    ASSERT_TRUE(h.setLimit(3));
    EXPECT_EQ(h.limit(), 3);
    for (int i = 1; i <= 5; ++i)
        keep(h, "read", "", "config " + std::to_string(i), i);
    const HistoryList list = h.list();
    ASSERT_EQ(list.entries.size(), 3u);
    EXPECT_EQ(list.entries[0].number, 5);
    EXPECT_EQ(list.entries[2].number, 3);
    EXPECT_FALSE(h.version(2));
    EXPECT_FALSE(h.setLimit(0));
    EXPECT_EQ(h.limit(), 3);
}

TEST_F(ConfigHistoryTest, ADamagedEntryIsSkippedWithANoticeNeverRead) {
    ConfigHistory h(dir.string());
    for (int i = 1; i <= 4; ++i)
        keep(h, "write", "", "config " + std::to_string(i), i);
    // Cut short; one byte changed; its head gone; a stray file.
    fs::resize_file(dir / "000001.version", fs::file_size(dir / "000001.version") - 3);
    {
        std::fstream f(dir / "000002.version", std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(-1, std::ios::end);
        f.put('X');
    }
    std::ofstream(dir / "000003.version", std::ios::binary) << "rubbish\n\nconfig 3";
    std::ofstream(dir / "notes.txt") << "mine";
    const HistoryList list = h.list();
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].number, 4);
    EXPECT_EQ(list.damaged,
              (std::vector<std::string>{"000003.version", "000002.version", "000001.version"}));
    std::string why;
    EXPECT_FALSE(h.version(2, &why));
    EXPECT_FALSE(why.empty());
    // A new version is numbered after the damaged ones.
    EXPECT_EQ(keep(h, "read", "", "config 5", 5).number, 5);
}

TEST_F(ConfigHistoryTest, TwoProgramsKeepingAtOnceLoseNoVersion) {
    // The window and the command line share the folder.
    auto program = [this](const char* name) {
        ConfigHistory h(dir.string());
        for (int i = 0; i < 40; ++i)
            EXPECT_EQ(keep(h, "read", "", std::string(name) + std::to_string(i), i % 60).kind,
                      HistoryKept::Kind::Added);
    };
    std::thread window(program, "window ");
    std::thread cli(program, "cli ");
    window.join();
    cli.join();
    const HistoryList list = ConfigHistory(dir.string()).list();
    EXPECT_TRUE(list.damaged.empty());
    ASSERT_EQ(list.entries.size(), 80u);
    std::set<std::string> held;
    for (const HistoryEntry& e : list.entries)
        held.insert(ConfigHistory(dir.string()).version(e.number)->config);
    EXPECT_EQ(held.size(), 80u);
}

TEST_F(ConfigHistoryTest, ReferencesNameANumberOrASitesNewestVersion) {
    ConfigHistory h(dir.string());
    keep(h, "read", "Школа", "a", 1);
    keep(h, "write", "Дом 5", "b", 2);
    keep(h, "write", "Школа", "c", 3);
    struct Row {
        const char* reference;
        std::optional<int> number;
    };
    for (const Row& r :
         {Row{"@1", 1}, Row{"@3", 3}, Row{"@Школа:latest", 3}, Row{"@Дом 5:latest", 2},
          Row{"@9", std::nullopt}, Row{"@Нет:latest", std::nullopt}, Row{"@", std::nullopt},
          Row{"@x", std::nullopt}, Row{"1", std::nullopt}, Row{"@:latest", std::nullopt}})
        EXPECT_EQ(h.resolve(r.reference), r.number) << r.reference;
}

TEST_F(ConfigHistoryTest, AFolderThatCannotBeMadeIsAFailureNotALoss) {
    std::ofstream(dir.string()) << "a file where the folder would be";
    ConfigHistory h((dir / "history").string());
    const HistoryKept k = keep(h, "read", "", "a");
    EXPECT_EQ(k.kind, HistoryKept::Kind::Failed);
    EXPECT_FALSE(k.reason.empty());
    EXPECT_TRUE(h.list().entries.empty());
    fs::remove(dir);
}

} // namespace
} // namespace t6::test
