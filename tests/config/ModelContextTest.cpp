#include "ModelFixture.h"

namespace t6::test {
namespace {

// Each exchange mode, the context the model sees in it, and what the rules
// that depend on the context then do.
struct ContextRow {
    ExchangeModeValue mode;
    ModelContext context;
    bool warnsOfEmptyTelephone; // ticking a box of telephone 4 while it is empty
    bool focusesTickedRow;      // ticking row 2 of wired zone 1 moves the focus to its choice
    bool checksSameOutput;      // leaving a row that repeats an output of its zone
    bool savesSensorActivation; // bit 7 of an active sensor's telephone mask
};

class ModelContextTest : public ModelTest, public ::testing::WithParamInterface<ContextRow> {
protected:
    ModelContextTest() {
        tick("CheckBox_in1");
        view.clear();
    }
};

TEST_P(ModelContextTest, RulesFollowTheContextOfTheExchangeMode) {
    const ContextRow& row = GetParam();
    EXPECT_EQ(ExchangeMode::modelContextOf(row.mode), row.context);

    // Telephone 4 empty, an active sensor, and rows 3 and 2 of wired zone 1
    // on the same relay, all set up while the user edits.
    model.setTelephone(4, "+");
    tick("RG_OUT13");
    choose("RG_OUT13_3", 2);
    model.setSensorActive({false, 1}, true);
    prompts.clear();
    view.clear();

    mode = row.mode;
    EXPECT_EQ(model.context(), row.context);
    EXPECT_EQ(model.Analize_Empty_Telephon(4, true), !row.warnsOfEmptyTelephone);
    EXPECT_EQ(prompts.shown.size(), row.warnsOfEmptyTelephone ? 1u : 0u);
    prompts.clear();

    tick("RG_OUT12");
    EXPECT_EQ(view.focus, row.focusesTickedRow ? std::vector<std::string>{"RG_OUT12_2"}
                                               : std::vector<std::string>{});
    model.setRowOutput(ZoneRef{false, 1}, 2, 2);
    leave("RG_OUT12_2");
    EXPECT_EQ(prompts.shown.size(), row.checksSameOutput ? 1u : 0u);

    const auto mask = static_cast<unsigned char>(model.tel_parameters_all("td1").at(0));
    EXPECT_EQ((mask & 0x80) != 0, row.savesSensorActivation);
}

using enum ModelContext;
INSTANTIATE_TEST_SUITE_P(
    EveryKindOfMode, ModelContextTest,
    ::testing::Values(
        ContextRow{ExchangeMode::Idle, Editing, true, true, true, false},
        ContextRow{ExchangeMode::IdleAfterOperation, Editing, true, true, true, false},
        ContextRow{ExchangeMode::ReadBlock, FillingFromDevice, false, false, false, false},
        ContextRow{ExchangeMode::ReadOutputs, FillingFromDevice, false, false, false, false},
        ContextRow{ExchangeMode::LoadingFile, FillingFromFile, false, false, true, false},
        ContextRow{ExchangeMode::SavingFile, SavingFile, false, true, true, true},
        ContextRow{ExchangeMode::ReadRemotes, Exchanging, false, true, true, false},
        ContextRow{ExchangeMode::ReadThermoNames, Exchanging, false, true, true, false},
        ContextRow{ExchangeMode::WriteBlock, Exchanging, false, true, true, false},
        ContextRow{ExchangeMode::Identify, Exchanging, false, true, true, false},
        ContextRow{ExchangeMode::ReadAllKeys, Exchanging, false, true, true, false},
        ContextRow{ExchangeMode::SignalLevel, Exchanging, false, true, true, false}));

} // namespace
} // namespace t6::test
