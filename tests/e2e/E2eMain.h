#pragma once
// main() of an end-to-end test: skipped (exit code 77, which ctest reports as a skip) when the
// X server or xdotool is not installed; otherwise a Qt Test run.  The models in the test's
// process load the chart module from the build (ZRV_CHART_MODULE_BUILD_DIR); the program
// started finds it where it looks once installed, relative to itself.

#include "Desktop.h"

#include <QApplication>
#include <QTest>

#include <cstdio>

#define ZRV_E2E_MAIN(TestClass)                                                                              \
    int main(int argc, char* argv[])                                                                         \
    {                                                                                                        \
        const QStringList missing = e2e::MissingTools();                                                     \
        if (!missing.isEmpty()) {                                                                            \
            std::printf("SKIP: not installed: %s (scripts/setup.sh installs them)\n",                        \
                        qPrintable(missing.join(QStringLiteral(", "))));                                     \
            return 77;                                                                                       \
        }                                                                                                    \
        QApplication app(argc, argv);                                                                        \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                             \
        /* The model's chart module; the program finds its own beside it. */                                 \
        QCoreApplication::addLibraryPath(QStringLiteral(ZRV_CHART_MODULE_BUILD_DIR));                        \
        TestClass test;                                                                                      \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&test, argc, argv);                                                              \
    }
