#pragma once

#include "app/TKorviApplication.h"

#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// Runs a QtTest class inside the program's own application object, so that
// errors escaping handlers reach the same error box as in the program, with
// the Russian format locale the screens are written for. The program's
// settings go to a folder of the run's own, never the user's.
#define KORVI_QTEST_MAIN(TestClass)                                      \
    int main(int argc, char** argv)                                      \
    {                                                                    \
        TKorviApplication application(argc, argv);                      \
        QTemporaryDir settingsFolder;                                    \
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,   \
                           settingsFolder.path());                       \
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); \
        TestClass test;                                                  \
        return QTest::qExec(&test, argc, argv);                          \
    }
