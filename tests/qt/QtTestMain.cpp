// Runs the renderer's tests inside one Qt application on the offscreen platform.

#include "qt/QtPlatform.h"
#include "tests/locale/AdoptLocale.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // QApplication adopts the environment's locale too; this also checks it could.
    if (!adoptEnvironmentLocale()) return 1;
    QApplication app(argc, argv);
    QtPlatform::installLook();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
