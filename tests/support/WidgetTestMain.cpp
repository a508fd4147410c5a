#include <QApplication>
#include <QInputDevice>
#include <QPointingDevice>

#include <gtest/gtest.h>

// Widget tests need one application object for the whole run.
int main(int argc, char** argv) {
    // Test discovery runs this program too, outside ctest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // Events made on another thread (QueuedInput) would otherwise create the
    // default devices there, outside the application's thread, and leak them.
    QInputDevice::primaryKeyboard();
    QPointingDevice::primaryPointingDevice();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
