#pragma once

#include "support/ScriptedInteraction.h"

#include <QApplication>
#include <QString>
#include <QTest>

// Points HOME and the XDG folders at a temporary directory for the whole test run, so no
// test ever reads or writes the real user's settings, cache or home.
class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();
    static QString root();
};

// A new, empty configuration folder for the next settings store; returns the INI path
// the program's default store then uses.
QString useFreshConfig();

// A file of the checked-in test data (tests/data/...).
QString testDataPath(const QString &relative);

// Skips a guarantee that this machine cannot check (it refuses to mount a small file system,
// or root ignores the permission under test); `make test` counts these at its end. Where
// the guarantee must be checked (CI runs as root and may mount), the skip fails instead.
enum class Unchecked { Skip, FailInCi };
bool mustCheckEverything(Unchecked kind);
#define BRISKO_NOT_CHECKED_HERE(kind, reason)                                                \
    do {                                                                                     \
        if (mustCheckEverything(kind))                                                       \
            QFAIL("cannot check here: " reason);                                             \
        QSKIP("not checked here: " reason);                                                  \
    } while (false)

// The tests of one folder are one program; each test file registers its class here, under
// the file's name ("tst_colorcombo"). The program runs the class its first argument names,
// each in a process of its own as ctest starts them, or every class in turn without one.
using TestCaseRun = int (*)(int argc, char **argv);
int registerTestCase(const char *sourceFile, TestCaseRun run);

template<typename TestObject>
int runTestCase(int argc, char **argv)
{
    TestObject tc;
    return QTest::qExec(&tc, argc, argv);
}

#define BRISKO_TEST_MAIN(TestObject)                                                         \
    [[maybe_unused]] static const int brisko_registered_##TestObject =                       \
        registerTestCase(__FILE__, &runTestCase<TestObject>);
