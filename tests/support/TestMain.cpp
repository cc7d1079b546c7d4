#include "TestMain.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
std::unique_ptr<QTemporaryDir> g_root;
int g_configCount = 0;
}

TestEnvironment::TestEnvironment()
{
    g_root = std::make_unique<QTemporaryDir>();
    const QString r = g_root->path();
    for (const char *sub : {"home", "config", "cache", "data", "runtime"})
        QDir(r).mkpath(QLatin1StringView(sub));
    qputenv("HOME", QFile::encodeName(r + u"/home"_s));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(r + u"/config"_s));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(r + u"/cache"_s));
    qputenv("XDG_DATA_HOME", QFile::encodeName(r + u"/data"_s));
    QFile::setPermissions(r + u"/runtime"_s, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(r + u"/runtime"_s));
    qputenv("LC_ALL", "cs_CZ.UTF-8");
}

TestEnvironment::~TestEnvironment()
{
    g_root.reset();
}

QString TestEnvironment::root()
{
    return g_root ? g_root->path() : QString();
}

QString useFreshConfig()
{
    const QString dir = TestEnvironment::root() + u"/config"_s + QString::number(++g_configCount);
    QDir().mkpath(dir);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir));
    return dir + u"/BriskoHTMLEditor3.5.ini"_s;
}

QString testDataPath(const QString &relative)
{
    return qEnvironmentVariable("BRISKO_TEST_DATA") + u'/' + relative;
}

bool mustCheckEverything(Unchecked kind)
{
    return kind == Unchecked::FailInCi && qEnvironmentVariableIsSet("CI");
}

namespace {

std::map<std::string, TestCaseRun> &registeredTestCases()
{
    static std::map<std::string, TestCaseRun> cases;
    return cases;
}

} // namespace

int registerTestCase(const char *sourceFile, TestCaseRun run)
{
    std::string name = sourceFile;
    name = name.substr(name.find_last_of('/') + 1);
    name = name.substr(0, name.find('.'));
    registeredTestCases()[name] = run;
    return 0;
}

int main(int argc, char **argv)
{
    // The first argument may name the test class; the rest is QtTest's.
    std::vector<char *> arguments(argv, argv + argc);
    TestCaseRun chosen = nullptr;
    if (argc > 1 && argv[1][0] != '-') {
        const auto found = registeredTestCases().find(argv[1]);
        if (found == registeredTestCases().end()) {
            std::fprintf(stderr, "%s: no test named %s\n", argv[0], argv[1]);
            return 2;
        }
        chosen = found->second;
        arguments.erase(arguments.begin() + 1);
    }
    int count = int(arguments.size());
    arguments.push_back(nullptr);

    TestEnvironment environment;
    RefusingInteraction refusing;
    setInteraction(&refusing);
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(count, arguments.data());
    app.setAttribute(Qt::AA_Use96Dpi, true);
    if (chosen)
        return chosen(count, arguments.data());
    int failures = 0;
    for (const auto &[name, run] : registeredTestCases())
        failures += run(count, arguments.data());
    return failures;
}
