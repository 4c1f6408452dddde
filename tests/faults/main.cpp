// The fault scenarios run the real port adapter and the Qt clock against the
// simulated device program over a pseudo-terminal, in real time.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
