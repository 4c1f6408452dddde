#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "link/PortList.h"

namespace t6 {
namespace {

using Names = std::vector<std::string>;

TEST(PortList, SortsInCaseInsensitiveTextOrderWithoutDuplicates) {
    EXPECT_EQ(sortPortNames({"COM3", "COM1", "COM2", "COM10"}),
              (Names{"COM1", "COM10", "COM2", "COM3"}));
    EXPECT_EQ(sortPortNames({"ttyUSB0", "ttyS1", "ttyS0", "ttyUSB0", "/dev/pts/3", "ttyS1"}),
              (Names{"/dev/pts/3", "ttyS0", "ttyS1", "ttyUSB0"}));
    // Letter case does not decide the order; names differing only by it are both kept.
    EXPECT_EQ(sortPortNames({"com2", "COM1", "Com3", "COM2"}),
              (Names{"COM1", "COM2", "com2", "Com3"}));
    EXPECT_EQ(sortPortNames({}), Names{});
}

// Sets TORVEL6_EXTRA_PORTS for one test and puts the previous value back.
class ExtraPortsVariable {
public:
    explicit ExtraPortsVariable(const char* value) {
        if (const char* old = std::getenv(kName))
            saved_ = old;
        if (value)
            ::setenv(kName, value, 1);
        else
            ::unsetenv(kName);
    }
    ~ExtraPortsVariable() {
        if (saved_)
            ::setenv(kName, saved_->c_str(), 1);
        else
            ::unsetenv(kName);
    }

private:
    static constexpr const char* kName = "TORVEL6_EXTRA_PORTS";
    std::optional<std::string> saved_;
};

TEST(PortList, ExtraPortsComeFromTheEnvironment) {
    {
        ExtraPortsVariable var(nullptr);
        EXPECT_EQ(extraPortsFromEnvironment(), Names{});
    }
    {
        ExtraPortsVariable var("");
        EXPECT_EQ(extraPortsFromEnvironment(), Names{});
    }
    {
        ExtraPortsVariable var("/dev/pts/7");
        EXPECT_EQ(extraPortsFromEnvironment(), Names{"/dev/pts/7"});
    }
    {
        ExtraPortsVariable var(":/dev/pts/7::/tmp/sim port:");
        EXPECT_EQ(extraPortsFromEnvironment(), (Names{"/dev/pts/7", "/tmp/sim port"}));
    }
}

} // namespace
} // namespace t6
