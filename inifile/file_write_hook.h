// Test hook for every file the program writes or replaces: the INI store
// (panel settings, parameter file, table attributes, hardware information)
// and the record file. A test can make a step of a write fail with an error
// number, as a full disk (ENOSPC) or a read-only directory (EROFS) would,
// or stop the process at the moment a finished temporary file is about to
// replace its target, as a crash or a power cut there would.
//
// Without a hook installed every step runs as usual.
#pragma once

#include <functional>
#include <string>

namespace filewrite {

enum class Step {
    // Creating the temporary file beside the target, or opening the file a
    // line is appended to.
    Create,
    // Writing data into that file (each write call).
    Write,
    // The temporary file is complete and on disk; renaming it over the
    // target comes next.
    Replace,
};

// Called with the step and the path of the file that is to be written or
// replaced. Returns 0 to let the step run, or the error number it fails
// with. It may also end the process.
using Hook = std::function<int(Step step, const std::string& target)>;

// Installs the hook (an empty one removes it).
void SetHook(Hook hook);
// 0 when no hook is installed, else what the hook returns; sets errno to a
// non-zero result, so the caller reports it like a failed system call.
int Check(Step step, const std::string& target);

} // namespace filewrite
