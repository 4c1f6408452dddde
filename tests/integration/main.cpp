// Integration tests run the real serial port adapter against the simulated
// device over a pseudo-terminal, in real time, each bounded.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
