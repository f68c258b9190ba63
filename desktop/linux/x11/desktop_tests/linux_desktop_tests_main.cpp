// The clipboard lives in a Qt GUI application on this (the main) thread, as in Orvex.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QGuiApplication> application;
    if (std::getenv("DISPLAY"))
        application = std::make_unique<QGuiApplication>(argc, argv);
    return RUN_ALL_TESTS();
}
