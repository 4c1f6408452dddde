#pragma once
// Reading the configuration from the device ("Чтение настроек из памяти
// прибора"): the window's configuration is first kept in the backup
// "save.000", the window is reset, and four exchanges fill it: the wireless
// outputs ("Ro"), the configuration block ("Pt"), the remote controls ("Pn")
// and the names and codes of the wireless temperature sensors ("Ltd").
//
// A read is all or nothing. One that does not complete (the block does not
// come or ends inside a record, the user cancels a wait, another operation
// cuts it short) puts the window back as the backup holds it and says so, so
// that a half-read configuration is never one click away from being written
// to the device. Should the backup itself be unreadable, the window keeps
// what was read and the read counts as incomplete: a write then asks first.
//
// Three of the waits have no time limit of their own ("Ro", "Pn", "Ltd"):
// while they last the window shows what is awaited and offers to cancel, and
// after 10 s without a reply it says that the device is silent.
//
// The configuration block must hold every record the device always sends;
// the three fixed blocks must have at least their sizes (the bytes beyond are
// logged and left out). A block that is not whole ends the read at once, as
// incomplete. A reply equal to one already taken in this read, or a
// configuration block where another block is awaited, is a stale or repeated
// reply: it is left out and the wait goes on.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/Bytes.h"
#include "common/Clock.h"
#include "common/Outcome.h"
#include "device/DeviceBlocks.h"
#include "exchange/ExchangeMode.h"

namespace t6 {

class ConfigFiles;
class ConfigModel;
class ExchangeController;

class ConfigRead {
public:
    static constexpr int kSilenceMs = 10000;

    ConfigRead(ExchangeController& exchange, ConfigModel& model, ConfigFiles& files);
    ~ConfigRead();
    ConfigRead(const ConfigRead&) = delete;
    ConfigRead& operator=(const ConfigRead&) = delete;

    // The button and the menu item.
    void readConfiguration();
    // The window's "Отмена" while the read runs.
    void cancel();
    // A wait without a time limit that has gone on for 10 s is given up (the
    // command line does, where nobody can press "Отмена"): the read ends as
    // unanswered, or as wrongly answered when only unfitting replies came.
    void giveUp();

    // What became of the last read; nothing while one runs or before the first.
    const std::optional<Outcome>& outcome() const { return outcome_; }
    // The blocks the last read took, as far as it got (a fixed block without
    // the bytes beyond its size).
    const DeviceBlocks& received() const { return received_; }

    // Between the start of the chain and its last reply.
    bool running() const { return running_; }
    // Told when a read has brought the whole configuration, before its closing
    // box: the model then holds exactly what the device sent.
    void setOnCompleted(std::function<void()> completed) { completed_ = std::move(completed); }
    // The window shows a read that did not complete and could not be undone.
    bool incomplete() const { return incomplete_; }
    // A loaded file replaces whatever the window showed.
    void forgetIncomplete() { incomplete_ = false; }

    // Why a read may not start now (a write is running), or nothing.
    void setBusyCheck(std::function<std::optional<std::string>()> busy) { busy_ = std::move(busy); }

private:
    void onOutputs(const Bytes& reply);
    void onBlock(const Bytes& reply);
    void onRemotes(const Bytes& reply);
    void onThermoNames(const Bytes& reply);
    // The block did not come within 10 s.
    void onBlockTimeout();
    void showStage(const std::string& stage, bool cancellable, bool alert = false);
    void onSilence();
    // The wait of the read's mode ends: mode 11, the port purged.
    void stopWaiting();
    // Whether a reply is a stale or repeated one (equal to a reply taken in
    // this read, or a configuration block where another block is awaited):
    // it is logged and left out (block: its name, UTF-8).
    bool isStale(const Bytes& reply, const char* block);
    // Whether a reply has at least the size of its fixed block. A shorter one
    // ends the read at once as incomplete; the bytes of a longer one beyond
    // the block are logged.
    bool hasBlockSize(const Bytes& reply, std::size_t size, const char* block);
    // The read ends without completing: the window is put back from the
    // backup and the user told why in a box.
    void fail(const std::string& why, Outcome outcome);
    // The same, but the words (why and what became of the window) are given
    // to the caller to show.
    std::string abandon(const std::string& why, Outcome outcome);
    void begin();
    void end(Outcome outcome);
    // Puts the window back from the backup; gives what became of it.
    std::string putBack(const std::string& why);
    void endActivity();
    std::string tr(const char* utf8) const;

    ExchangeController& ex_;
    ConfigModel& model_;
    ConfigFiles& files_;
    std::function<std::optional<std::string>()> busy_;
    std::function<void()> completed_;
    bool running_ = false;
    bool incomplete_ = false;
    bool starting_ = false;
    std::string stage_;
    bool ignored_ = false;     // a reply was left out in this wait
    std::vector<Bytes> taken_; // the replies taken in this read
    std::optional<Outcome> outcome_;
    DeviceBlocks received_;
};

} // namespace t6
