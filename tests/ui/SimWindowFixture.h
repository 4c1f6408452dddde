#pragma once
// The real window over the simulated device on an in-process port, in virtual
// time, with scripted answers, in a fresh program directory holding the
// shipped dictionary; connected to the device's port.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <memory>

#include "common/Cp1251.h"
#include "core/AppCore.h"
#include "support/CoreRig.h"
#include "support/SimulatedPort.h"
#include "ui/MainWindow.h"

namespace t6::test {

class SimWindowTest : public CoreRig<SimulatedPort> {
protected:
    SimWindowTest() : CoreRig("t6-chain-ui") {
        std::filesystem::copy_file(std::filesystem::path(T6_SOURCE_DIR) / "data" / "trans.dic",
                                   dir / "trans.dic");
        core = std::make_unique<AppCore>(port, clock, prompts, dir.string());
        window = std::make_unique<MainWindow>(*core);
        core->exchange().setConnectedPort("COM1");
    }
    ~SimWindowTest() override {
        window.reset();
        core.reset();
    }
    template <typename W> W* child(const char* name) {
        auto* w = window->findChild<W*>(QString::fromLatin1(name));
        if (!w) {
            // A page not shown yet is built when first needed.
            window->buildAllParts();
            w = window->findChild<W*>(QString::fromLatin1(name));
        }
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QLabel* statePanel() { return child<QLabel>("StatusBar1_Panel0"); }
    // The whole text of the state panel (a long stage is shortened on screen).
    std::string stateText() {
        const QString tip = statePanel()->toolTip();
        return (tip.isEmpty() ? statePanel()->text() : tip).toStdString();
    }
    static QString u(const char* s) { return QString::fromUtf8(s); }

    std::unique_ptr<AppCore> core;
    std::unique_ptr<MainWindow> window;
};

} // namespace t6::test
