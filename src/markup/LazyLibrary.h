#pragma once

#include <QLibrary>
#include <QString>

#include <optional>
#include <type_traits>

// A system library that only some of the work needs, loaded by its soname when that work
// first comes: linked to the program, it was mapped and set up at every start. Api lists
// the library's functions with BRISKO_LIBRARY_FUNCTIONS; the library stays loaded for
// good, since its functions are used from several threads until the program ends.
// nullptr when the library or one of its functions is missing.
template<class Api>
const Api *loadLibraryApi(const QString &soname)
{
    static QLibrary library;
    static const std::optional<Api> loaded = [&soname]() -> std::optional<Api> {
        library.setFileName(soname);
        if (!library.load())
            return std::nullopt;
        Api api;
        bool complete = true;
        api.resolveAll([&complete](auto &function, const char *symbol) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(symbol));
            complete = complete && function;
        });
        if (!complete)
            return std::nullopt;
        return api;
    }();
    return loaded ? &*loaded : nullptr;
}

// Inside an Api struct: a pointer member for each function of the list (an X macro that
// calls its argument with each name), named as the function, and their resolveAll().
#define BRISKO_LIBRARY_FUNCTIONS(LIST)                                                   \
    LIST(BRISKO_LIBRARY_MEMBER)                                                          \
    template<class Resolve>                                                              \
    void resolveAll(const Resolve &resolve)                                              \
    {                                                                                    \
        LIST(BRISKO_LIBRARY_RESOLVE)                                                     \
    }
#define BRISKO_LIBRARY_MEMBER(name) decltype(&::name) name = nullptr;
#define BRISKO_LIBRARY_RESOLVE(name) resolve(name, #name);
