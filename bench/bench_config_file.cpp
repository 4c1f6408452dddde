// Time to save and to load a full configuration file: every zone active with
// four timed rows, both wired and all six wireless temperature sensors
// regulating, all sixteen wireless outputs in use, every remote control named.

#include <benchmark/benchmark.h>

#include <string>

#include "common/Cp1251.h"
#include "common/Random.h"
#include "config/ConfigModel.h"
#include "files/ConfigFile.h"

namespace {

using namespace t6;

struct Bench {
    SilentPrompts prompts{true};
    SeededRandom random{7};
    ModelContext context = ModelContext::Editing;
    ConfigModel model{prompts, random, [this] { return context; }, [] { return LocalTime{}; }};
    LocalTime now{2026, 5, 4, 12, 30, 15};

    Bench() {
        model.startUp();
        for (int n = 1; n <= 16; ++n) {
            model.setOutputType(n, n % 4);
            model.setOutputName(n, ru("Выход ") + std::to_string(n));
            model.setOutputUsed(n, true);
            model.leaveOutputName(n);
        }
        for (int t = 1; t <= 5; ++t)
            model.setTelephone(t, "+7916123456" + std::to_string(t));
        auto zone = [this](ZoneRef z) {
            model.setZoneActive(z, true);
            model.setZoneMessage(z, ru("Зона ") + std::to_string(z.number));
            model.setZoneControl24h(z, z.number % 2 == 0);
            for (int r = 1; r <= 4; ++r) {
                model.setRowEnabled(z, r, true);
                model.setRowMinutes(z, r, 10 * r);
                model.setRowSeconds(z, r, 5 + r);
                model.chooseRowOutput(z, r, 3 + r);
                model.setZonePhone(z, r, true);
            }
        };
        for (int n = 1; n <= 4; ++n)
            zone(wiredZone(n));
        for (int n = 1; n <= 6; ++n)
            zone(wirelessZone(n));
        auto sensor = [this](SensorRef s) {
            model.setSensorActive(s, true);
            model.setLowAlarm(s, -10);
            model.setHighAlarm(s, 40);
            model.setThermostat(s, true);
            model.setEconomyTemp(s, 5);
            model.setComfortTemp(s, 22);
            model.setAutoAfterDisarm(s, true);
            model.chooseSensorOutput(s, 2);
            model.setSensorPhone(s, 2, true);
        };
        for (int n = 1; n <= 2; ++n)
            sensor(wiredSensor(n));
        for (int n = 1; n <= 6; ++n) {
            sensor(wirelessSensor(n));
            model.setSensorName(n, ru("Датчик ") + std::to_string(n));
            model.setSensorCode(n, "a0b1c" + std::to_string(n));
        }
        for (int k = 1; k <= 10; ++k)
            model.setRemoteCode(k, "00ff0" + std::to_string(k % 10));
        model.setDeviceDate("04.05.26");
        model.setDeviceTime("12:30:15");
        model.setArmingMethod(1);
        model.setArmingDelay(30);
        model.setDisarmingDelay(45);
        model.setButton4Output(1);
        model.setButton4On(true);
    }
};

void BM_SaveFullConfiguration(benchmark::State& state) {
    Bench b;
    std::size_t bytes = 0;
    for (auto _ : state) {
        Bytes file = saveConfigFile(b.model, b.now);
        bytes = file.size();
        benchmark::DoNotOptimize(file.data());
    }
    state.counters["file_bytes"] = double(bytes);
}
BENCHMARK(BM_SaveFullConfiguration)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

void BM_LoadFullConfiguration(benchmark::State& state) {
    Bench b;
    const Bytes file = saveConfigFile(b.model, b.now);
    b.context = ModelContext::FillingFromFile;
    for (auto _ : state) {
        ConfigFileLoad r = loadConfigFile(file, b.model);
        if (r.error)
            state.SkipWithError("the file did not load");
        benchmark::DoNotOptimize(r.reportLines.data());
    }
    b.context = ModelContext::Editing;
    if (saveConfigFile(b.model, b.now) != file)
        state.SkipWithError("the loaded configuration saves differently");
}
BENCHMARK(BM_LoadFullConfiguration)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace
