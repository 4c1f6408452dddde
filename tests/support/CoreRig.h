#pragma once
// What the scenario tests stand on: a folder of the test's own, virtual time,
// a port on that time and scripted answers (CoreRig); with the exchange logs
// written into the folder and a started exchange controller over the port
// (ExchangeRig). A window test makes its core from the CoreRig's parts; an
// operation test adds its model and operations to the ExchangeRig's.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <type_traits>
#include <utility>

#include "exchange/ExchangeController.h"
#include "exchange/ExchangeLogs.h"
#include "support/ManualClock.h"
#include "support/OperationTestKit.h"
#include "support/ScriptedPrompts.h"

namespace t6::test {

// An empty folder under the system's temporary folder named after the
// program's process and the running test.
inline std::filesystem::path freshTestFolder(const std::string& prefix) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        (prefix + "-" + std::to_string(::getpid()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// A port that runs on the test's clock (the simulated device) is made on it.
template <class Port, class ClockT> Port portOn(ClockT& clock) {
    if constexpr (std::is_constructible_v<Port, ClockT&>)
        return Port(clock);
    else
        return Port();
}

template <class Port, class ClockT = ManualClock> class CoreRig : public ::testing::Test {
protected:
    explicit CoreRig(const std::string& folderPrefix) : dir(freshTestFolder(folderPrefix)) {}
    ~CoreRig() override {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    std::filesystem::path dir;
    ClockT clock;
    Port port = portOn<Port>(clock);
    ScriptedPrompts prompts;
};

struct RigOptions {
    // The port the device is known on from the start; empty: none yet.
    std::string connectedPort = "COM1";
    // How the controller words its texts; empty: as written.
    ExchangeController::Translate translate;

    RigOptions& notConnected() {
        connectedPort.clear();
        return *this;
    }
    RigOptions& wordedBy(ExchangeController::Translate t) {
        translate = std::move(t);
        return *this;
    }
};

template <class Port, class View = ActivityView, class ClockT = ManualClock>
class ExchangeRig : public CoreRig<Port, ClockT> {
protected:
    explicit ExchangeRig(const std::string& folderPrefix, RigOptions options = {})
        : CoreRig<Port, ClockT>(folderPrefix) {
        logs.setDirectory(this->dir.string());
        logs.createFiles();
        exchange.setView(&view);
        if (options.translate)
            exchange.setTranslate(std::move(options.translate));
        exchange.start();
        if (!options.connectedPort.empty())
            exchange.setConnectedPort(options.connectedPort);
    }
    ~ExchangeRig() override { logs.closeFiles(); }

    ExchangeLogs logs;
    View view;
    ExchangeController exchange{this->port, this->clock, this->prompts, logs};
};

} // namespace t6::test
