#pragma once
// Everything a run of the configurator owns apart from its widgets: the logs,
// the exchange controller and its operations, the configuration model, the
// dictionary and the language. The window and the command-line program give it
// the port, the clock and the prompts, so that tests can give a fake port,
// virtual time and scripted answers instead.

#include <memory>
#include <optional>
#include <string>

#include "common/Clock.h"
#include "common/Prompts.h"
#include "common/Random.h"
#include "config/ConfigCompare.h"
#include "config/ConfigModel.h"
#include "core/ConfigHistory.h"
#include "core/LastRead.h"
#include "device/ConfigRead.h"
#include "device/ConfigWrite.h"
#include "exchange/Connection.h"
#include "exchange/ExchangeController.h"
#include "exchange/ExchangeLogs.h"
#include "exchange/SignalLevel.h"
#include "files/ConfigFiles.h"
#include "i18n/Dictionary.h"
#include "keys/KeyFiles.h"
#include "keys/KeyProgramming.h"
#include "link/SerialPort.h"
#include "wireless/WirelessEnrolment.h"

namespace t6 {

class AppCore {
public:
    static constexpr const char* kDictionaryFile = "trans.dic";

    // programDir: where the dictionary and the logs lie (the working directory at start-up).
    AppCore(SerialPort& port, Clock& clock, Prompts& prompts, const std::string& programDir);

    SerialPort& port() { return port_; }
    Clock& clock() { return clock_; }
    Prompts& prompts() { return prompts_; }
    ExchangeLogs& logs() { return logs_; }
    ExchangeController& exchange() { return exchange_; }
    Connection& connection() { return connection_; }
    SignalLevel& signal() { return signal_; }
    Dictionary& dictionary() { return dictionary_; }
    Random& random() { return random_; }
    ConfigModel& model() { return model_; }
    ConfigFiles& files() { return files_; }
    ConfigRead& configRead() { return read_; }
    ConfigWrite& configWrite() { return write_; }
    KeyProgramming& keys() { return keys_; }
    KeyFiles& keyFiles() { return keyFiles_; }
    WirelessEnrolment& wireless() { return wireless_; }
    const std::string& programDir() const { return programDir_; }

    char language() const { return language_; }
    void setLanguage(char letter) { language_ = letter; }
    // A message marked for the dictionary, in the current language.
    std::string translateMessage(const std::string& text);

    // The random generator, seeded from the clock.
    void seedRandom();

    // The configuration as last read from the device in this run.
    const LastRead& lastRead() const { return lastRead_; }

    // The versions every completed read and write keep, in the folder
    // "history" of the program's folder.
    ConfigHistory& history() { return history_; }
    // The site the next versions are kept under (UTF-8; may be empty).
    const std::string& site() const { return site_; }
    void setSite(std::string site) { site_ = std::move(site); }
    // What became of keeping the version of the last completed read or write.
    const std::optional<HistoryKept>& lastKept() const { return lastKept_; }
    // Captions and values in the window's language: the window's captions
    // through the dictionary's section of the window, the program's own words
    // through that of the messages; Russian as written.
    CaptionText captionText();

private:
    // Keeps what the model holds as a version of the history; a version that
    // could not be kept is told in the status bar.
    void keepVersion(const char* operation);

    SerialPort& port_;
    Clock& clock_;
    Prompts& prompts_;
    std::string programDir_;
    LastRead lastRead_;
    ConfigHistory history_;
    std::string site_;
    std::optional<HistoryKept> lastKept_;
    ExchangeLogs logs_;
    ExchangeController exchange_;
    Connection connection_;
    SignalLevel signal_;
    Dictionary dictionary_;
    SeededRandom random_{1};
    char language_ = 'R';
    ConfigModel model_;
    ConfigFiles files_;
    ConfigRead read_;
    ConfigWrite write_;
    KeyProgramming keys_;
    KeyFiles keyFiles_;
    WirelessEnrolment wireless_;
};

} // namespace t6
