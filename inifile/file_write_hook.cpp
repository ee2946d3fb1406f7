#include "inifile/file_write_hook.h"

#include <cerrno>
#include <utility>

namespace filewrite {
namespace {

Hook gHook;

} // namespace

void SetHook(Hook hook) {
    gHook = std::move(hook);
}

int Check(Step step, const std::string& target) {
    if (!gHook) {
        return 0;
    }
    const int error = gHook(step, target);
    if (error != 0) {
        errno = error;
    }
    return error;
}

} // namespace filewrite
