#include "config/FieldRoles.h"

#include <set>
#include <stdexcept>

#include "ModelFixture.h"

namespace t6::test {
namespace {

// Every field finds the row of its role, and the row reads and writes the
// field's kind, and that kind only.
TEST(FieldRoles, EveryFieldHasTheRowOfItsRoleWithTheAccessOfItsKind) {
    for (const FieldDescription& d : fieldDescriptions()) {
        const FieldRoleRow& row = fieldRole(d.role);
        EXPECT_EQ(row.role, d.role) << d.controlName;
        const FieldAccess& a = row.access;
        const bool check = d.kind == FieldKind::Check;
        const bool spin = d.kind == FieldKind::Spin;
        const bool text = d.kind == FieldKind::Text;
        const bool choice = d.kind == FieldKind::Choice || d.kind == FieldKind::Radio;
        EXPECT_EQ(a.flag != nullptr && a.setFlag != nullptr, check) << d.controlName;
        EXPECT_EQ(a.number != nullptr && a.setNumber != nullptr, spin) << d.controlName;
        EXPECT_EQ(a.text != nullptr && a.setText != nullptr, text) << d.controlName;
        EXPECT_EQ(a.choice != nullptr && a.setChoice != nullptr, choice) << d.controlName;
        EXPECT_EQ((a.flag != nullptr) + (a.number != nullptr) + (a.text != nullptr) +
                      (a.choice != nullptr),
                  1)
            << d.controlName;
        EXPECT_TRUE(spin || a.emptyEditor == EmptyEditor::Refused) << d.controlName;
        EXPECT_TRUE(choice || a.chooseItem == nullptr) << d.controlName;
    }
    EXPECT_THROW(fieldRole(static_cast<FieldRole>(FieldRoleCount)), std::out_of_range);
    EXPECT_THROW(fieldRole(static_cast<FieldRole>(-1)), std::out_of_range);
}

TEST(FieldRoles, MemberNamesAreUniqueAndNumberedAsTheConfiguration) {
    std::set<std::string> names;
    for (const FieldDescription& d : fieldDescriptions())
        EXPECT_TRUE(names.insert(fieldMemberName(d)).second) << fieldMemberName(d);
    auto name = [](FieldRole role, int unit = 0, int sub = 0, bool wireless = false) {
        return fieldMemberName(fieldDescription(fieldIdOf(role, unit, sub, wireless)));
    };
    EXPECT_EQ(name(FieldRole::ArmingBeep), "armingBeep");
    EXPECT_EQ(name(FieldRole::Telephone, 5), "telephones[5]");
    EXPECT_EQ(name(FieldRole::SupplyVoltagePhone, 0, 2), "supplyVoltagePhones[2]");
    EXPECT_EQ(name(FieldRole::EntryDelay, 6, 0, true), "wirelessZones[6].entryDelay");
    EXPECT_EQ(name(FieldRole::ZonePhone, 4, 5), "wiredZones[4].phones[5]");
    EXPECT_EQ(name(FieldRole::RowSeconds, 2, 3, true), "wirelessZones[2].actions[3].seconds");
    EXPECT_EQ(name(FieldRole::SensorPhone, 2, 4), "thermoSensors[2].phones[4]");
    EXPECT_EQ(name(FieldRole::SensorCode, 6, 0, true), "wirelessThermoSensors[6].code");
    EXPECT_EQ(name(FieldRole::OutputType, 16), "wirelessOutputs[16].type");
    EXPECT_EQ(name(FieldRole::RemoteName, 10), "remoteControls[10].name");
}

class FieldRoleAccessTest : public ModelTest {};

// A field's writer reaches the member its reader reads, of its own zone, row,
// sensor or telephone, and tells the view of that very field: the value
// changes and the field is among those changed.
TEST_F(FieldRoleAccessTest, EveryFieldWritesTheMemberItReads) {
    mode = ExchangeMode::LoadingFile; // no guard refuses a tick
    type("ME_tel1", "+71");
    auto other = [](const std::string& s) { return s == "12" || s == "+12" ? "13" : "12"; };
    for (const FieldDescription& d : fieldDescriptions()) {
        view.clear();
        switch (d.kind) {
        case FieldKind::Check: {
            const bool before = model.flag(d.id);
            model.setFlag(d.id, !before);
            EXPECT_NE(model.flag(d.id), before) << d.controlName;
            break;
        }
        case FieldKind::Spin: {
            const int before = model.number(d.id);
            model.setNumber(d.id, before == d.maximum ? d.maximum - 1 : d.maximum);
            EXPECT_NE(model.number(d.id), before) << d.controlName;
            break;
        }
        case FieldKind::Text: {
            const std::string before = model.text(d.id);
            model.setText(d.id, other(before));
            EXPECT_NE(model.text(d.id), before) << d.controlName;
            break;
        }
        case FieldKind::Choice:
        case FieldKind::Radio: {
            const std::optional<int> before = model.choice(d.id);
            model.setChoice(d.id, before == 1 ? 0 : 1);
            EXPECT_NE(model.choice(d.id), before) << d.controlName;
            break;
        }
        }
        EXPECT_TRUE(view.wasChanged(d.controlName)) << d.controlName;
    }
}

// Every number editor emptied by the user: the delays and the volumes show 0
// at once, a row's minutes and seconds stay empty, counting as 0, until they
// are left, and the others refuse the empty text and keep their value.
TEST_F(FieldRoleAccessTest, EveryEmptiedNumberEditorDoesWhatItsKindOfEditorDoes) {
    const std::set<std::string> zeroAtOnce = {"SE_inp", "SE_out", "SE_volume_microfon",
                                              "SE_Volume_dinamik"};
    for (const FieldDescription& d : fieldDescriptions()) {
        if (d.kind != FieldKind::Spin)
            continue;
        model.setNumber(d.id, d.maximum);
        const bool taken = model.setText(d.id, "");
        if (d.role == FieldRole::RowMinutes || d.role == FieldRole::RowSeconds) {
            EXPECT_TRUE(taken) << d.controlName;
            EXPECT_EQ(model.text(d.id), "") << d.controlName;
            EXPECT_EQ(model.number(d.id), 0) << d.controlName;
            model.leaveField(d.id);
            EXPECT_EQ(model.text(d.id), "0") << d.controlName;
        } else if (zeroAtOnce.count(d.controlName)) {
            EXPECT_TRUE(taken) << d.controlName;
            EXPECT_EQ(model.text(d.id), "0") << d.controlName;
        } else {
            EXPECT_FALSE(taken) << d.controlName;
            EXPECT_EQ(model.number(d.id), d.maximum) << d.controlName;
        }
    }
}

} // namespace
} // namespace t6::test
