// Opening libcups once, on first use.
#include "io/cups_library.h"

const CupsLibrary* cups_library() {
    return base::library_table<CupsLibrary>("libcups.so.2", [](base::SharedLibrary& library, CupsLibrary& table) {
        CUPS_LIBRARY_FUNCTIONS(ZOV_FIND_FUNCTION)
    });
}
