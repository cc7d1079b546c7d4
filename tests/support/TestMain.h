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

#define BRISKO_TEST_MAIN(TestObject)                                                         \
    int main(int argc, char **argv)                                                          \
    {                                                                                        \
        TestEnvironment environment;                                                         \
        RefusingInteraction refusing;                                                        \
        setInteraction(&refusing);                                                           \
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);                             \
        QApplication app(argc, argv);                                                        \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                             \
        TestObject tc;                                                                       \
        return QTest::qExec(&tc, argc, argv);                                                \
    }
