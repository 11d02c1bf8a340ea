// Finding the live region that holds an address.
#include "interp/memory_access.h"

#include "interp/vmbas.h"

namespace {

bool within(const void* start, size_t length, uintptr_t address) {
    const auto begin = reinterpret_cast<uintptr_t>(start);
    return address >= begin && address - begin < length;
}

// The byte at `address` when it belongs to a variable or a record buffer, else null.
unsigned char* locate(C_VMBAS& vm, int64_t address) {
    const auto target = static_cast<uintptr_t>(address);
    for (const auto& record : vm.variables.records()) {
        if (record->type == VT_STRING) {
            C_STR& text = record->string_value;
            if (within(text.c_str(), text.length(), target))
                return reinterpret_cast<unsigned char*>(text.data()) + (target - reinterpret_cast<uintptr_t>(text.c_str()));
        } else if (within(&record->value, sizeof record->value, target)) {
            return reinterpret_cast<unsigned char*>(&record->value) + (target - reinterpret_cast<uintptr_t>(&record->value));
        }
    }
    for (int channel = CHANNEL_FIRST_OPENABLE; channel <= CHANNEL_LAST_OPENABLE; ++channel) {
        unsigned char* buffer = vm.io.record(channel).record_buffer;
        if (within(buffer, kRecordSize, target)) return buffer + (target - reinterpret_cast<uintptr_t>(buffer));
    }
    return nullptr;
}

}  // namespace

int peek_byte(C_VMBAS& vm, int64_t address) {
    const unsigned char* byte = locate(vm, address);
    return byte ? *byte : -1;
}

bool poke_byte(C_VMBAS& vm, int64_t address, uint8_t value) {
    unsigned char* byte = locate(vm, address);
    if (!byte) return false;
    *byte = value;
    return true;
}
