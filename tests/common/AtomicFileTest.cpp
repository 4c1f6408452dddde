#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "common/AtomicFile.h"

namespace t6 {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
protected:
    AtomicFileTest() {
        dir = fs::temp_directory_path() /
              ("t6-atomic-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~AtomicFileTest() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string read(const fs::path& p) {
        std::ifstream f(p, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    int leftovers() {
        int n = 0;
        for (auto& e : fs::directory_iterator(dir))
            n += e.path().filename().string().find(".tmp-") != std::string::npos;
        return n;
    }
    fs::path dir;
};

TEST_F(AtomicFileTest, WritesEveryByteAndReplacesKeepingPermissions) {
    const fs::path f = dir / "a.cfg";
    const std::string bytes("\x00\r\n\x1a\xff", 5);
    ASSERT_EQ(writeFileAtomically(f.string(), bytes), "");
    EXPECT_EQ(read(f), bytes);
    ::chmod(f.c_str(), 0640);
    ASSERT_EQ(writeFileAtomically(f.string(), "second"), "");
    EXPECT_EQ(read(f), "second");
    struct stat st {};
    ::stat(f.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(leftovers(), 0);
}

TEST_F(AtomicFileTest, ALinkStillNamesTheReplacedFile) {
    const fs::path real = dir / "real.dic";
    const fs::path link = dir / "trans.dic";
    std::ofstream(real) << "old";
    fs::create_symlink(real, link);
    ASSERT_EQ(writeFileAtomically(link.string(), "new"), "");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(read(real), "new");
}

TEST_F(AtomicFileTest, AFailedWriteLeavesTheOldFileAndSaysWhy) {
    // A directory in the way of the target.
    fs::create_directory(dir / "busy");
    fs::create_directory(dir / "busy" / "inner");
    std::string why = writeFileAtomically((dir / "busy").string(), "x");
    EXPECT_NE(why, "");
    EXPECT_NE(why.find("busy"), std::string::npos) << why;
    EXPECT_TRUE(fs::is_directory(dir / "busy" / "inner"));
    // A folder that does not exist.
    why = writeFileAtomically((dir / "missing" / "x.cfg").string(), "x");
    EXPECT_NE(why.find("No such file or directory"), std::string::npos) << why;
    EXPECT_EQ(leftovers(), 0);
}

} // namespace
} // namespace t6
