#include <gtest/gtest.h>

#include "common/Cp1251.h"
#include "outputs/OutputUses.h"

namespace t6 {
namespace {

constexpr int Relay1 = 2;

TEST(ArmingUsers, NamesEachCountingUserOnceInTableOrder) {
    OutputUses u;
    u.wirelessZones[1][0] = {true, Relay1};
    u.wiredZones[2][1] = {true, Relay1};
    u.wiredZones[2][3] = {true, Relay1}; // the same zone again: one word
    u.wiredSensors[0] = {true, true, Relay1};
    u.wirelessSensors[4] = {true, true, Relay1};
    u.button4On = true;
    u.button4Output = Relay1;
    EXPECT_EQ(cp1251ToUtf8(armingUsers(u, Relay1)),
              "выход3 \r\nТермодатчик1 \r\nБеспр.термодатчик5\r\nКнопка4\r\nБеспр.вход2\r\n");
}

TEST(ArmingUsers, OnlyTickedRowsAndRegulatingActiveSensorsCount) {
    OutputUses u;
    u.wiredZones[0][1] = {false, Relay1};
    u.wiredSensors[0] = {true, false, Relay1};
    u.wiredSensors[1] = {false, true, Relay1};
    u.wirelessSensors[0] = {true, true, 1};
    u.button4Output = Relay1;
    EXPECT_EQ(armingUsers(u, Relay1), "");
}

TEST(ArmingUsers, RefusalMessage) {
    OutputUses u;
    u.wiredZones[2][1] = {true, Relay1};
    EXPECT_EQ(cp1251ToUtf8(armingRefusalMessage(armingUsers(u, Relay1))),
              "Выход используется: \r\nвыход3 \r\n\r\nВыбор запрещен");
}

TEST(ArmingCollision, SamePositionWhileArmingOutputInUse) {
    EXPECT_TRUE(collidesWithArming(1, 1, true));
    EXPECT_FALSE(collidesWithArming(1, 1, false));
    EXPECT_FALSE(collidesWithArming(1, 2, true));
    EXPECT_FALSE(collidesWithArming(std::nullopt, std::nullopt, true)) << "no choice takes nothing";
    EXPECT_EQ(cp1251ToUtf8(usedAtArmingMessage(ru("Выход 2(OUT2)"))),
              "Устройство Выход 2(OUT2) используется при постановке на охрану. \r\n Выберете "
              "другое устройство.");
}

TEST(SameOutput, TickedRowsOnTheSameOutputRepeat) {
    ZoneUse z{};
    z[1] = {true, Relay1};
    z[2] = {true, Relay1};
    z[0] = {true, 0};
    z[3] = {true, 3};
    EXPECT_TRUE(repeatsOutputInZone(z, 1));
    EXPECT_FALSE(repeatsOutputInZone(z, 0));
    z[2].ticked = false;
    EXPECT_FALSE(repeatsOutputInZone(z, 1)) << "an unticked row counts as 0";
}

TEST(SameOutput, NoChoiceMeetsAnyUntickedRow) {
    ZoneUse z{};
    z[0] = {true, std::nullopt};
    z[1] = {true, 0};
    z[2] = {true, 1};
    z[3] = {false, 3};
    EXPECT_TRUE(repeatsOutputInZone(z, 0));
}

TEST(SameOutput, OnlyTheFirstThirtyOneEntriesTakePart) {
    ZoneUse z{};
    for (auto& r : z)
        r = {true, 30}; // the 31st entry
    EXPECT_TRUE(repeatsOutputInZone(z, 0));
    for (auto& r : z)
        r = {true, 31}; // the 32nd
    EXPECT_FALSE(repeatsOutputInZone(z, 0));
    EXPECT_EQ(cp1251ToUtf8(sameOutputMessage()),
              "Нельзя использовать одинаковые выходы на одном входе");
}

TEST(ZoneRowPolicies, TheZonesThatDiffer) {
    EXPECT_TRUE(keepsRowAfterSameOutput(false, 2));
    EXPECT_FALSE(keepsRowAfterSameOutput(true, 2));
    EXPECT_FALSE(keepsRowAfterSameOutput(false, 1));
    EXPECT_TRUE(resetsTimeOnUntick(false, 1, 4));
    EXPECT_FALSE(resetsTimeOnUntick(false, 3, 4));
    EXPECT_TRUE(resetsTimeOnUntick(true, 3, 4));
    EXPECT_FALSE(resetsTimeOnUntick(false, 1, 2));
    EXPECT_TRUE(focusesChoiceOnTick(false, 1));
    EXPECT_FALSE(focusesChoiceOnTick(false, 4));
    EXPECT_TRUE(focusesChoiceOnTick(true, 6));
}

} // namespace
} // namespace t6
