#pragma once
// Writing the configuration to the device ("Запись настроек в память
// прибора"): the checks, then the configuration block (FE FF 99 99, one write
// per record, FF FE) and its acknowledgement "COK", then three stages, each a
// readiness request answered "OK" and a data block answered "Ok": the remote
// controls ("Wp"), the wireless temperature sensors' names and codes ("Wtd")
// and the wireless outputs ("Wo"). Every stage has the 10 s reply timer; a
// wrong answer ends the write with a box. The device keeps the stages it has
// completed.

#include <functional>
#include <optional>
#include <string>

#include "common/Bytes.h"
#include "common/Outcome.h"
#include "config/ConfigBlock.h"
#include "config/ConfigCompare.h"
#include "config/FixedBlocks.h"
#include "device/DeviceBlocks.h"
#include "exchange/ExchangeMode.h"

namespace t6 {

class ConfigModel;
class ExchangeController;

class ConfigWrite {
public:
    ConfigWrite(ExchangeController& exchange, ConfigModel& model);
    ConfigWrite(const ConfigWrite&) = delete;
    ConfigWrite& operator=(const ConfigWrite&) = delete;

    // The button and the menu item.
    void writeConfiguration();

    // Between the first byte sent and the last answer.
    bool running() const { return running_; }
    // What became of the last write; nothing while one runs or before the first.
    const std::optional<Outcome>& outcome() const { return outcome_; }
    // The blocks the last write sent, as far as it got (without their framing).
    const DeviceBlocks& sent() const { return sent_; }
    // Told when a write has been answered in full, before its closing box.
    void setOnCompleted(std::function<void()> completed) { completed_ = std::move(completed); }
    // The captions of the fields a refusal names, in the window's language.
    void setCaptionText(CaptionText captions) { captions_ = std::move(captions); }

    // Why a write may not start now (a read is running), or nothing.
    void setBusyCheck(std::function<std::optional<std::string>()> busy) { busy_ = std::move(busy); }
    // Whether the window shows a read that did not complete; the write then asks first.
    void setIncompleteRead(std::function<bool()> incomplete) {
        incompleteRead_ = std::move(incomplete);
    }

    // The label of each write of the block in the hexadecimal log
    // (">>> запись данных " + label + ":").
    static std::string pieceLabel(const ConfigBlockPiece& piece);

private:
    bool checkAndConnect();
    void sendBlock();
    void onBlockAnswer(const Bytes& reply);
    // A stage after the block: its readiness request and reply, its data
    // block and result, the heads of its lines in the text log, its texts.
    struct Stage {
        ExchangeModeValue ready;
        ExchangeModeValue result;
        const char* readyRequest;
        const char* readyHead;
        const char* dataHead;
        const char* wrongResult;
        const char* caption;
        FixedBlockEncoding (*encode)(const ConfigModel&);
        Bytes DeviceBlocks::*sent;
    };
    static const Stage kStages[3];
    void askReady(const Stage& stage);
    void onReady(const Bytes& reply, const Stage& stage);
    void onResult(const Bytes& reply, const Stage& stage);
    // No answer within 10 s: the box, then the write is over.
    void noAnswer(const std::string& box);
    void noStageAnswer(ExchangeModeValue mode);
    // A wrong answer: mode 11, the box; Yes purges and starts the closing timer.
    void wrongAnswer(const std::string& box);
    void stage(const std::string& text);
    void end();
    void end(Outcome outcome);
    // Before anything is sent: the user told, the outcome kept.
    void refuse(Outcome::Kind kind, const std::string& text);
    std::string tr(const char* utf8) const;

    ExchangeController& ex_;
    ConfigModel& model_;
    std::function<std::optional<std::string>()> busy_;
    std::function<bool()> incompleteRead_;
    CaptionText captions_;
    std::function<void()> completed_;
    bool running_ = false;
    std::optional<Outcome> outcome_;
    DeviceBlocks sent_;
};

} // namespace t6
