#pragma once
// The real window over a fake port, in virtual time, with scripted answers,
// in a fresh program directory.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "common/Cp1251.h"
#include "support/FakeSerialPort.h"
#include "support/ManualClock.h"
#include "support/ScriptedPrompts.h"
#include "ui/AppCore.h"
#include "ui/MainWindow.h"

namespace t6::test {

class WindowFixture : public ::testing::Test {
protected:
    WindowFixture() {
        dir = std::filesystem::temp_directory_path() /
              ("t6-ui-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    ~WindowFixture() override {
        window.reset();
        core.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    void withShippedDictionary() {
        std::filesystem::copy_file(std::filesystem::path(T6_SOURCE_DIR) / "data" / "trans.dic",
                                   dir / "trans.dic");
    }
    void open() {
        core = std::make_unique<AppCore>(port, clock, prompts, dir.string());
        window = std::make_unique<MainWindow>(*core);
    }
    template <typename W> W* child(const char* name) {
        auto* w = window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString statusPanel(int i) {
        return child<QLabel>(("StatusBar1_Panel" + std::to_string(i)).c_str())->text();
    }
    std::string file(const char* name) {
        std::ifstream f(dir / name, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    static QString u(const char* s) { return QString::fromUtf8(s); }

    std::filesystem::path dir;
    FakeSerialPort port;
    ManualClock clock;
    ScriptedPrompts prompts;
    std::unique_ptr<AppCore> core;
    std::unique_ptr<MainWindow> window;
};

} // namespace t6::test
