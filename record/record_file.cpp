#include "record/record_file.h"

#include "inifile/file_text.h"
#include "inifile/file_write_hook.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace record {
namespace {

constexpr const char* kLineEnd = "\r\n";

std::string Reason(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// Writes all of `text` into the file for `target`, retrying after signals.
// False on any other failure.
bool WriteAll(int fd, const std::string& text, const std::string& target) {
    size_t done = 0;
    while (done < text.size()) {
        if (filewrite::Check(filewrite::Step::Write, target) != 0) {
            return false;
        }
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

std::string RecordFileHeader(const std::string& programTitle, const std::string& panelId) {
    std::string h = "\n";
    h += kRecordFileTitle;
    h += programTitle;
    h += kLineEnd;
    if (!panelId.empty()) {
        h += kPanelIdCaption;
        h += filetext::ToFile(panelId); // as the settings file holds it
        h += kLineEnd;
    }
    h += kLineEnd;
    bool first = true;
    for (const char* caption : kRecordColumns) {
        if (!first) {
            h += '\t';
        }
        h += caption;
        first = false;
    }
    h += kLineEnd;
    return h;
}

std::string RecordDateText(const std::tm& local) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d-%02d-%04d", (local.tm_mon + 1) % 100,
                  local.tm_mday % 100, (local.tm_year + 1900) % 10000);
    return text;
}

std::string RecordClockText(const std::tm& local) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", local.tm_hour % 100, local.tm_min % 100,
                  local.tm_sec % 100);
    return text;
}

std::string RecordLine(const live::LiveDataFrameBytes& frame, const std::tm& local) {
    std::string line = RecordDateText(local);
    line += '\t';
    line += RecordClockText(local);
    line += '\t';
    bool first = true;
    for (live::LiveField f : kRecordFields) {
        if (!first) {
            line += '\t';
        }
        line += std::to_string(frame.get(f));
        first = false;
    }
    line += kLineEnd;
    return line;
}

bool StartRecordFile(const std::string& path, const std::string& text, std::string* error) {
    std::string temp;
    int fd = -1;
    // A name of our own beside the file, so the rename stays on one file system.
    const bool mayCreate = filewrite::Check(filewrite::Step::Create, path) == 0;
    for (int attempt = 0; mayCreate && attempt < 100 && fd < 0; ++attempt) {
        temp = path + ".new" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        *error = Reason("cannot create the file");
        return false;
    }
    if (!WriteAll(fd, text, path) || ::fsync(fd) != 0) {
        *error = Reason("cannot write the file");
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    }
    if (::close(fd) != 0) {
        *error = Reason("cannot write the file");
        ::unlink(temp.c_str());
        return false;
    }
    if (filewrite::Check(filewrite::Step::Replace, path) != 0 ||
        ::rename(temp.c_str(), path.c_str()) != 0) {
        *error = Reason("cannot replace the file");
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

bool AppendRecordLine(const std::string& path, const std::string& line, std::string* error,
                      const std::string& headerIfEmpty) {
    const int fd = filewrite::Check(filewrite::Step::Create, path) != 0
                       ? -1
                       : ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        *error = Reason("cannot open the file");
        return false;
    }
    struct stat before {};
    const bool sized = ::fstat(fd, &before) == 0;
    const bool empty = sized && before.st_size == 0 && !headerIfEmpty.empty();
    if (!WriteAll(fd, empty ? headerIfEmpty + line : line, path)) {
        *error = Reason("cannot write the file");
        // Take back a partial line: the file ends on its last complete line.
        if (sized && ::ftruncate(fd, before.st_size) != 0) {
            *error += " (a partial line may remain)";
        }
        ::close(fd);
        return false;
    }
    if (::close(fd) != 0) {
        *error = Reason("cannot write the file");
        return false;
    }
    return true;
}

bool AppendFrameLine(const std::string& path, const live::LiveDataFrameBytes& frame,
                     const std::string& headerIfEmpty, std::string* error) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return AppendRecordLine(path, RecordLine(frame, local), error, headerIfEmpty);
}

} // namespace record
