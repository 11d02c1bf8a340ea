// libcups, opened by the first print job that looks for a CUPS destination rather
// than at start-up.
#pragma once
#include <cups/cups.h>

#include "base/shared_library.h"

#define CUPS_LIBRARY_FUNCTIONS(F)                                                                    \
    F(cupsGetDests2) F(cupsGetDest) F(cupsGetNamedDest) F(cupsFreeDests) F(cupsCopyDestInfo)         \
    F(cupsGetDestMediaDefault) F(cupsFreeDestInfo) F(cupsPrintFile) F(cupsLastErrorString)

struct CupsLibrary {
    CUPS_LIBRARY_FUNCTIONS(ZOV_LIBRARY_FUNCTION)
};

// The functions of libcups.so.2, opened by the first call; null when it cannot be
// opened or lacks one of them (said under ZOV_DEBUG).
const CupsLibrary* cups_library();
