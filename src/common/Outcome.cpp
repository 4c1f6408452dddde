#include "common/Outcome.h"

namespace t6 {

const char* outcomeKindName(Outcome::Kind kind) {
    switch (kind) {
    case Outcome::Kind::Completed:
        return "completed";
    case Outcome::Kind::Incomplete:
        return "incomplete";
    case Outcome::Kind::NoAnswer:
        return "no answer";
    case Outcome::Kind::WrongAnswer:
        return "wrong answer";
    case Outcome::Kind::Refused:
        return "refused";
    case Outcome::Kind::Cancelled:
        return "cancelled";
    case Outcome::Kind::PortLost:
        return "port lost";
    case Outcome::Kind::FileFailed:
        return "file failed";
    }
    return "?";
}

} // namespace t6
