// The simulator program's options, parsed without starting the program.
#include "SimCommandLine.h"

#include <gtest/gtest.h>

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
         {"--type", "--csq", "--silent", "--reply", "--truncate-reply", "--noise", "--split",
          "--truncate ", "--delay", "--pace", "--verbose", "--link", "--exit-after", "--help"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    for (const auto stage : t6sim::kStageNames) {
        EXPECT_NE(help.find(" " + std::string(stage)), std::string::npos) << stage;
    }
}
