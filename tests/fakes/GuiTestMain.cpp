#include <gtest/gtest.h>
#include <QApplication>

#include "app/RZKSETApp.h"

// Widget suites run on Qt's offscreen platform unless told otherwise, with the fonts that the
// program sets up at start-up.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    CRZKSETApp::InitUserInterface();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
