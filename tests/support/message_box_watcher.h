#pragma once
// Answers the next message box that this process shows, from a thread of its own, and records
// what the box looked like, so that a test can call code that shows a modal box.
#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>

namespace testsupport {

// The static control that holds a system message box's text.
inline constexpr int kMessageBoxTextId = 0xFFFF;
// Whether a window is a system message box: a dialog holding the box's text control.
bool IsSystemMessageBox(HWND window);

struct SeenMessageBox {
    std::wstring caption;
    std::wstring text;
    HWND owner = nullptr;
    HICON icon = nullptr; // the icon the box shows, a shared system icon
};

class MessageBoxWatcher {
public:
    // Starts watching; the first box found is answered with the button `answer`.
    explicit MessageBoxWatcher(int answer = IDOK, DWORD timeoutMilliseconds = 30000);
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    // Waits for the watcher to finish; nothing when no box appeared in time.
    const std::optional<SeenMessageBox>& Seen();
    // Stops watching at once and tells what was seen so far; for code that must show no box.
    const std::optional<SeenMessageBox>& StopWatching();

private:
    std::optional<SeenMessageBox> m_seen;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace testsupport
