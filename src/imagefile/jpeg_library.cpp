// Opening libjpeg once, on first use.
#include "imagefile/jpeg_library.h"

namespace imagefile {

const JpegLibrary* jpeg_library() {
    return base::library_table<JpegLibrary>("libjpeg.so.62", [](base::SharedLibrary& library, JpegLibrary& table) {
        IMAGEFILE_JPEG_FUNCTIONS(ZOV_FIND_FUNCTION)
    });
}

}  // namespace imagefile
