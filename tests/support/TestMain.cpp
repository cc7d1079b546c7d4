#include "TestMain.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

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
