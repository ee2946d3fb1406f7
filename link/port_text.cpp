#include "link/port_text.h"

#include <cctype>

namespace conn {

unsigned PortNumberOfText(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    unsigned long value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) &&
           value <= 0xFFFFFFFFul) {
        value = value * 10 + static_cast<unsigned long>(text[i] - '0');
        ++i;
    }
    return value > 0xFFFFFFFFul ? 0xFFFFFFFFu : static_cast<unsigned>(value);
}

} // namespace conn
