// Programme des tests : une application hors écran (QApplication pour les fenêtres,
// QGuiApplication pour le cœur, qui ne lie pas Qt Widgets), aucune fenêtre visible.
#ifdef HMM_TEST_FENETRES
#include <QApplication>
using Application = QApplication;
#else
#include <QGuiApplication>
using Application = QGuiApplication;
#endif
#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    Application app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
