// INI text store: reading a file into the store.
#include "inifile/ini_internal.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace ini {

namespace detail {

bool SplitPieceTag(std::string_view tag, std::string_view* base, bool* first) {
    size_t d = tag.size();
    while (d > 0 && tag[d - 1] >= '0' && tag[d - 1] <= '9') {
        --d;
    }
    constexpr std::string_view kSuffix = " Line";
    if (d == tag.size() || d < kSuffix.size() ||
        tag.substr(d - kSuffix.size(), kSuffix.size()) != kSuffix) {
        return false;
    }
    std::string_view digits = tag.substr(d);
    while (digits.size() > 1 && digits.front() == '0') {
        digits.remove_prefix(1);
    }
    *base = Trim(tag.substr(0, d - kSuffix.size()));
    *first = digits == "1";
    return true;
}

// A run starts at a piece numbered 1 and goes on over the immediately
// following pieces of the same tag with another number; it becomes one item
// at the first piece's place. Linear in the number of items.
void JoinContinuationRuns(IniSection& section) {
    std::vector<IniItem>& items = section.items;
    bool any = false;
    std::string_view base;
    bool first = false;
    for (const IniItem& it : items) {
        if (SplitPieceTag(it.tag, &base, &first) && first) {
            any = true;
            break;
        }
    }
    if (!any) {
        return;
    }
    std::vector<IniItem> joined;
    joined.reserve(items.size());
    size_t i = 0;
    while (i < items.size()) {
        if (!SplitPieceTag(items[i].tag, &base, &first) || !first) {
            joined.push_back(std::move(items[i]));
            ++i;
            continue;
        }
        // base points into items[i].tag: copy it before the item is moved.
        const std::string key = Normalise(base);
        std::string baseTag(base);
        IniItem run = std::move(items[i]);
        run.tag = std::move(baseTag);
        ++i;
        std::string_view nextBase;
        bool nextFirst = false;
        while (i < items.size() && SplitPieceTag(items[i].tag, &nextBase, &nextFirst) &&
               !nextFirst && Normalise(nextBase) == key) {
            if (items[i].quoted && !run.quoted) {
                // A piece of an unquoted value that happens to begin and end
                // with a double quote: its quotes are part of the value.
                run.value += '"';
                run.value += items[i].value;
                run.value += '"';
            } else {
                run.value += items[i].value;
            }
            if (!items[i].comment.empty()) {
                AppendCommentLine(run.comment, items[i].comment);
            }
            ++i;
        }
        joined.push_back(std::move(run));
    }
    items.swap(joined);
    section.indexValid = false;
}

} // namespace detail

namespace {

using detail::Trim;

constexpr size_t kNoSection = static_cast<size_t>(-1);

class Reader {
public:
    explicit Reader(IniStore& store) : store_(store), firstNew_(store.sections.size()) {}

    // Feeds a block of file bytes; lines are cut at every line-end form. A
    // UTF-8 byte-order mark at the start of the file (Windows editors write
    // one) is skipped, so that the first line stays readable.
    void Feed(const char* data, size_t size) {
        for (size_t i = 0; i < size; ++i) {
            const char c = data[i];
            if (bomChecking_) {
                if (c == kBom[bomMatched_]) {
                    bomChecking_ = ++bomMatched_ < sizeof kBom;
                    continue;
                }
                EndBomCheck();
            }
            FeedChar(c);
        }
    }

    // Ends the last line, places trailing comments and joins split values.
    void Finish() {
        if (bomChecking_) {
            EndBomCheck();
        }
        if (!line_.empty()) {
            EndLine();
        }
        if (!comment_.empty()) {
            detail::AppendCommentLine(store_.trailingComment, comment_);
            comment_.clear();
        }
        for (size_t s = firstNew_; s < store_.sections.size(); ++s) {
            detail::JoinContinuationRuns(store_.sections[s]);
        }
    }

private:
    static constexpr char kBom[] = {'\xEF', '\xBB', '\xBF'};

    // The start of the file was not a byte-order mark after all: the bytes
    // taken for one are text.
    void EndBomCheck() {
        bomChecking_ = false;
        for (size_t i = 0; i < bomMatched_; ++i) {
            FeedChar(kBom[i]);
        }
    }

