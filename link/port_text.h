// The port number of a TCP/IP connection as the connection page and the
// panel-settings file hold it: a text.
#pragma once

#include <string>

namespace conn {

// The port-number text as a number: its leading decimal digits after blanks (0 without digits).
unsigned PortNumberOfText(const std::string& text);

} // namespace conn
