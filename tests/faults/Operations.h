#pragma once
// The operations of the window, each as the user starts it: what must be in
// place first, the button, how long its wait for the device may last, and
// what a sound run leaves behind.

#include <functional>
#include <string>

#include "faults/FaultRig.h"

namespace t6::test {

enum class Op {
    Identify, // manual port, "Соединить": "Tt"
    Search,   // automatic port search: "Tt" on every listed port
    Signal,   // "Обновить": "Sg"
    Read, // "Чтение настроек из памяти прибора": "Ro", "Pt", "Pn", "Ltd"
    Write, // "Запись настроек в память прибора": the block, "Wp", "Wtd", "Wo"
    KeysRead,    // "Программирование ключей ТМ": "Cn"
    KeyRead,     // "Читать Ключ" of row 1: "Kr"
    KeysWrite,   // "Сохранить ": "Wr" and the table
    Remote,      // "Читать" of remote control 1: "Pr"
    SensorList,  // "Датчики" of wireless zone 1: "D1r"
    SensorLearn, // "Читать" of sensor row 1: "Ps"
    SensorWrite, // "Записать датчики": "Wd1" and the list
    Thermo,      // "Читать" of wireless temperature sensor 1: "Rtd"
    Output,      // "Привязать" of wireless output 1: "So"
};

struct OpInfo {
    const char* name;
    // The wait the operation's bound counts from (its time-out), in ms.
    std::function<int(FaultRig&)> timeoutMs;
    // What a sound run tells the user, UTF-8; empty when it shows only its result.
    std::string success;
    // Brings the window to where the user presses the button; false when it failed.
    std::function<bool(FaultRig&)> prepare;
    std::function<void(AppCore&)> press;
    // The result of a sound run is in the window.
    std::function<bool(FaultRig&)> resultShown;
};

const OpInfo& opInfo(Op op);

// The reply time-out of the exchange controller.
inline constexpr int kReplyTimeoutMs = 10000;

} // namespace t6::test
