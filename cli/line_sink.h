// The messages of one sensor of a line, passed on as they come, each line
// prefixed with the sensor's address. Text arrives in pieces of any size
// (from the pipe of the sensor's run); every complete line goes out at
// once through the writer, an unfinished last line when the run ends.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace cli {

class PrefixedLines {
public:
    using Writer = std::function<void(const std::string& line)>;

    // `prefix` empty: the lines as they are (JSON lines to be parsed).
    PrefixedLines(std::string prefix, Writer write);

    void Feed(std::string_view text);
    // Passes on what is left of a last line without its line end.
    void Finish();

private:
    std::string prefix_;
    Writer write_;
    std::string pending_;
};

} // namespace cli
