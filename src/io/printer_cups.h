// The default CUPS destination, its default paper, and handing a PDF to it.
#pragma once
#include <optional>
#include <string>

struct CupsDestination {
    std::string name;
    std::string instance;
    // The default media in hundredths of a millimetre; A4 when the destination names none.
    int media_width = 21000;
    int media_length = 29700;
};

// Null when libcups cannot be opened, there is no CUPS server, or it has no default
// destination.
std::optional<CupsDestination> default_cups_destination();

// Sends the document as one job; false with `failure` set when CUPS refused it.
bool print_with_cups(const CupsDestination& destination, const std::string& pdf, std::string& failure);
