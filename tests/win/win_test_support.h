#pragma once
// Shared pieces of the Windows tests: a freshly built Plotvane or Varnick
// window per test with recording dialogs, mouse clicks by message, and screen
// captures.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "apps/plotvane_window.h"
#include "apps/quillet_window.h"
#include "apps/varnick_window.h"
#include "shell/main_window.h"
#include "shell/recording_dialogs.h"
#include "tests/temp_folder.h"

namespace kit::test {

// Runs whatever is queued (paints, posted messages) without blocking.
void pump();
// A left click by messages: down and up at a point inside the window.
void click(HWND hwnd, int x = 4, int y = 4);
void sendWheel(HWND hwnd, int delta);

// The window's pixels as they are on screen.
class Capture {
public:
    explicit Capture(HWND hwnd);
    // Window coordinates (client coordinates for a borderless child).
    COLORREF pixel(int x, int y) const;
    int width() const { return w_; }
    int height() const { return h_; }

private:
    int w_ = 0, h_ = 0;
    std::vector<DWORD> bits_;
};

// A program's main window built for each test (and destroyed after it), with
// every box and dialog recorded.
class MainWindowTest : public ::testing::Test {
protected:
    explicit MainWindowTest(MainWindowConfig (*config)()) : config_(config) {}
    void SetUp() override;
    // Varnick's closing posts the quit message: it is taken off the queue
    // again so that it does not end later tests' loops.
    void TearDown() override;
    RecordingDialogs dialogs;
    HWND main = nullptr;

private:
    MainWindowConfig (*config_)();
};

class PlotvaneWindowTest : public MainWindowTest {
protected:
    PlotvaneWindowTest() : MainWindowTest(plotvaneWindowConfig) {}
};

class VarnickWindowTest : public MainWindowTest {
protected:
    VarnickWindowTest() : MainWindowTest(varnickWindowConfig) {}
};

class QuilletWindowTest : public MainWindowTest {
protected:
    QuilletWindowTest() : MainWindowTest(quilletWindowConfig) {}
};

// A child's class name, and its place in its parent as "x,y,width,height".
std::wstring windowClassName(HWND hwnd);
std::string placement(HWND hwnd);

// Removes every queued message, a quit message included.
void drainQueue();

// A temporary folder of its own whose name holds Chinese characters, seen
// through UTF-16 names; removed with everything in it.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& tag);
    const std::wstring& dir() const { return dir_; }
    std::wstring path(const std::wstring& name) const { return dir_ + L"\\" + name; }
    // Writes the bytes to a file in the folder; returns its path.
    std::wstring write(const std::wstring& name, const std::string& bytes) const;

private:
    TempFolder folder_;
    std::wstring dir_;
};

// Runs the action on the thread's first window of the class once it exists,
// from a timer, so a test can answer a modal window whose own loop is running.
void whenWindowAppears(const wchar_t* className, std::function<void(HWND)> action);

// Sends a control's BN_CLICKED to its parent, as a click on it would.
void pressButton(HWND parent, int id);

// The test program's own temporary folder, ending in a backslash: a new
// folder under GetTempPath with a name of its own, made on first use and
// removed with its contents when the program ends.
std::wstring tempFolder();
// A whole file's bytes ("" when it cannot be read).
std::string fileBytes(const std::wstring& path);

std::wstring clipboard();
void setClipboard(const std::wstring& text);

}  // namespace kit::test
