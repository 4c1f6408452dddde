// The simulator program's options, parsed without starting the program.
#include "SimCommandLine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using t6sim::parseArguments;
using t6sim::ProgramOptions;
using t6sim::UsageError;

namespace {

ProgramOptions parse(std::vector<std::string> args) {
    args.insert(args.begin(), "torvel6-devicesim");
    std::vector<const char*> argv;
    for (const auto& a : args) {
        argv.push_back(a.c_str());
    }
    return parseArguments(static_cast<int>(argv.size()), argv.data());
}

} // namespace

TEST(CommandLine, StageOptionsFillTheirTables) {
    const auto o = parse({"--silent", "Wo-data", "--silent=block", "--reply", "block=COK ",
                          "--reply=Wp=Ok", "--reply", "Pt=\\x99\\x99\\xff\\x00\\\\x",
                          "--truncate-reply", "Ro=10", "--truncate-reply=Wtd-data=0"});
    EXPECT_EQ(o.sim.silent, (std::set<std::string>{"Wo-data", "block"}));
    ASSERT_EQ(o.sim.replies.size(), 3u);
    EXPECT_EQ(o.sim.replies.at("block"), "COK ");
    EXPECT_EQ(o.sim.replies.at("Wp"), "Ok");
    EXPECT_EQ(o.sim.replies.at("Pt"), std::string("\x99\x99\xFF\x00\\x", 6));
    ASSERT_EQ(o.sim.truncateReplies.size(), 2u);
    EXPECT_EQ(o.sim.truncateReplies.at("Ro"), 10u);
    EXPECT_EQ(o.sim.truncateReplies.at("Wtd-data"), 0u);

    // An empty reply text is a reply with nothing in it; "=" may be in the text.
    const auto e = parse({"--reply", "Sg=", "--reply", "Tt=T7=1"});
    EXPECT_EQ(e.sim.replies.at("Sg"), "");
    EXPECT_EQ(e.sim.replies.at("Tt"), "T7=1");
}

TEST(CommandLine, FaultOptionsFillTheirTables) {
    const auto o =
        parse({"--split-at", "Tt=3", "--split-at=Pt=700", "--split-sweep", "Cn=4", "--reply-twice",
               "Ro", "--reply-twice=Wr", "--noise-inside", "Sg", "--noise-bytes", "\\xFE\\xFFx",
               "--late-reply", "Sg=10500", "--die-at", "Pt=100", "--die-at=block=0"});
    EXPECT_EQ(o.sim.splitAt.at("Tt"), 3u);
    EXPECT_EQ(o.sim.splitAt.at("Pt"), 700u);
    EXPECT_EQ(o.sim.splitSweep.at("Cn"), 4u);
    EXPECT_EQ(o.sim.repliedTwice, (std::set<std::string, std::less<>>{"Ro", "Wr"}));
    EXPECT_EQ(o.sim.noiseInside, (std::set<std::string, std::less<>>{"Sg"}));
    EXPECT_EQ(o.sim.noiseBytes, "\xFE\xFFx");
    EXPECT_EQ(o.sim.lateReplies.at("Sg"), std::chrono::milliseconds(10500));
    EXPECT_EQ(o.sim.hangUpAt.at("Pt"), 100u);
    EXPECT_EQ(o.sim.hangUpAt.at("block"), 0u);

    const std::vector<std::vector<std::string>> wrong = {
        {"--split-at", "Tt=0"},   {"--split-at", "Tt"},           {"--split-sweep", "Cn"},
        {"--reply-twice", ""},    {"--noise-inside", "D1r"},      {"--noise-bytes", ""},
        {"--noise-bytes", "\\q"}, {"--late-reply", "Sg=3600001"}, {"--late-reply", "Sg=-5"},
        {"--die-at", "Pt"},       {"--die-at", "Pt=x"},
    };
    for (const auto& args : wrong) {
        EXPECT_THROW(parse(args), UsageError) << args[0] << " " << args[1];
    }
}

