// Opening a library and looking up its functions through the dynamic loader.
#include "base/shared_library.h"

#include <dlfcn.h>

#include <string>

#include "base/diagnostics.h"

namespace base {

namespace {

std::string loader_failure(const char* what) {
    const char* why = dlerror();
    return std::string(what) + ": " + (why ? why : "failed");
}

}  // namespace

SharedLibrary::SharedLibrary(const char* soname) : handle_(dlopen(soname, RTLD_NOW | RTLD_LOCAL)) {
    if (!handle_) ZOV_REPORT(loader_failure("dlopen"));
}

void* SharedLibrary::address_of(const char* name) {
    if (!complete()) return nullptr;  // the first failure says enough
    void* address = dlsym(handle_, name);
    if (!address) {
        complete_ = false;
        ZOV_REPORT(loader_failure("dlsym"));
    }
    return address;
}

}  // namespace base
