// Declares the columns of a data-driven table in one call:
// addColumns<int, QString>("size", "output").
#pragma once

#include <QtTest>

template <typename... T, typename... Name> void addColumns(Name... names)
{
    (QTest::addColumn<T>(names), ...);
}
