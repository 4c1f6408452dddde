// Feeds arbitrary bytes to the sensor panel as the device's answer to "D n r":
// a list shorter than its 84 bytes leaves the panel waiting with its rows
// empty; a complete one fills the six rows with names free of blanks at both
// ends and codes of 8 lower-case hexadecimal digits, gives the panel back,
// and can be written to the device again as exactly the same list.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/Prompts.h"
#include "exchange/ExchangeController.h"
#include "exchange/ExchangeLogs.h"
#include "wireless/ReplyText.h"
#include "wireless/SensorListBlock.h"
#include "wireless/ZoneSensorPanel.h"

namespace {

using namespace t6;

void check(bool ok) {
    if (!ok)
        std::abort();
}

// A port that is always there and keeps what is written.
class MemoryPort : public SerialPort {
public:
    std::vector<std::string> listPorts() override { return {"COM1"}; }
    void setPortName(const std::string& name) override { name_ = name; }
    std::string portName() const override { return name_; }
    void open() override { open_ = true; }
    bool isOpen() const override { return open_; }
    void write(const Bytes& bytes) override { writes.push_back(bytes); }
    void purge() override {}
    void close() override { open_ = false; }
    void setReceiver(Receiver) override {}
    void setLostHandler(LostHandler) override {}
    std::vector<Bytes> writes;

private:
    std::string name_ = "COM1";
    bool open_ = false;
};

// Time that never passes: no timer fires while an input is handled.
class StillClock : public Clock {
    class StillTimer : public Timer {
    public:
        explicit StillTimer(int interval) : interval_(interval) {}
        void start() override { active_ = true; }
        void stop() override { active_ = false; }
        bool isActive() const override { return active_; }
        int intervalMs() const override { return interval_; }

    private:
        int interval_;
        bool active_ = false;
    };

public:
    std::unique_ptr<Timer> createTimer(int intervalMs, std::function<void()>) override {
        return std::make_unique<StillTimer>(intervalMs);
    }
    std::int64_t nowMs() const override { return 0; }
    LocalTime localNow() const override { return {}; }
    void wait(int) override {}
};

bool isLowerHex(const std::string& s) {
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    MemoryPort port;
    StillClock clock;
    SilentPrompts prompts(true);
    ExchangeLogs logs;
    ExchangeController ex(port, clock, prompts, logs);
    ZoneSensorPanel panel(ex);
    ex.setConnectedPort("COM1");
    const int zone = 1 + static_cast<int>(size % 6);
    panel.open(zone);
    check(ex.mode() == ExchangeMode::ReadSensorList);
    panel.setName(1, "stale");

    ex.onPacket(Bytes(reply));
    const ZoneSensorPanel::State& s = panel.state();
    if (size < SensorListBlockBytes) {
        check(s.rows == SensorList{});
        check(ex.mode() == ExchangeMode::ReadSensorList);
        check(!s.enabled && s.noticeShown && s.shown);
        return 0;
    }
    check(ex.mode() == ExchangeMode::IdleAfterOperation);
    check(s.enabled && !s.noticeShown && s.shown && s.zone == zone);
    for (const SensorSlot& row : s.rows) {
        check(row.code.size() == 2 * SensorCodeBytes && isLowerHex(row.code));
        check(row.name.size() <= SensorNameBytes && trimBlanks(row.name) == row.name);
    }

    // Written back: "Wd" n, the device is ready, the same list goes out.
    const SensorListEncoding list = encodeSensorListBlock(s.rows);
    check(list.ok() && list.bytes.size() == SensorListBlockBytes);
    const auto again = decodeSensorListBlock(list.bytes);
    check(again.has_value() && *again == s.rows);
    panel.write();
    check(ex.mode() == ExchangeMode::SensorsReady);
    ex.onPacket("OK");
    check(ex.mode() == ExchangeMode::SensorsResult);
    check(!port.writes.empty() && port.writes.back() == ExchangeController::framed(list.bytes));
    return 0;
}
