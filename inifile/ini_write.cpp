// INI text store: writing the store to a file. The text goes to a temporary
// file beside the target, which replaces the target only when it is complete
// and on disk, so a failed write never damages the old file.
#include "inifile/file_write_hook.h"
#include "inifile/ini_internal.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <new>
#include <numeric>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace ini {

namespace {

using detail::kCrLf;

// Output with a 16 KB buffer; the first error sticks and stops all output.
// With a text sink instead of a descriptor the output is collected in memory.
class BufferedFile {
public:
    // `target` names the file being written for the test hook.
    BufferedFile(int fd, const std::string& target) : fd_(fd), target_(&target) {}
    explicit BufferedFile(std::string* text) : text_(text) {}

    void Put(std::string_view s) {
        if (text_ != nullptr) {
            text_->append(s);
            return;
        }
        while (!s.empty() && ok_) {
            const size_t n = std::min(s.size(), sizeof buf_ - used_);
            std::copy_n(s.data(), n, buf_ + used_);
            used_ += n;
            s.remove_prefix(n);
            if (used_ == sizeof buf_) {
                Flush();
            }
        }
    }
    void Put(char c) { Put(std::string_view(&c, 1)); }

    bool Flush() {
        if (text_ != nullptr) {
            return true;
        }
        size_t done = 0;
        while (ok_ && done < used_) {
            if (filewrite::Check(filewrite::Step::Write, *target_) != 0) {
                ok_ = false;
                break;
            }
            const ssize_t n = ::write(fd_, buf_ + done, used_ - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                ok_ = false;
                break;
            }
            done += static_cast<size_t>(n);
        }
        used_ = 0;
        return ok_;
    }

private:
    int fd_ = -1;
    const std::string* target_ = nullptr;
    std::string* text_ = nullptr;
    bool ok_ = true;
    size_t used_ = 0;
    char buf_[16 * 1024];
};

void PutComment(BufferedFile& out, const std::string& comment) {
    if (!comment.empty()) {
        out.Put(comment);
        out.Put(kCrLf);
    }
}

void PutValue(BufferedFile& out, std::string_view value, bool quoted) {
    if (quoted) {
        out.Put('"');
    }
    out.Put(value);
    if (quoted) {
        out.Put('"');
    }
    out.Put(kCrLf);
}

// Where the piece of a split value that starts at `off` ends. Reading trims
// the blanks around an unquoted value and takes one in double quotes for a
// quoted one, so an unquoted piece must neither end nor be followed by white
// space, nor begin and end with a double quote: the cut moves back to a
// place where that holds, or, failing that, forward.
size_t PieceEnd(std::string_view value, size_t off, bool quoted) {
    const size_t end = std::min(off + detail::kMaxPiece, value.size());
    if (quoted || end == value.size()) {
        return end;
    }
    const auto cuttable = [&](size_t at) {
        return !detail::IsWhite(value[at - 1]) && !detail::IsWhite(value[at]) &&
               !(at - off >= 2 && value[off] == '"' && value[at - 1] == '"');
    };
    for (size_t at = end; at > off + 1; --at) {
        if (cuttable(at)) {
            return at;
        }
    }
    size_t at = end;
    while (at < value.size() && !cuttable(at)) {
        ++at;
    }
    return at;
}

void PutItem(BufferedFile& out, const IniItem& item) {
    PutComment(out, item.comment);
    // A cut name must not end in white space: reading would trim it.
    const std::string_view tag =
        detail::Trim(std::string_view(item.tag).substr(0, detail::kMaxTag));
    const std::string_view value = item.value;
    // A tag that itself ends like a piece ("X Line1") would be read back as a
    // piece of another item; written as a run of pieces it reads back whole.
    std::string_view base;
    bool first = false;
    if (value.size() <= detail::kMaxPiece && !detail::SplitPieceTag(tag, &base, &first)) {
        out.Put(tag);
        out.Put(" = ");
        PutValue(out, value, item.quoted);
        return;
    }
    // At least one piece, also for an empty value under a piece-like tag.
    size_t off = 0;
    size_t k = 1;
    do {
        const size_t end = PieceEnd(value, off, item.quoted);
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, " Line%04zu = ", k++);
        out.Put(tag);
        out.Put(suffix);
        PutValue(out, value.substr(off, end - off), item.quoted);
        off = end;
    } while (off < value.size());
}