    void FeedChar(char c) {
        if (c == '\n' || c == '\r') {
            // CR LF and LF CR count as one line end.
            if (pendingEnd_ != 0 && pendingEnd_ != c) {
                pendingEnd_ = 0;
                return;
            }
            EndLine();
            pendingEnd_ = c;
            return;
        }
        pendingEnd_ = 0;
        if (c == '\0') {
            EndLine();
            return;
        }
        if (line_.size() < detail::kMaxLine) {
            line_ += c;
        }
    }

    void EndLine() {
        ProcessLine(line_);
        line_.clear();
    }

    void ProcessLine(std::string_view raw) {
        size_t b = 0;
        while (b < raw.size() && detail::IsWhite(raw[b])) {
            ++b;
        }
        const std::string_view line = raw.substr(b);
        if (line.empty()) {
            return;
        }
        if (line.front() == ';') {
            detail::AppendCommentLine(comment_, line);
            return;
        }
        if (line.front() == '[') {
            ProcessSectionLine(line);
            return;
        }
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos || current_ == kNoSection) {
            return;
        }
        std::string_view value = Trim(line.substr(eq + 1));
        if (value.empty()) {
            return;
        }
        IniItem item;
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
            item.quoted = true;
        }
        item.tag = std::string(Trim(line.substr(0, eq)));
        if (item.tag.empty()) {
            return; // "= value" names nothing; it could not be written back as read
        }
        item.value = std::string(value);
        item.comment.swap(comment_);
        IniSection& sec = store_.sections[current_];
        sec.items.push_back(std::move(item));
        sec.indexValid = false;
    }

    // A section line ends with "]" and nothing but white space after it. A
    // damaged section line also ends the current section, so that its items
    // are not taken for items of the section before it.
    void ProcessSectionLine(std::string_view line) {
        const size_t close = line.rfind(']');
        if (close == std::string_view::npos || !Trim(line.substr(close + 1)).empty()) {
            current_ = kNoSection;
            return;
        }
        const std::string_view name = Trim(line.substr(1, close - 1));
        if (!seenSection_) {
            seenSection_ = true;
            if (!comment_.empty()) {
                detail::AppendCommentLine(store_.leadingComment, comment_);
                comment_.clear();
            }
        }
        current_ = store_.AppendSection(std::string(name));
        store_.sections[current_].comment.swap(comment_);
    }

    IniStore& store_;
    const size_t firstNew_;
    size_t current_ = kNoSection;
    bool seenSection_ = false;
    bool bomChecking_ = true; // at the start of the file
    size_t bomMatched_ = 0;   // bytes of a byte-order mark seen so far
    char pendingEnd_ = 0;     // the CR or LF that ended the previous line
    std::string line_;
    std::string comment_; // comment lines collected for the next section or item
};

} // namespace

int Ini_ReadFromMemory(IniStore* store, const char* data, size_t size) {
    if (store == nullptr || (data == nullptr && size > 0)) {
        return kIniErrArgument;
    }
    try {
        Reader reader(*store);
        reader.Feed(data, size);
        reader.Finish();
    } catch (const std::bad_alloc&) {
        store->sectionIndexValid = false;
        for (IniSection& s : store->sections) {
            s.indexValid = false;
        }
        return kIniErrNoMemory;
    }
    return 0;
}

int Ini_ReadFromFile(IniStore* store, const std::string& path) {
    if (store == nullptr) {
        return kIniErrArgument;
    }
    // Only regular files: a directory cannot be read, and a pipe or device
    // could block the open or never end. O_NONBLOCK keeps the open of a FIFO
    // from waiting for a writer; it has no effect on a regular file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return kIniErrOpen;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return kIniErrOpen;
    }
    int result = 0;
    try {
        Reader reader(*store);
        static constexpr size_t kBlock = 64 * 1024;
        std::string block(kBlock, '\0');
        for (;;) {
            const ssize_t n = ::read(fd, block.data(), kBlock);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                result = kIniErrRead;
                break;
            }
            if (n == 0) {
                break;
            }
            reader.Feed(block.data(), static_cast<size_t>(n));
        }
        reader.Finish();
    } catch (const std::bad_alloc&) {
        store->sectionIndexValid = false;
        for (IniSection& s : store->sections) {
            s.indexValid = false;
        }
        result = kIniErrNoMemory;
    }
    ::close(fd);
    return result;
}

} // namespace ini
