#pragma once
// The real window over a fake port, in virtual time, with scripted answers,
// in a fresh program directory.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "common/Cp1251.h"
#include "core/AppCore.h"
#include "support/CoreRig.h"
#include "support/FakeSerialPort.h"
#include "ui/MainWindow.h"

// Readable failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace t6::test {

class WindowFixture : public CoreRig<FakeSerialPort> {
protected:
    WindowFixture() : CoreRig("t6-ui") {}
    ~WindowFixture() override {
        window.reset();
        core.reset();
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
        if (!w) {
            // A page not shown yet is built when first needed.
            window->buildAllParts();
            w = window->findChild<W*>(QString::fromLatin1(name));
        }
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

    // The window shown and active, so that focus changes deliver their events.
    void activate() {
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        QApplication::processEvents();
    }
    // A key as the user presses it on the focused control.
    static void press(QWidget* w, int key, const QString& text = {},
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(w, &down);
        QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(w, &up);
    }
    // Characters typed one by one.
    static void typeInto(QWidget* w, const QString& text) {
        for (QChar c : text) {
            const int key = c.isDigit()    ? Qt::Key_0 + c.digitValue()
                            : c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A')
                                           : Qt::Key_unknown;
            press(w, c.unicode() < 128 ? key : Qt::Key_unknown, QString(c));
        }
    }
    // The user picks an item from a list.
    static void pick(QComboBox* c, int index) {
        c->setCurrentIndex(index);
        emit c->activated(index);
    }
    // The user moves the keyboard focus to another control.
    static void focusTo(QWidget* w, Qt::FocusReason reason = Qt::TabFocusReason) {
        w->setFocus(reason);
        QApplication::processEvents();
    }
    std::vector<std::string> shownTexts() const { return prompts.textsUtf8(); }

    std::unique_ptr<AppCore> core;
    std::unique_ptr<MainWindow> window;
};

} // namespace t6::test
