#pragma once
// The kinds of access the rows of the field role table are made of: how a
// field of a kind reads its member of the configuration and which of the
// model's named rules it writes through. Only the table includes this.

#include <cstddef>
#include <optional>
#include <string>

#include "config/FieldRoles.h"

namespace t6::field_access {

// The position of number n (from 1) in its list.
inline constexpr std::size_t at(int n) {
    return static_cast<std::size_t>(n - 1);
}

// A general setting: its member of the configuration and the model's rule.
template <bool DeviceConfig::*M, void (ConfigModel::*Set)(bool)>
constexpr FieldAccess generalFlag() {
    return {.flag = [](const DeviceConfig& c, const FieldDescription&) { return c.*M; },
            .setFlag = [](ConfigModel& m, const FieldDescription&, bool on) { (m.*Set)(on); }};
}

template <int DeviceConfig::*M, void (ConfigModel::*Set)(int)>
constexpr FieldAccess generalNumber(EmptyEditor empty) {
    return {.number = [](const DeviceConfig& c, const FieldDescription&) { return c.*M; },
            .setNumber = [](ConfigModel& m, const FieldDescription&, int v) { (m.*Set)(v); },
            .emptyEditor = empty};
}

template <std::string DeviceConfig::*M, void (ConfigModel::*Set)(const std::string&)>
constexpr FieldAccess generalText() {
    return {.text = [](const DeviceConfig& c, const FieldDescription&) -> const std::string& {
                return c.*M;
            },
            .setText =
                [](ConfigModel& m, const FieldDescription&, const std::string& text) {
                    (m.*Set)(text);
                    return true;
                }};
}

template <std::optional<int> DeviceConfig::*M, void (ConfigModel::*Set)(std::optional<int>)>
constexpr FieldAccess generalChoice() {
    return {.choice = [](const DeviceConfig& c, const FieldDescription&) { return c.*M; },
            .setChoice = [](ConfigModel& m, const FieldDescription&,
                            std::optional<int> position) { (m.*Set)(position); }};
}

// Choose: the user's choice with its checks. (A member pointer is not compared
// with nullptr here: under the undefined-behaviour sanitizer that comparison
// is no constant expression.)
template <std::optional<int> DeviceConfig::*M, void (ConfigModel::*Set)(std::optional<int>),
          void (ConfigModel::*Choose)(std::optional<int>)>
constexpr FieldAccess generalChoiceChosen() {
    FieldAccess a = generalChoice<M, Set>();
    a.chooseItem = [](ConfigModel& m, const FieldDescription&, std::optional<int> position) {
        (m.*Choose)(position);
    };
    return a;
}

// A telephone's box of a general option: the telephone is the sub-number.
template <PhoneFlags DeviceConfig::*M, void (ConfigModel::*Set)(int, bool)>
constexpr FieldAccess generalPhone() {
    return {
        .flag = [](const DeviceConfig& c,
                   const FieldDescription& d) { return (c.*M).at(at(d.sub)); },
        .setFlag = [](ConfigModel& m, const FieldDescription& d, bool on) { (m.*Set)(d.sub, on); }};
}

template <bool Zone::*M, void (ConfigModel::*Set)(ZoneRef, bool)> constexpr FieldAccess zoneFlag() {
    return {.flag = [](const DeviceConfig& c,
                       const FieldDescription& d) { return c.zone(d.zone()).*M; },
            .setFlag = [](ConfigModel& m, const FieldDescription& d,
                          bool on) { (m.*Set)(d.zone(), on); }};
}

// A member of a zone's action row: the row is the sub-number.
template <bool ZoneOutputAction::*M, void (ConfigModel::*Set)(ZoneRef, int, bool)>
constexpr FieldAccess rowFlag() {
    return {.flag = [](const DeviceConfig& c,
                       const FieldDescription& d) { return c.action(d.zone(), d.sub).*M; },
            .setFlag = [](ConfigModel& m, const FieldDescription& d,
                          bool on) { (m.*Set)(d.zone(), d.sub, on); }};
}

// A row's minutes or seconds: the editor may stay empty until it is left,
// and leaving it runs its rule.
template <int ZoneOutputAction::*M, void (ConfigModel::*Set)(ZoneRef, int, int),
          void (ConfigModel::*Leave)(ZoneRef, int)>
constexpr FieldAccess rowTime() {
    return {
        .number = [](const DeviceConfig& c,
                     const FieldDescription& d) { return c.action(d.zone(), d.sub).*M; },
        .setNumber = [](ConfigModel& m, const FieldDescription& d,
                        int v) { (m.*Set)(d.zone(), d.sub, v); },
        .emptyEditor = EmptyEditor::ZeroUntilLeft,
        .leave = [](ConfigModel& m, const FieldDescription& d) { (m.*Leave)(d.zone(), d.sub); }};
}

template <bool ThermoSensor::*M, void (ConfigModel::*Set)(SensorRef, bool)>
constexpr FieldAccess sensorFlag() {
    return {.flag = [](const DeviceConfig& c,
                       const FieldDescription& d) { return c.sensor(d.sensor()).*M; },
            .setFlag = [](ConfigModel& m, const FieldDescription& d,
                          bool on) { (m.*Set)(d.sensor(), on); }};
}

template <int ThermoSensor::*M, void (ConfigModel::*Set)(SensorRef, int)>
constexpr FieldAccess sensorNumber() {
    return {.number = [](const DeviceConfig& c,
                         const FieldDescription& d) { return c.sensor(d.sensor()).*M; },
            .setNumber = [](ConfigModel& m, const FieldDescription& d,
                            int v) { (m.*Set)(d.sensor(), v); }};
}

// A text of a wireless sensor, wireless output or remote control: List is
// its list in the configuration, the unit its number.
template <auto List, auto M, void (ConfigModel::*Set)(int, const std::string&)>
constexpr FieldAccess unitText() {
    return {.text = [](const DeviceConfig& c, const FieldDescription& d) -> const std::string& {
                return (c.*List).at(at(d.unit)).*M;
            },
            .setText =
                [](ConfigModel& m, const FieldDescription& d, const std::string& text) {
                    (m.*Set)(d.unit, text);
                    return true;
                }};
}

constexpr FieldAccess withLeave(FieldAccess a,
                                void (*leave)(ConfigModel&, const FieldDescription&)) {
    a.leave = leave;
    return a;
}

} // namespace t6::field_access
