// Talking to CUPS through libcups: the default destination and one job a document.
#include "io/printer_cups.h"

#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "io/cups_library.h"

namespace {

constexpr const char* kJobTitle = "Velmora BASIC";

// Past default_cups_destination, the library is open.
const CupsLibrary& cups() { return *cups_library(); }

struct DestsFree {
    int count;
    void operator()(cups_dest_t* dests) const { cups().cupsFreeDests(count, dests); }
};

const char* or_null(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

}  // namespace

std::optional<CupsDestination> default_cups_destination() {
    if (!cups_library()) return std::nullopt;
    cups_dest_t* dests = nullptr;
    const int count = cups().cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    const std::unique_ptr<cups_dest_t, DestsFree> owned(dests, DestsFree{count});
    cups_dest_t* dest = cups().cupsGetDest(nullptr, nullptr, count, dests);
    if (!dest) return std::nullopt;
    CupsDestination destination;
    destination.name = dest->name;
    if (dest->instance) destination.instance = dest->instance;
    if (cups_dinfo_t* info = cups().cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
        cups_size_t size{};
        if (cups().cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, 0, &size) && size.width > 0 &&
            size.length > 0) {
            destination.media_width = size.width;
            destination.media_length = size.length;
        }
        cups().cupsFreeDestInfo(info);
    }
    return destination;
}

// CUPS prints files, so the document passes through a temporary one.
bool print_with_cups(const CupsDestination& destination, const std::string& pdf, std::string& failure) {
    const char* tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/velmora-print-XXXXXX";
    const int descriptor = mkstemp(path.data());
    if (descriptor < 0) {
        failure = "temporary file";
        return false;
    }
    const bool written = write(descriptor, pdf.data(), pdf.size()) == static_cast<ssize_t>(pdf.size());
    close(descriptor);
    int job = 0;
    if (written) {
        cups_dest_t* dest =
            cups().cupsGetNamedDest(CUPS_HTTP_DEFAULT, destination.name.c_str(), or_null(destination.instance));
        if (dest) {
            job = cups().cupsPrintFile(dest->name, path.c_str(), kJobTitle, dest->num_options, dest->options);
            cups().cupsFreeDests(1, dest);
        }
    }
    unlink(path.c_str());
    if (job == 0) failure = written ? cups().cupsLastErrorString() : "temporary file";
    return job != 0;
}
