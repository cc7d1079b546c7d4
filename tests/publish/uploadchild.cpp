// Not a test: the uploading side that tst_uploadengine kills in the middle of a file. The
// test starts this program with "uploadchild" and the upload in the environment; it logs
// in, uploads with "Jen změněné", and once bytes of a file are on their way says "CUT" and
// stops itself, for the test to kill it as a crash or kill -9 would.
#include "publish/FtpClient.h"
#include "publish/UploadEngine.h"
#include "support/TestMain.h"

#include <QDir>

#include <csignal>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

int runUploadChild(int, char **)
{
    const QString port = qEnvironmentVariable("BRISKO_UPLOAD_CHILD_PORT");
    if (port.isEmpty())
        return 0; // run among the test classes: nothing to do
    // The journal goes where the test that started this one looks for it.
    qputenv("XDG_DATA_HOME", qgetenv("BRISKO_UPLOAD_CHILD_DATA"));
    TFtpClient session;
    session.setHostName(u"127.0.0.1"_s);
    session.setPort(port);
    session.setUserName(qEnvironmentVariable("BRISKO_UPLOAD_CHILD_USER"));
    session.setPassWord(qEnvironmentVariable("BRISKO_UPLOAD_CHILD_PASSWORD"));
    session.setPassive(true);
    session.setHostDirName(u"/web"_s);
    if (!session.OpenSync() || !session.UserSync() || !session.PassSync() || !session.CwdSync()) {
        std::puts("LOGIN FAILED");
        return 1;
    }
    UploadEngine engine(session);
    QObject::connect(&engine, &UploadEngine::progress, &engine, [](int, qint64, qint64, qint64 bytes) {
        if (bytes <= 0)
            return;
        std::puts("CUT");
        std::fflush(stdout);
        std::raise(SIGSTOP);
    });
    UploadEngine::Options options;
    options.home = qEnvironmentVariable("BRISKO_UPLOAD_CHILD_HOME");
    options.changedOnly = !qEnvironmentVariableIsSet("BRISKO_UPLOAD_CHILD_ALL");
    options.sessions = qEnvironmentVariableIntValue("BRISKO_UPLOAD_CHILD_SESSIONS");
    engine.run(options);
    std::puts("DONE");
    return 0;
}

} // namespace

[[maybe_unused]] static const int brisko_registered_uploadchild = registerTestCase(__FILE__, &runUploadChild);
