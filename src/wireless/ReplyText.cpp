#include "wireless/ReplyText.h"

namespace t6 {

std::string trimBlanks(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ')
        --e;
    return std::string(text.substr(b, e - b));
}

bool isDoneReply(std::string_view reply) {
    const std::string t = trimBlanks(reply);
    return t == "Ok" || t == "OK";
}

bool containsDone(std::string_view reply) {
    return reply.find("Ok") != std::string_view::npos || reply.find("OK") != std::string_view::npos;
}

} // namespace t6
