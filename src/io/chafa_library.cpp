// Opening libchafa once, on first use.
#include "io/chafa_library.h"

const ChafaLibrary* chafa_library() {
    return base::library_table<ChafaLibrary>("libchafa.so.0", [](base::SharedLibrary& library, ChafaLibrary& table) {
        CHAFA_LIBRARY_FUNCTIONS(ZOV_FIND_FUNCTION)
    });
}
