#pragma once
// Hiding telephone numbers and access-key codes in what a support report
// holds, keeping their shape: every digit of a telephone but its last two
// becomes "X" ("79161234567" gives "XXXXXXXXX67"); of a key's eight identity
// bytes all but the last become "X" (its code "01a2b3c4d5e6f708" gives
// "XXXXXXXXXXXXXX08"). A number of at most two digits (the "7" of a telephone
// not filled in) and a key of only zero bytes (no key) hide nothing and stay.
//
// Telephones travel in the device's telephones record (type 0x11, the numbers
// each followed by "/", then CR) and stand in the configuration files'
// sections #11 to #15; keys travel in the device's key table (twenty bytes a
// key, the identity at bytes 12 to 19) and in the reply to a single key read
// (its first eight bytes). The logs hold these as the bytes received or sent
// and, in the hex log, as hex digits. The masker first finds the values where
// they stand, then hides every other place each value appears, as bytes, as
// text or as hex digits.

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/Bytes.h"

namespace t6 {

// Every digit but the last two becomes "X"; other characters stay.
std::string maskDigits(std::string_view text);

class SupportMasker {
public:
    // What is known from elsewhere: the window's telephones (as typed, "+7…")
    // and key codes (hex digits).
    void addTelephone(std::string_view telephone);
    void addKeyCode(std::string_view hexCode);
    // The payloads received in this run, each whole (the memo's lines hold
    // them): they tell where a key table logged in the text log ends.
    void setReceivedPayloads(std::vector<Bytes> payloads);

    // Each file in its own way. Hiding the values found in one file in every
    // other file too, call all three finders before any mask.
    void findInTextLog(const Bytes& content);
    void findInHexLog(const Bytes& content);
    void findInMemo(const Bytes& content);
    void findInConfigFile(const Bytes& content);

    Bytes maskTextLog(Bytes content) const;
    Bytes maskHexLog(const Bytes& content) const;
    Bytes maskConfigFile(Bytes content) const;

    const std::set<std::string>& telephones() const { return telephones_; }
    const std::set<Bytes>& keyIdentities() const { return keys_; }

private:
    void addIdentity(std::string_view identity);
    void findKeysAfter(const Bytes& content, std::string_view head, bool table);
    Bytes maskRaw(Bytes bytes) const;
    Bytes maskValues(Bytes bytes) const;

    std::set<std::string> telephones_; // the digits as the device and files hold them
    std::set<Bytes> keys_;             // eight identity bytes each
    std::vector<Bytes> payloads_;
};

} // namespace t6
