// Run once when the build is configured: prints the version of the web engine the
// browser module is built against, which the program reports without loading it.
#include <QtWebEngineCore/qtwebenginecoreglobal.h>

#include <cstdio>

int main()
{
    std::printf("%s", qWebEngineChromiumVersion());
    return 0;
}
