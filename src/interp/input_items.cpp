// Item splitting for input and read.
#include "interp/input_items.h"

#include "interp/vmbas.h"
#include "values/error.h"
#include "values/text_scan.h"

int input_item_from_line(const char*& p, std::string& item) {
    p = skip_blanks(p);
    item.clear();
    if (*p == '"') {
        const char* start = ++p;
        while (*p != '"' && *p != '\0') ++p;
        item.assign(start, static_cast<size_t>(p - start));
        if (*p == '"') ++p;
    } else {
        const char* start = p;
        while (*p != '\0' && *p != ',' && *p != ':' && *p != '\'') ++p;
        item.assign(start, static_cast<size_t>(p - start));
    }
    return item.size() > C_STR::kMaxLength ? vm_error::fail("文字列長超過") : 0;
}

int input_item_from_channel(C_VMBAS& vm, int channel, std::string& item) {
    item.clear();
    int c = vm.io.get_char(channel);
    while (c == 0 || c == '\t' || c == '\n' || c == ' ') c = vm.io.get_char(channel);
    if (c < 0) return vm_error::fail("ファイルの終わり");
    if (c == '"') {
        for (c = vm.io.get_char(channel); c >= 0 && c != '"' && c != '\n'; c = vm.io.get_char(channel))
            if (c != 0) item.push_back(static_cast<char>(c));
        if (c == '"')
            while (c >= 0 && c != ',' && c != '\n') c = vm.io.get_char(channel);
    } else {
        for (; c >= 0 && c != ',' && c != '\n'; c = vm.io.get_char(channel))
            if (c != 0) item.push_back(static_cast<char>(c));
    }
    return item.size() > C_STR::kMaxLength ? vm_error::fail("文字列長超過") : 0;
}

