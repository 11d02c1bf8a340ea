// Libraries opened when first needed instead of at start-up (the window system,
// printing): a session that never uses them never maps them. Each is opened by its
// SONAME and stays open for the life of the process; its functions are looked up by
// name into a table whose pointer types come from the library's own headers.
#pragma once
#include <optional>

namespace base {

// Declares a table member named and typed like the library function `name`.
#define ZOV_LIBRARY_FUNCTION(name) decltype(&::name) name = nullptr;
// Looks that member up, where a SharedLibrary `library` fills a table `table`.
#define ZOV_FIND_FUNCTION(name) library.find(table.name, #name);

class SharedLibrary {
public:
    // Opens the library; when it cannot be opened, says why under ZOV_DEBUG.
    explicit SharedLibrary(const char* soname);

    // Sets `function` to the library's function `name`; the first one missing is
    // reported and leaves the library incomplete.
    template <typename Function>
    void find(Function& function, const char* name) {
        function = reinterpret_cast<Function>(address_of(name));
    }

    // Opened, and every function looked up was there.
    bool complete() const { return handle_ && complete_; }

private:
    void* address_of(const char* name);

    void* handle_ = nullptr;  // never closed: its functions may be in use until exit
    bool complete_ = true;
};

// The table of `soname`'s functions that `find_all(library, table)` looks up, made by
// the first call and kept; null when the library cannot be opened or lacks one.
template <typename Table, typename FindAll>
const Table* library_table(const char* soname, FindAll find_all) {
    static const std::optional<Table> opened = [&]() -> std::optional<Table> {
        SharedLibrary library(soname);
        Table table;
        find_all(library, table);
        if (!library.complete()) return std::nullopt;
        return table;
    }();
    return opened ? &*opened : nullptr;
}

}  // namespace base
