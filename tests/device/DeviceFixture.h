#pragma once
// The read and write chains against the simulated device on an in-process
// port, in virtual time, with scripted answers and a program directory of
// their own.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "device/ConfigRead.h"
#include "device/ConfigWrite.h"
#include "files/ConfigFile.h"
#include "files/ConfigFiles.h"
#include "support/CoreRig.h"
#include "support/ModelDriver.h"
#include "support/SimulatedPort.h"

namespace t6::test {

class DeviceTest : public ExchangeRig<SimulatedPort>, protected ModelDriver {
protected:
    DeviceTest() : ExchangeRig("t6-device") { model.startUp(); }
    ConfigModel& driven() override { return model; }

    // Lets virtual time run on until the chain has nothing left to wait for.
    void run(int ms = 1000) { clock.advance(ms); }
    std::vector<std::string> requests() {
        std::vector<std::string> out;
        for (const auto& r : port.device().requestLog())
            out.push_back(r.command.empty() ? r.payload : r.command);
        return out;
    }
    std::string fileText(const char* name) {
        logs.closeFiles();
        std::ifstream f(dir / name, std::ios::binary);
        return cp1251ToUtf8(std::string(std::istreambuf_iterator<char>(f), {}));
    }
    bool hasLine(const std::string& text, const std::string& utf8Line) const {
        return text.find(utf8Line + "\r\n") != std::string::npos;
    }
    // The configuration file the window would save now, without its trailer.
    Bytes savedWithoutTrailer() {
        Bytes f = saveConfigFile(model, clock.localNow());
        const auto at = f.find("@message");
        return at == Bytes::npos ? f : f.substr(0, at);
    }

    StepRandom random;
    ConfigModel model{prompts, random,
                      [this] { return ExchangeMode::modelContextOf(exchange.mode()); },
                      [this] { return clock.localNow(); }};
    ConfigFiles files{model, exchange, logs, prompts};
    ConfigRead read{exchange, model, files};
    ConfigWrite write{exchange, model};
};

} // namespace t6::test
