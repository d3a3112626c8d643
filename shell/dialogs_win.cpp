#include "shell/dialogs.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shobjidl.h>

#include <new>
#include <stdexcept>
#include <vector>

#include "shell/wide.h"

namespace kit {

namespace {

constexpr size_t kPathChars = 260;
constexpr size_t kMultiSelectChars = 65536;

class SystemDialogs : public Dialogs {
public:
    void showWarning(HWND owner, const std::wstring& text) override { box(owner, text, L"警告", MB_ICONWARNING); }
    void showError(HWND owner, const std::wstring& text) override { box(owner, text, L"错误", MB_ICONERROR); }
    void showSuccess(HWND owner, const std::wstring& text) override { box(owner, text, L"成功", MB_ICONINFORMATION); }

    std::wstring chooseOpenFile(HWND owner, const std::wstring& title, const std::vector<FileFilter>& filter) override {
        std::vector<wchar_t> buf(kPathChars, L'\0');
        std::wstring f = filterString(filter);
        OPENFILENAMEW ofn = base(owner, title, f, buf);
        ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
        return GetOpenFileNameW(&ofn) ? std::wstring(buf.data()) : std::wstring();
    }

    std::wstring chooseSaveFile(HWND owner, const std::wstring& title, const std::wstring& proposedName,
                                const std::vector<FileFilter>& filter) override {
        std::vector<wchar_t> buf(kPathChars, L'\0');
        proposedName.copy(buf.data(), kPathChars - 1);  // a longer name is cut
        std::wstring f = filterString(filter);
        OPENFILENAMEW ofn = base(owner, title, f, buf);
        ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
        return GetSaveFileNameW(&ofn) ? std::wstring(buf.data()) : std::wstring();
    }

    std::vector<std::wstring> chooseOpenFiles(HWND owner, const std::wstring& title,
                                              const std::vector<FileFilter>& filter) override {
        std::vector<wchar_t> buf(kMultiSelectChars, L'\0');
        std::wstring f = filterString(filter);
        OPENFILENAMEW ofn = base(owner, title, f, buf);
        ofn.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
        if (!GetOpenFileNameW(&ofn)) return {};
        return splitMultiSelection(buf.data());
    }

    std::wstring chooseFolder(HWND owner, const std::wstring& title, const std::wstring& initial) override {
        bool comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        std::wstring result;
        IFileOpenDialog* dlg = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                       reinterpret_cast<void**>(&dlg)))) {
            FILEOPENDIALOGOPTIONS opts = 0;
            dlg->GetOptions(&opts);
            dlg->SetOptions(opts | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM);
            dlg->SetTitle(title.c_str());
            IShellItem* start = nullptr;
            if (!initial.empty() && SUCCEEDED(SHCreateItemFromParsingName(initial.c_str(), nullptr, IID_IShellItem,
                                                                           reinterpret_cast<void**>(&start)))) {
                dlg->SetFolder(start);
                start->Release();
            }
            IShellItem* item = nullptr;
            if (SUCCEEDED(dlg->Show(owner)) && SUCCEEDED(dlg->GetResult(&item))) {
                PWSTR path = nullptr;
                if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) && path) {
                    result = path;
                    CoTaskMemFree(path);
                }
                item->Release();
            }
            dlg->Release();
        }
        if (comStarted) CoUninitialize();
        return result;
    }

    void revealInExplorer(HWND owner, const std::wstring& path) override {
        std::wstring params = L"/select," + path;
        ShellExecuteW(owner, L"open", L"explorer", params.c_str(), nullptr, SW_SHOWNORMAL);
    }

    int choosePopupCommand(HWND owner, POINT at, const std::vector<MenuItem>& items) override {
        HMENU menu = CreatePopupMenu();
        for (const MenuItem& i : items) AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(i.command), i.text.c_str());
        // Without the foreground the menu would not close on a click elsewhere.
        SetForegroundWindow(owner);
        int cmd = static_cast<int>(
            TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, owner, nullptr));
        DestroyMenu(menu);
        return cmd;
    }

    std::optional<COLORREF> chooseColor(HWND owner, const ColorRequest& request) override {
        COLORREF forgotten[16] = {};  // black every time when the caller keeps none
        CHOOSECOLORW cc{};
        cc.lStructSize = sizeof(cc);
        cc.hwndOwner = owner;
        cc.rgbResult = request.initial;
        cc.lpCustColors = request.customColors ? request.customColors : forgotten;
        cc.Flags = CC_RGBINIT | CC_ANYCOLOR | (request.fullOpen ? CC_FULLOPEN : 0);
        if (!ChooseColorW(&cc)) return std::nullopt;
        return cc.rgbResult;
    }

    bool askYesNo(HWND owner, const std::wstring& title, const std::wstring& text) override {
        return MessageBoxW(owner, text.c_str(), title.c_str(), MB_YESNO | MB_ICONWARNING) == IDYES;
    }

