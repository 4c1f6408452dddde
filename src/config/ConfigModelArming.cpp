// The output switched on at arming and the output of remote button 4.

#include "config/ConfigModel.h"

#include "config/ConfigModelHelpers.h"

namespace t6 {

using namespace model_detail;

// ---- The output switched on at arming, button 4 ----

void ConfigModel::setArmingOutputOn(bool on) {
    Batch batch(*this);
    const bool changed = c_.armingOutputOn != on;
    put(c_.armingOutputOn, on, fieldIdOf(FieldRole::ArmingOutputOn));
    if (changed && on)
        armingCheck();
}

void ConfigModel::setArmingOutput(std::optional<int> position) {
    Batch batch(*this);
    put(c_.armingOutput, position, fieldIdOf(FieldRole::ArmingOutput));
}

void ConfigModel::chooseArmingOutput(std::optional<int> position) {
    Batch batch(*this);
    setArmingOutput(position);
    armingCheck();
}

// An arming output that some active function already uses is refused.
void ConfigModel::armingCheck() {
    auto p = registry_.list().indexOf(choiceText(c_.armingOutput));
    if (!c_.armingOutput || !p)
        return;
    const std::string users = armingUsers(uses(), *p);
    if (users.empty())
        return;
    prompts_.message(armingRefusalMessage(users));
    put(c_.armingOutput, std::optional<int>(), fieldIdOf(FieldRole::ArmingOutput));
    setArmingOutputOn(false);
}

void ConfigModel::setButton4On(bool on) {
    Batch batch(*this);
    const bool changed = c_.button4On != on;
    put(c_.button4On, on, fieldIdOf(FieldRole::Button4On));
    if (changed && on)
        buttonCheck();
}

void ConfigModel::setButton4Output(std::optional<int> position) {
    Batch batch(*this);
    put(c_.button4Output, position, fieldIdOf(FieldRole::Button4Output));
}

void ConfigModel::chooseButton4Output(std::optional<int> position) {
    Batch batch(*this);
    setButton4Output(position);
    buttonCheck();
}

// Button 4 may not take the arming output while the arming choice is usable.
void ConfigModel::buttonCheck() {
    const bool armingChoiceEnabled = isEnabled(fieldIdOf(FieldRole::ArmingOutput));
    if (!collidesWithArming(c_.button4Output, c_.armingOutput, armingChoiceEnabled))
        return;
    prompts_.message(usedAtArmingMessage(shownChoiceText(c_.button4Output)));
    put(c_.button4Output, std::optional<int>(), fieldIdOf(FieldRole::Button4Output));
}

void ConfigModel::setButton4Toggle(bool on) {
    setPlainFlag(c_.button4Toggle, on, fieldIdOf(FieldRole::Button4Toggle));
}

void ConfigModel::setButton4Seconds(int seconds) {
    Batch batch(*this);
    put(c_.button4Seconds, seconds, fieldIdOf(FieldRole::Button4Seconds));
}

} // namespace t6