// Positions 0..n-1, sorted by normalised name when sorted is set.
template <typename T, typename NameOf>
std::vector<size_t> Order(const std::vector<T>& list, bool sorted, NameOf nameOf) {
    std::vector<size_t> order(list.size());
    std::iota(order.begin(), order.end(), size_t{0});
    if (sorted) {
        std::vector<std::string> keys;
        keys.reserve(list.size());
        for (const T& e : list) {
            keys.push_back(detail::Normalise(nameOf(e)));
        }
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    }
    return order;
}

void PutStore(BufferedFile& out, const IniStore& store) {
    if (!store.leadingComment.empty()) {
        PutComment(out, store.leadingComment);
        out.Put(kCrLf);
    }
    const auto sectionName = [](const IniSection& s) -> const std::string& { return s.name; };
    const auto itemTag = [](const IniItem& i) -> const std::string& { return i.tag; };
    for (size_t s : Order(store.sections, store.autoSort, sectionName)) {
        const IniSection& sec = store.sections[s];
        PutComment(out, sec.comment);
        out.Put('[');
        out.Put(detail::Trim(std::string_view(sec.name).substr(0, detail::kMaxLine - 2)));
        out.Put(']');
        out.Put(kCrLf);
        for (size_t i : Order(sec.items, store.autoSort, itemTag)) {
            PutItem(out, sec.items[i]);
        }
        out.Put(kCrLf);
    }
    PutComment(out, store.trailingComment);
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates "ini$$XXXXXX.tmp" in dir with the usual permissions (0666 less the
// umask). Returns the descriptor, or -1.
int CreateTemporary(const std::string& dir, std::string* name) {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::mt19937_64 rng(
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<uint64_t>(::getpid()) << 32));
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = dir + "/ini$$";
        for (int i = 0; i < 6; ++i) {
            candidate += kChars[rng() % (sizeof kChars - 1)];
        }
        candidate += ".tmp";
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            *name = std::move(candidate);
            return fd;
        }
        if (errno != EEXIST && errno != EINTR) {
            return -1;
        }
    }
    return -1;
}

void SyncDirectory(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

int WriteFile(const IniStore& store, const std::string& path) {
    std::string target = path;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && (!S_ISREG(st.st_mode) || ::access(target.c_str(), W_OK) != 0)) {
        return kIniErrNotWritable;
    }
    const std::string dir = DirectoryOf(target);
    std::string tmp;
    const int fd =
        filewrite::Check(filewrite::Step::Create, target) != 0 ? -1 : CreateTemporary(dir, &tmp);
    if (fd < 0) {
        return kIniErrCreate;
    }
    if (exists) {
        // Keep the old file's permissions and, where allowed, its owner (a
        // refused owner leaves the new file this user's).
        [[maybe_unused]] const int owned = ::fchown(fd, st.st_uid, st.st_gid);
        [[maybe_unused]] const int moded = ::fchmod(fd, st.st_mode & 07777);
    }
    int result = 0;
    try {
        auto out = std::make_unique<BufferedFile>(fd, target);
        PutStore(*out, store);
        if (!out->Flush() || ::fsync(fd) != 0) {
            result = kIniErrWrite;
        }
    } catch (const std::bad_alloc&) {
        result = kIniErrNoMemory;
    }
    if (::close(fd) != 0 && result == 0) {
        result = kIniErrWrite;
    }
    if (result == 0 && (filewrite::Check(filewrite::Step::Replace, target) != 0 ||
                        ::rename(tmp.c_str(), target.c_str()) != 0)) {
        result = kIniErrReplace;
    }
    if (result != 0) {
        ::unlink(tmp.c_str());
        return result;
    }
    SyncDirectory(dir);
    return 0;
}

} // namespace

int Ini_WriteToString(IniStore* store, std::string* text) {
    if (store == nullptr || text == nullptr) {
        return kIniErrArgument;
    }
    try {
        text->clear();
        BufferedFile out(text);
        PutStore(out, *store);
        return 0;
    } catch (const std::bad_alloc&) {
        return kIniErrNoMemory;
    }
}

int Ini_WriteToFile(IniStore* store, const std::string& path) {
    if (store == nullptr || path.empty()) {
        return kIniErrArgument;
    }
    try {
        return WriteFile(*store, path);
    } catch (const std::bad_alloc&) {
        return kIniErrNoMemory;
    }
}

} // namespace ini
