#pragma once
// How the enrolment exchanges read the device's short answers.

#include <string>
#include <string_view>

namespace t6 {

// The text without blanks and control characters (0x00 included) at both ends.
std::string trimBlanks(std::string_view text);

// "Ok" or "OK" once blanks and control characters at both ends are removed:
// the device's word for a finished job.
bool isDoneReply(std::string_view reply);

// "Ok" or "OK" anywhere in the reply: how the device says it is ready for a
// sensor list.
bool containsDone(std::string_view reply);

} // namespace t6
