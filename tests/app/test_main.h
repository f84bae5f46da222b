#pragma once

// A main for the window's test programs: the browser pane needs shared
// drawing contexts before the application exists, and the Chinese font
// mapping the program installs.

#include "app/fonts.h"

#include <QApplication>
#include <QTest>

#define VELLUMAX_TEST_MAIN(TestClass)                                    \
    int main(int argc, char** argv)                                      \
    {                                                                    \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);      \
        QApplication app(argc, argv);                                    \
        vellumax::installChineseFonts();                                 \
        TestClass test;                                                  \
        return QTest::qExec(&test, argc, argv);                          \
    }