TEST(CommandLine, LearningOptionsTakeTheDelayAndTheCodes) {
    // The program waits long enough to be seen; the library answers at once.
    EXPECT_EQ(parse({}).sim.learnDelay, std::chrono::milliseconds(1500));
    EXPECT_EQ(t6sim::SimOptions{}.learnDelay, std::chrono::milliseconds(0));

    const auto o =
        parse({"--learn-delay", "0", "--key-code", "01a2B3c4D5e6F708", "--fob-code=00ff10",
               "--sensor-code", "12AB00FF", "--thermo-code", "FEFF01", "--silent", "Kr",
               "--reply=Utd=\\x00", "--truncate-reply", "Dr=5"});
    EXPECT_EQ(o.sim.learnDelay, std::chrono::milliseconds(0));
    EXPECT_EQ(o.sim.keyCode, std::string("\x01\xA2\xB3\xC4\xD5\xE6\xF7\x08", 8));
    EXPECT_EQ(o.sim.fobCode, std::string("\x00\xFF\x10", 3));
    EXPECT_EQ(o.sim.sensorCode, std::string("\x12\xAB\x00\xFF", 4));
    EXPECT_EQ(o.sim.thermoCode, std::string("\xFE\xFF\x01", 3));
    EXPECT_EQ(o.sim.silent, (std::set<std::string>{"Kr"}));
    EXPECT_EQ(o.sim.replies.at("Utd"), std::string(1, '\0'));
    EXPECT_EQ(o.sim.truncateReplies.at("Dr"), 5u);
    EXPECT_EQ(parse({"--learn-delay=3600000"}).sim.learnDelay, std::chrono::milliseconds(3600000));

    const std::vector<std::vector<std::string>> wrong = {
        {"--learn-delay", "-1"},
        {"--learn-delay", "3600001"},
        {"--learn-delay", "1.5"},
        {"--key-code", "01A2B3C4D5E6F7"},
        {"--key-code", "01A2B3C4D5E6F7080"},
        {"--fob-code", "0G0000"},
        {"--fob-code", "0x0102"},
        {"--sensor-code", "12 AB 00"},
        {"--thermo-code", ""},
        {"--silent", "D1r"}, // a stage, not a request
    };
    for (const auto& args : wrong) {
        EXPECT_THROW(parse(args), UsageError) << args[0] << " " << args[1];
    }
}

TEST(CommandLine, MistakesAreRefusedWithAReason) {
    const std::vector<std::vector<std::string>> cases = {
        {"--silent", "Xx"},            // not a stage
        {"--silent", ""},              //
        {"--reply", "Wp"},             // no "="
        {"--reply", "wp=OK"},          // stage names are exact
        {"--reply", "Wp=\\x4"},        // one hexadecimal digit
        {"--reply", "Wp=\\xZZ"},       //
        {"--reply", "Wp=a\\"},         // a lone backslash at the end
        {"--reply", "Wp=\\n"},         // no other escapes
        {"--truncate-reply", "Ro=-1"}, //
        {"--truncate-reply", "Ro="},   //
        {"--truncate-reply", "Ro"},    //
        {"--truncate-reply"},          // no value at all
    };
    for (const auto& args : cases) {
        try {
            parse(args);
            ADD_FAILURE() << "accepted: " << args[0] << " " << (args.size() > 1 ? args[1] : "");
        } catch (const UsageError& e) {
            EXPECT_FALSE(e.text.empty());
        }
    }
    try {
        parse({"--silent", "Wp_data"});
    } catch (const UsageError& e) {
        EXPECT_NE(e.text.find("Wp-data"), std::string::npos) << "the stages are listed: " << e.text;
    }
}

TEST(CommandLine, HelpNamesEveryOptionAndStage) {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* out = ::open_memstream(&text, &size);
    ASSERT_NE(out, nullptr);
    t6sim::printUsage(out, "torvel6-devicesim");
    std::fclose(out);
    const std::string help(text, size);
    std::free(text);
    for (const char* option :
         {"--type",        "--csq",         "--silent",       "--reply",       "--truncate-reply",
          "--noise",       "--split",       "--noise-inside", "--noise-bytes", "--split-at",
          "--split-sweep", "--reply-twice", "--late-reply",   "--die-at",      "--truncate ",
          "--delay",       "--learn-delay", "--key-code",     "--fob-code",    "--sensor-code",
          "--thermo-code", "--pace",        "--verbose",      "--link",        "--exit-after",
          "--help"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    for (const auto stage : t6sim::kStageNames) {
        EXPECT_NE(help.find(" " + std::string(stage)), std::string::npos) << stage;
    }
    // The defaults are told as the options take them.
    EXPECT_NE(help.find("default 1500"), std::string::npos);
    EXPECT_NE(help.find("(default 01C47F2A1900005D)"), std::string::npos);
    EXPECT_NE(help.find("(default 5A6B7C)"), std::string::npos);
    // No line is wider than a terminal.
    std::size_t lineStart = 0;
    for (std::size_t nl = help.find('\n'); nl != std::string::npos;
         nl = help.find('\n', lineStart)) {
        EXPECT_LE(nl - lineStart, 79u) << help.substr(lineStart, nl - lineStart);
        lineStart = nl + 1;
    }
}
