#pragma once

// A main for the window's test programs: the browser pane needs shared
// drawing contexts before the application exists, and the start-up settings
// of the program (fonts, the toolkit's Chinese texts).

#include "app/app_start.h"

#include <QApplication>
#include <QTest>

#define VELLUMAX_TEST_MAIN(TestClass)                                    \
    int main(int argc, char** argv)                                      \
    {                                                                    \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);      \
        QApplication app(argc, argv);                                    \
        vellumax::startApplication(app);                                 \
        TestClass test;                                                  \
        return QTest::qExec(&test, argc, argv);                          \
    }