private:
    static void box(HWND owner, const std::wstring& text, const wchar_t* title, UINT icon) {
        MessageBoxW(owner, text.c_str(), title, MB_OK | icon);
    }
    static OPENFILENAMEW base(HWND owner, const std::wstring& title, const std::wstring& filter,
                              std::vector<wchar_t>& buf) {
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
        ofn.lpstrFile = buf.data();
        ofn.nMaxFile = static_cast<DWORD>(buf.size());
        ofn.lpstrTitle = title.c_str();
        return ofn;
    }
};

SystemDialogs g_system;
Dialogs* g_installed = nullptr;

}  // namespace

Dialogs& dialogs() { return g_installed ? *g_installed : g_system; }

Dialogs* setDialogs(Dialogs* replacement) {
    Dialogs* previous = g_installed;
    g_installed = replacement;
    return previous;
}

void showWarning(HWND owner, std::wstring_view text) { dialogs().showWarning(owner, std::wstring(text)); }
void showError(HWND owner, std::wstring_view text) { dialogs().showError(owner, std::wstring(text)); }
void showSuccess(HWND owner, std::wstring_view text) { dialogs().showSuccess(owner, std::wstring(text)); }
void showWarning(HWND owner, std::string_view utf8) { dialogs().showWarning(owner, toWide(utf8)); }
void showError(HWND owner, std::string_view utf8) { dialogs().showError(owner, toWide(utf8)); }
void showSuccess(HWND owner, std::string_view utf8) { dialogs().showSuccess(owner, toWide(utf8)); }

std::wstring chooseOpenFile(HWND owner, const std::wstring& title, const std::vector<FileFilter>& filter) {
    return dialogs().chooseOpenFile(owner, title, filter);
}
std::wstring chooseSaveFile(HWND owner, const std::wstring& title, const std::wstring& proposedName,
                            const std::vector<FileFilter>& filter) {
    return dialogs().chooseSaveFile(owner, title, proposedName, filter);
}
std::vector<std::wstring> chooseOpenFiles(HWND owner, const std::wstring& title, const std::vector<FileFilter>& filter) {
    return dialogs().chooseOpenFiles(owner, title, filter);
}
std::wstring chooseFolder(HWND owner, const std::wstring& title, const std::wstring& initialFolder) {
    return dialogs().chooseFolder(owner, title, initialFolder);
}
std::optional<COLORREF> chooseColor(HWND owner, const ColorRequest& request) {
    return dialogs().chooseColor(owner, request);
}
bool askYesNo(HWND owner, const std::wstring& title, const std::wstring& text) {
    return dialogs().askYesNo(owner, title, text);
}
void revealInExplorer(HWND owner, const std::wstring& path) { dialogs().revealInExplorer(owner, path); }

bool runOrReportOutOfMemory(HWND owner, const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {  // a size no container can hold
    }
    showError(owner, std::string_view(kOutOfMemory));
    return false;
}

void showOutcomeMessage(HWND owner, const Outcome& outcome) {
    switch (outcome.status) {
        case Status::Success:
            showSuccess(owner, std::string_view(outcome.message));
            break;
        case Status::Warning:
            showWarning(owner, std::string_view(outcome.message));
            break;
        case Status::Error:
            showError(owner, std::string_view(outcome.message));
            break;
    }
}

std::wstring filterString(const std::vector<FileFilter>& filter) {
    std::wstring s;
    for (const FileFilter& f : filter) {
        s += f.display;
        s += L'\0';
        s += f.pattern;
        s += L'\0';
    }
    if (!s.empty()) s += L'\0';
    return s;
}

std::vector<std::wstring> splitMultiSelection(const wchar_t* buffer) {
    std::vector<std::wstring> parts;
    for (const wchar_t* p = buffer; *p; p += parts.back().size() + 1) parts.emplace_back(p);
    if (parts.size() <= 1) return parts;
    std::vector<std::wstring> paths;
    std::wstring folder = parts[0];
    for (size_t i = 1; i < parts.size(); ++i) paths.push_back(folder + L"\\" + parts[i]);
    return paths;
}

}  // namespace kit
