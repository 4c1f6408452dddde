#include "common/Clock.h"

#include <cstdio>

namespace t6 {

std::string longTimeText(const LocalTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
    return buf;
}

std::string shortDateText(const LocalTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%02d", t.day % 100, t.month % 100, t.year % 100);
    return buf;
}

} // namespace t6
