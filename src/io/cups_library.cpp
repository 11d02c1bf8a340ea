// Opening libcups once, on first use.
#include "io/cups_library.h"

#include <optional>

namespace {

std::optional<CupsLibrary> open_cups() {
    zov::SharedLibrary library("libcups.so.2");
    CupsLibrary table;
    CUPS_LIBRARY_FUNCTIONS(ZOV_FIND_FUNCTION)
    if (!library.complete()) return std::nullopt;
    return table;
}

}  // namespace

const CupsLibrary* cups_library() {
    static const std::optional<CupsLibrary> cups = open_cups();
    return cups ? &*cups : nullptr;
}
