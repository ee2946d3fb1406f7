#include "cli/line_sink.h"

#include <utility>

namespace cli {

PrefixedLines::PrefixedLines(std::string prefix, Writer write)
    : prefix_(std::move(prefix)), write_(std::move(write)) {}

void PrefixedLines::Feed(std::string_view text) {
    pending_.append(text);
    size_t start = 0;
    for (size_t end = pending_.find('\n'); end != std::string::npos;
         end = pending_.find('\n', start)) {
        write_(prefix_ + pending_.substr(start, end - start));
        start = end + 1;
    }
    pending_.erase(0, start);
}

void PrefixedLines::Finish() {
    if (!pending_.empty()) {
        write_(prefix_ + pending_);
        pending_.clear();
    }
}

} // namespace cli
