// Modal popups. A test hook can record every popup and answer it from a
// script, so flows that ask the user run headless.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

enum class PopupKind { Message, Confirm, Generic, Prompt, FileSelect, Color };

// File selection results.
constexpr int kNoFileSelected = 0;
constexpr int kExistingFileSelected = 1;
constexpr int kNewFileSelected = 2;

void MessagePopup(const std::string& title, const std::string& text);

// 1 = yes, 0 = no.
int ConfirmPopup(const std::string& title, const std::string& text);

// Question with up to three buttons side by side; returns the number (1..3)
// of the button chosen. The first button has the focus, and both Enter and
// Escape choose it.
int GenericMessagePopup(const std::string& title, const std::string& text,
                        const std::string& button1, const std::string& button2,
                        const std::string& button3 = {});

// Text prompt accepting at most maxLength characters. Returns 1 and fills
// *response when confirmed, 0 when cancelled (response unchanged).
int PromptPopup(const std::string& title, const std::string& message, std::string* response,
                int maxLength);

struct FileSelectRequest {
    std::string directory;   // start directory; empty = current directory
    std::string defaultName; // e.g. "Parameter.ini"
    std::string filter;      // e.g. "*.ini"
    std::string title;
    std::string buttonLabel; // empty = the toolkit's own
    bool allowCancel = true;
    bool allowMakeDirectory = true;
    bool existingOnly = false; // only an existing file can be chosen
};
// Returns kNoFileSelected, kExistingFileSelected or kNewFileSelected; the
// chosen path goes to *path unless nothing was selected.
int FileSelectPopup(const FileSelectRequest& request, std::string* path);

// Colour selection starting at `initial` (0x00RRGGBB). Returns 1 and sets
// *colour (0x00RRGGBB) when a colour was chosen, 0 when cancelled.
// Under the test hook the record's text is the initial colour in decimal
// and the answer's text the chosen one (decimal, or hexadecimal with 0x).
int ColorPopup(const std::string& title, uint32_t initial, uint32_t* colour);

// ---- the windows -------------------------------------------------------

// The windows that show the popups. Until InitRuntime installs the real ones
// (c3platform, with Qt Widgets), every popup answers at once as a user
// pressing Escape would: OK, no, the first button, cancel.
struct PopupWindows {
    void (*message)(const std::string& title, const std::string& text);
    int (*confirm)(const std::string& title, const std::string& text);
    int (*generic)(const std::string& title, const std::string& text,
                   const std::vector<std::string>& labels);
    int (*prompt)(const std::string& title, const std::string& message, std::string* response,
                  int maxLength);
    int (*fileSelect)(const FileSelectRequest& request, std::string* path);
    int (*color)(const std::string& title, uint32_t initial, uint32_t* colour);
};
void SetPopupWindows(const PopupWindows* windows);
// The real windows (c3platform).
const PopupWindows* PopupWindowFunctions();

// ---- test hook ---------------------------------------------------------

struct PopupRecord {
    PopupKind kind = PopupKind::Message;
    std::string title;
    std::string text;
    std::vector<std::string> buttons; // Generic: the button texts
    FileSelectRequest file;           // FileSelect: the request
};

struct PopupAnswer {
    int result = 0;   // Confirm: 1/0; Generic: button 1..3; Prompt: 1/0; FileSelect: kind
    std::string text; // Prompt: the response; FileSelect: the path
};

// While a hook is installed no window is shown: every popup is passed to it
// and its answer is returned. Pass nullptr to show real popups again.
using PopupHook = std::function<PopupAnswer(const PopupRecord&)>;
void SetPopupHook(PopupHook hook);

// A scripted user for tests: records every popup and answers from a queue.
// With the queue empty it answers like a user pressing Enter: OK, yes, the
// first button, cancel for prompts and file selection.
class ScriptedPopups {
public:
    ScriptedPopups();
    ~ScriptedPopups();
    ScriptedPopups(const ScriptedPopups&) = delete;
    ScriptedPopups& operator=(const ScriptedPopups&) = delete;

    void Answer(int result, std::string text = {});
    const std::vector<PopupRecord>& Records() const { return records_; }
    void Clear() { records_.clear(); }
    size_t Count(PopupKind kind) const;
    // The text of the last popup with this title; empty when none.
    std::string LastText(const std::string& title) const;

private:
    std::vector<PopupRecord> records_;
    std::vector<PopupAnswer> queue_;
};

} // namespace platform
