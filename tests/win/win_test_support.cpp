#include "win_test_support.h"

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/win/clipboard.h"
#include "shell/ball.h"
#include "shell/images.h"
#include "shell/wide.h"
#include "tests/temp_folder.h"

namespace kit::test {

namespace {

// Common controls, GDI+ and the floating ball for the whole test program.
class ShellEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        gdiplus_ = new GdiplusSession();
        createBall(GetModuleHandleW(nullptr));
    }
    void TearDown() override {
        destroyBall();
        delete gdiplus_;
    }

private:
    GdiplusSession* gdiplus_ = nullptr;
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new ShellEnvironment);

}  // namespace

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the test that waits for it
            break;
        }
        dispatchLoopMessage(msg);  // as the programs' own loop does
    }
}

void click(HWND hwnd, int x, int y) {
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void sendWheel(HWND hwnd, int delta) {
    SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<SHORT>(delta))), 0);
}

Capture::Capture(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
    pump();
    GdiFlush();
    Sleep(50);
    RECT r;
    GetWindowRect(hwnd, &r);
    w_ = r.right - r.left;
    h_ = r.bottom - r.top;
    BITMAPINFO bi = topDownArgbInfo(w_, h_);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w_, h_, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    bits_.assign(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + static_cast<size_t>(w_) * h_);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

COLORREF Capture::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return CLR_INVALID;
    DWORD v = bits_[static_cast<size_t>(y) * w_ + x];  // 0x00RRGGBB
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

void MainWindowTest::SetUp() {
    main = createMainWindow(GetModuleHandleW(nullptr), config_());
    ASSERT_NE(main, nullptr);
    pump();
}

void MainWindowTest::TearDown() {
    destroyMainWindow();
    hideBall();
    drainQueue();
}

void drainQueue() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::wstring windowClassName(HWND hwnd) {
    wchar_t name[128] = {};
    GetClassNameW(hwnd, name, 128);
    return name;
}

std::string placement(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right - r.left) + "," +
           std::to_string(r.bottom - r.top);
}

std::wstring tempFolder() { return toWide(programTempFolder().path()) + L"\\"; }

std::string fileBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::wstring clipboard() { return readClipboardText(); }

void setClipboard(const std::wstring& text) { ASSERT_TRUE(writeClipboardText(text)); }

ScratchFolder::ScratchFolder(const std::wstring& tag)
    : folder_(toUtf8(L"kit_测试_" + tag + L"_")), dir_(toWide(folder_.path())) {}

std::wstring ScratchFolder::write(const std::wstring& name, const std::string& bytes) const {
    const std::wstring p = path(name);
    std::ofstream(std::filesystem::path(p), std::ios::binary) << bytes;
    return p;
}

namespace {

struct PendingAction {
    std::wstring className;
    std::function<void(HWND)> action;
    int ticksLeft = 200;  // 10 s
};
PendingAction pending;

BOOL CALLBACK findOwnWindow(HWND hwnd, LPARAM found) {
    wchar_t name[128];
    GetClassNameW(hwnd, name, 128);
    if (pending.className == name && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK pollForWindow(HWND, UINT, UINT_PTR id, DWORD) {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findOwnWindow, reinterpret_cast<LPARAM>(&found));
    if (!found && --pending.ticksLeft > 0) return;
    KillTimer(nullptr, id);
    auto action = std::move(pending.action);
    pending = {};
    if (found && action) action(found);
}

}  // namespace

void whenWindowAppears(const wchar_t* className, std::function<void(HWND)> action) {
    pending = {className, std::move(action)};
    SetTimer(nullptr, 0, 50, pollForWindow);
}

void pressButton(HWND parent, int id) {
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(parent, id)));
}

}  // namespace kit::test
