// The model's wireless outputs, remote controls and keys.

#include "config/ConfigModel.h"

#include <cstdio>

#include "common/Cp1251.h"
#include "config/ConfigModelHelpers.h"
#include "config/FieldEncodings.h"

namespace t6 {

using namespace model_detail;

namespace {

// Draws before a new code gives up and keeps the last one drawn.
constexpr int CodeDraws = 100000;

std::string outputKey(int n) {
    return "bpout_" + std::to_string(n);
}

} // namespace

// ---- Wireless outputs ----

void ConfigModel::setOutputUsed(int n, bool on) {
    Batch batch(*this);
    WirelessOutput& o = c_.wirelessOutputs.at(static_cast<std::size_t>(n - 1));
    const bool changed = o.used != on;
    put(o.used, on, fieldIdOf(FieldRole::OutputUsed, n));
    if (changed)
        outputUsedClicked(n);
}

// The used box's reaction. Unticked: the output is released unless some choice
// still selects it. Ticked: an output without a code gets a new one.
void ConfigModel::outputUsedClicked(int n) {
    const std::size_t i = static_cast<std::size_t>(n - 1);
    WirelessOutput& o = c_.wirelessOutputs.at(i);
    const std::string nameControl = controlOf(fieldIdOf(FieldRole::OutputName, n));
    stateChanged_ = true;
    if (!o.used) {
        testEnabled_[i] = false;
        registry_.releaseEntry([this, n] { setOutputUsed(n, true); }, outputKey(n));
        return;
    }
    if (!trimmed(o.code).empty()) {
        testEnabled_[i] = true;
        if (!filling())
            focus(nameControl);
        return;
    }
    setOutputCode(n, generateOutputCode());
    focus(nameControl);
}

// A random code of up to six upper-case hexadecimal digits, padded with "0" on
// the right, that the registry does not report as taken. None of its three
// bytes is FE or FF: on the line the pair FF FE ends a packet, so such a code
// could cut the request that attaches the output, or the outputs' block.
std::string ConfigModel::generateOutputCode() {
    random_.next(16777215);
    std::string t;
    for (int attempt = 0; attempt < CodeDraws; ++attempt) {
        const int a = 1 + random_.next(16777213);
        char buf[16];
        std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(a));
        t = buf;
        const std::string bytes = hexToBytes(padRight(t, '0', CodeLength)).value_or(std::string());
        const bool lineSafe = bytes.find_first_of("\xFE\xFF") == std::string::npos;
        if (lineSafe && !registry_.isCodeTaken(a, t))
            break;
    }
    return padRight(t, '0', CodeLength);
}

void ConfigModel::setOutputCode(int n, const std::string& code) {
    Batch batch(*this);
    WirelessOutput& o = c_.wirelessOutputs.at(static_cast<std::size_t>(n - 1));
    const bool changed = o.code != code;
    put(o.code, code, fieldIdOf(FieldRole::OutputCode, n));
    if (changed)
        outputCodeChanged(n);
}

// A code "000000" is no code; the buttons need a code.
void ConfigModel::outputCodeChanged(int n) {
    const std::size_t i = static_cast<std::size_t>(n - 1);
    WirelessOutput& o = c_.wirelessOutputs.at(i);
    if (o.code == "000000")
        put(o.code, std::string(), fieldIdOf(FieldRole::OutputCode, n));
    attachEnabled_[i] = testEnabled_[i] = !o.code.empty();
    stateChanged_ = true;
}

void ConfigModel::setOutputType(int n, int type) {
    Batch batch(*this);
    const FieldId id = fieldIdOf(FieldRole::OutputType, n);
    if (type < WirelessRelay || type > FourChannelRelay) {
        touch(id);
        return;
    }
    put(c_.wirelessOutputs.at(static_cast<std::size_t>(n - 1)).type, type, id);
}

// The user's new type is registered when the name field is left, so the
// focus goes there.
void ConfigModel::chooseOutputType(int n, int type) {
    Batch batch(*this);
    setOutputType(n, type);
    focus(controlOf(fieldIdOf(FieldRole::OutputName, n)));
}

void ConfigModel::setOutputName(int n, const std::string& name) {
    Batch batch(*this);
    put(c_.wirelessOutputs.at(static_cast<std::size_t>(n - 1)).name, name,
        fieldIdOf(FieldRole::OutputName, n));
}

// Leaving the name field registers the output under its name, or releases it
// when the name was cleared; two outputs may not bear one name.
void ConfigModel::leaveOutputName(int n) {
    Batch batch(*this);
    const WirelessOutput& o = c_.wirelessOutputs.at(static_cast<std::size_t>(n - 1));
    const std::string key = outputKey(n);
    stateChanged_ = true;
    if (trimmed(o.name).empty() && !filling()) {
        registry_.releaseEntry([this, n] { setOutputUsed(n, true); }, key);
        return;
    }
    const int channels = o.type == FourChannelRelay ? RelayChannelCount : 1;
    if (registry_.isNameTaken(key, o.name) || registry_.clashesWithList(key, o.name, channels)) {
        prompts_.message(ru("Совпадает имя выходов"));
        focus(controlOf(fieldIdOf(FieldRole::OutputName, n)));
        return;
    }
    registry_.registerEntry(key, o.name, o.code, 1, channels);
}

// ---- Remote controls and keys ----

void ConfigModel::setRemoteName(int k, const std::string& name) {
    Batch batch(*this);
    put(c_.remoteControls.at(static_cast<std::size_t>(k - 1)).name, name,
        fieldIdOf(FieldRole::RemoteName, k));
}

void ConfigModel::setRemoteCode(int k, const std::string& code) {
    Batch batch(*this);
    put(c_.remoteControls.at(static_cast<std::size_t>(k - 1)).code, code,
        fieldIdOf(FieldRole::RemoteCode, k));
}

void ConfigModel::setTouchKey(int k, const TouchKey& key) {
    c_.touchKeys.at(static_cast<std::size_t>(k - 1)) = key;
    // Whoever sets a row (the device, the user, a key file) gives it a content.
    keysNotRead_.at(static_cast<std::size_t>(k - 1)) = false;
}

void ConfigModel::setKeysNotRead(const std::vector<int>& rows) {
    for (int k : rows)
        keysNotRead_.at(static_cast<std::size_t>(k - 1)) = true;
}

bool ConfigModel::keyNotRead(int k) const {
    return keysNotRead_.at(static_cast<std::size_t>(k - 1));
}

} // namespace t6
