// Test programs of several test classes that share a fixture: each class
// registers with STRATA_TEST_CLASS in place of QTEST_MAIN, and the program
// (test_classes.cpp) runs them in turn, each object made fresh.
#pragma once

#include <QObject>

int registerTestClass(QObject *(*make)());
#define STRATA_TEST_CLASS(Class) \
    static const int Class##Registered = registerTestClass([]() -> QObject * { return new Class; });
