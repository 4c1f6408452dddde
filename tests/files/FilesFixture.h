#pragma once
// A started model and the file flows around it, with an exchange controller
// over an in-memory port, virtual time, scripted answers and a directory of
// its own for the program's files.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <random>

#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "exchange/ExchangeController.h"
#include "exchange/ExchangeLogs.h"
#include "files/ConfigFile.h"
#include "files/ConfigFiles.h"
#include "support/FakeSerialPort.h"
#include "support/ManualClock.h"
#include "support/ModelDriver.h"
#include "support/ScriptedPrompts.h"

namespace t6::test {

// A directory under the system's temporary directory, removed when the test ends.
class FilesDir {
public:
    FilesDir() {
        std::random_device rd;
        for (int attempt = 0;; ++attempt) {
            path_ = std::filesystem::temp_directory_path() /
                    ("t6-files-" + std::to_string(rd()) + "-" + std::to_string(attempt));
            if (std::filesystem::create_directory(path_))
                break;
        }
    }
    ~FilesDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    FilesDir(const FilesDir&) = delete;
    FilesDir& operator=(const FilesDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "<missing>";
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Lines given as UTF-8 literals, each as Windows-1251 followed by CR LF.
inline Bytes lines(std::initializer_list<std::string> utf8) {
    Bytes out;
    for (const auto& l : utf8)
        out += ru(l) + "\r\n";
    return out;
}

// A line of raw bytes followed by CR LF.
inline Bytes rawLine(std::initializer_list<int> values) {
    return bytesOf(values) + "\r\n";
}

// The content of a section in a written file: the bytes after its tag line up
// to its closing line.
inline Bytes sectionOf(const Bytes& file, const std::string& tag, const std::string& closing) {
    const std::string open = tag + "\r\n";
    std::size_t at = 0;
    if (file.compare(0, open.size(), open) != 0) {
        at = file.find("\r\n" + open);
        if (at == Bytes::npos)
            return "<no section " + tag + ">";
        at += 2;
    }
    at += open.size();
    // From the tag's own line end, so that an empty section is found too.
    const std::size_t end = file.find("\r\n" + closing + "\r\n", at - 2);
    if (end == Bytes::npos)
        return "<no closing " + closing + ">";
    return file.substr(at, end + 2 - at);
}

inline bool hasSection(const Bytes& file, const std::string& tag) {
    return file.compare(0, tag.size() + 2, tag + "\r\n") == 0 ||
           file.find("\r\n" + tag + "\r\n") != Bytes::npos;
}

// Counts up from 1.
class CountingRandom : public Random {
public:
    int next(int range) override { return range > 0 ? ++counter_ % range : 0; }

private:
    int counter_ = 0;
};

// Notes the exchange mode at every change the model reports.
class ModeWitness : public ConfigObserver {
public:
    explicit ModeWitness(const ExchangeController& e) : e_(e) {}
    void fieldsChanged(const std::vector<FieldId>&) override { modes.push_back(e_.mode()); }
    std::vector<ExchangeModeValue> modes;

private:
    const ExchangeController& e_;
};

// Virtual time that notes the exchange mode whenever the local time is read,
// as a file being written reads it for its trailer.
class ModeNotingClock : public ManualClock {
public:
    LocalTime localNow() const override {
        if (exchange)
            modes.push_back(exchange->mode());
        return ManualClock::localNow();
    }
    const ExchangeController* exchange = nullptr;
    mutable std::vector<ExchangeModeValue> modes;
};

class FilesTest : public ::testing::Test, protected ModelDriver {
protected:
    FilesTest() {
        clock.exchange = &exchange;
        logs.setDirectory(dir.path().string());
        model.startUp();
    }

    Bytes saved() { return saveConfigFile(model, clock.localNow()); }
    // A whole file, as a window that has just started saves it, with
    // `sections` in front of its own and its sections `without` (tags) left out.
    Bytes wholeFile(const Bytes& sections, std::initializer_list<std::string> without = {}) {
        ScriptedPrompts quiet;
        CountingRandom counting;
        ConfigModel fresh{quiet, counting, [] { return ModelContext::Editing; },
                          [this] { return clock.localNow(); }};
        fresh.startUp();
        Bytes file = saveConfigFile(fresh, clock.localNow());
        for (const std::string& tag : without) {
            const std::string closing = "//" + (tag == "#00" ? std::string("#01") : tag);
            const std::size_t at = file.find(tag + "\r\n");
            const std::size_t end = file.find(closing + "\r\n", at);
            file.erase(at, end + closing.size() + 2 - at);
        }
        return sections + file;
    }
    // Loads as the load flow does: in mode 300003.
    ConfigFileLoad load(const Bytes& bytes) {
        exchange.setMode(ExchangeMode::LoadingFile);
        ConfigFileLoad r = loadConfigFile(bytes, model);
        exchange.setMode(ExchangeMode::Idle);
        return r;
    }
    std::vector<std::string> reportUtf8(const ConfigFileLoad& r) const {
        std::vector<std::string> out;
        for (const auto& l : r.reportLines)
            out.push_back(cp1251ToUtf8(l));
        return out;
    }

    FilesDir dir;
    FakeSerialPort port;
    ModeNotingClock clock;
    ScriptedPrompts prompts;
    ExchangeLogs logs;
    ExchangeController exchange{port, clock, prompts, logs};
    CountingRandom random;
    ConfigModel model{prompts, random,
                      [this] { return ExchangeMode::modelContextOf(exchange.mode()); },
                      [this] { return clock.localNow(); }};

    ConfigModel& driven() override { return model; }
};

// The wrapping of a file that the sections of a test are put into: nothing
// before, the trailer after.
inline Bytes withTrailer(const Bytes& sections) {
    return sections + lines({"@message", "Дата сеанса:09.12.26", "Время сеанса:10:20:30"});
}

} // namespace t6::test
