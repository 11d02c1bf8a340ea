// The printer's face: the one named by ZOV_MINCHO, else a Mincho face, else any serif
// face that fontconfig knows.
#pragma once
#include <optional>
#include <string>

struct FontFile {
    std::string path;
    int index = 0;  // the face within a collection
};

std::optional<FontFile> find_printer_face();
