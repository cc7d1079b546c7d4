#include "publish/LibSsh.h"

#include "markup/LazyLibrary.h"

using namespace Qt::StringLiterals;

const LibSsh *loadLibSsh()
{
    static QLibrary library;
    static const std::optional<LibSsh> loaded = loadLibraryApi<LibSsh>(
        library, u"libssh.so.4"_s, [](LibSsh &api, const auto &resolve) {
#define BRISKO_LIBSSH_RESOLVE(name) resolve(api.name, #name);
            BRISKO_LIBSSH_FUNCTIONS(BRISKO_LIBSSH_RESOLVE)
#undef BRISKO_LIBSSH_RESOLVE
        });
    return loaded ? &*loaded : nullptr;
}
