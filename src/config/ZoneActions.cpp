#include "config/ZoneActions.h"

#include "config/ConfigModel.h"

namespace t6 {

bool applyZoneActionBytes(ConfigModel& m, ZoneRef z, const ZoneActionBytes& b) {
    bool any = false;
    for (std::uint8_t v : b)
        any = any || v != 0;
    if (!any) {
        for (int r = 1; r <= ZoneActionCount; ++r)
            m.setRowEnabled(z, r, false);
        return false;
    }
    for (int slot = 0; slot < ZoneActionCount; ++slot) {
        const int row = rowOfSlot(slot);
        const std::size_t at = ZoneActionSlotBytes * static_cast<std::size_t>(slot);
        const unsigned d = b[at] * 256u + b[at + 1];
        if (d == 0) {
            m.setRowEnabled(z, row, false);
            m.setRowAlwaysOn(z, row, false);
            continue;
        }
        m.setRowEnabled(z, row, true);
        if (d == AlwaysOnDuration) {
            m.setRowAlwaysOn(z, row, true);
            m.setRowMinutes(z, row, 0);
            m.setRowSeconds(z, row, 1);
        } else if (d < AlwaysOnDuration) {
            m.setRowMinutes(z, row, static_cast<int>(d / 60));
            m.setRowSeconds(z, row, static_cast<int>(d % 60));
        }
        m.setRowOutput(z, row, m.registry().positionOfCode(b[at + 2]));
    }
    return true;
}

ZoneActionBytes zoneActionBytesOf(const ConfigModel& m, ZoneRef z) {
    ZoneActionBytes b{};
    if (!m.config().zone(z).outputsEnabled)
        return b;
    for (int slot = 0; slot < ZoneActionCount; ++slot) {
        const ZoneOutputAction& a = m.config().action(z, rowOfSlot(slot));
        if (!a.enabled)
            continue;
        const unsigned d =
            a.alwaysOn ? AlwaysOnDuration : static_cast<unsigned>(a.minutes * 60 + a.seconds);
        const std::size_t at = ZoneActionSlotBytes * static_cast<std::size_t>(slot);
        b[at] = static_cast<std::uint8_t>((d >> 8) & 0xFFu);
        b[at + 1] = static_cast<std::uint8_t>(d & 0xFFu);
        b[at + 2] = static_cast<std::uint8_t>(m.registry().outputCodeOf(a.output) & 0xFF);
    }
    return b;
}

} // namespace t6
