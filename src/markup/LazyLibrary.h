#pragma once

#include <QLibrary>
#include <QString>

#include <optional>
#include <type_traits>

// A system library that only some of the work needs, loaded by its soname when that work
// first comes: linked to the program, it was mapped and set up at every start. `fill(api, resolve)`
// calls resolve(api.member, "symbol") for every function; nothing when the library or one
// of its functions is missing. The caller keeps `library` (a static) loaded for good: the
// functions are used from several threads until the program ends.
template<class Api, class Fill>
std::optional<Api> loadLibraryApi(QLibrary &library, const QString &soname, Fill fill)
{
    library.setFileName(soname);
    if (!library.load())
        return std::nullopt;
    Api api;
    bool complete = true;
    fill(api, [&library, &complete](auto &function, const char *symbol) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(symbol));
        complete = complete && function;
    });
    if (!complete)
        return std::nullopt;
    return api;
}
