#include "batchkml/win/kml_tab_parts.h"

#include "batchkml/column_roles.h"
#include "batchkml/kml_text.h"
#include "batchkml/table_reader.h"
#include "shell/controls.h"
#include "shell/fonts.h"
#include "shell/images.h"
#include "shell/wide.h"
#include "shell/window_class.h"

namespace kit {

namespace {

std::string& folderOverride() {
    static std::string folder;
    return folder;
}

// ---- the name dialog ----

enum { kNameEdit = 100 };

struct NameDialog {
    bool done = false;
    std::optional<std::wstring> result;
};

LRESULT CALLBACK nameDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* d = reinterpret_cast<NameDialog*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
        case WM_NCCREATE:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
            break;
        case WM_COMMAND:
            if (!d) break;
            if (LOWORD(wParam) == IDOK) {
                std::wstring name = windowText(GetDlgItem(hwnd, kNameEdit));
                if (!name.empty()) d->result = name;
                d->done = true;
                return 0;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                d->done = true;
                return 0;
            }
            break;
        case WM_CLOSE:
            if (d) d->done = true;
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);  // the state lives on the caller's stack
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND topLevel(HWND owner) {
    HWND root = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    return root ? root : owner;
}

}  // namespace

void runModalLoop(HWND dialog, HWND owner, const bool& done) {
    HWND top = topLevel(owner);
    const bool wasEnabled = top && IsWindowEnabled(top);
    if (wasEnabled) EnableWindow(top, FALSE);
    MSG msg;
    while (!done && IsWindow(dialog)) {
        if (!GetMessageW(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // the program's loop ends after the dialog
            break;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE &&
            (msg.hwnd == dialog || IsChild(dialog, msg.hwnd))) {
            SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            continue;
        }
        if (IsDialogMessageW(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (wasEnabled) EnableWindow(top, TRUE);
    if (IsWindow(dialog)) DestroyWindow(dialog);
    if (top) SetActiveWindow(top);
}

std::optional<std::wstring> askTemplateName(HWND owner, const wchar_t* className, const std::wstring& initial) {
    auto inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
    registerWindowClass(inst, {.name = className, .proc = nameDialogProc, .background = GetSysColorBrush(COLOR_BTNFACE)});
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU, exStyle = WS_EX_TOPMOST | WS_EX_DLGMODALFRAME;
    const RECT at = popupCentredOver(owner, 220, 130, style, exStyle);
    NameDialog d;
    HWND dlg = CreateWindowExW(exStyle, className, L"保存模板", style, at.left, at.top, at.right - at.left,
                               at.bottom - at.top, topLevel(owner), nullptr, inst, &d);
    if (!dlg) return std::nullopt;
    HFONT font = sharedFonts().regular;
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", initial.c_str(),
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 12, 30, 196, 22, dlg,
                                reinterpret_cast<HMENU>(kNameEdit), inst, nullptr);
    SendMessageW(edit, EM_LIMITTEXT, 63, 0);
    HWND ok = CreateWindowExW(0, L"BUTTON", L"确定", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 12, 62, 94,
                              26, dlg, reinterpret_cast<HMENU>(IDOK), inst, nullptr);
    HWND cancel = CreateWindowExW(0, L"BUTTON", L"取消", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 114, 62, 94, 26, dlg,
                                  reinterpret_cast<HMENU>(IDCANCEL), inst, nullptr);
    for (HWND c : {edit, ok, cancel}) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ShowWindow(dlg, SW_SHOW);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    runModalLoop(dlg, owner, d.done);
    return d.result;
}

void autoSelectColumn(HWND combo, const std::vector<std::string>& headers,
                      const std::vector<std::string_view>& candidates) {
    const int col = findColumn(headers, candidates);
    if (col >= 0) SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(col), 0);
}

void applyComboText(HWND combo, const std::string& utf8) {
    const std::wstring text = toWide(utf8);
    const LRESULT i = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(text.c_str()));
    if (i != CB_ERR) {
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        return;
    }
    // A drop-down list shows only its items: nothing to set there.
    if ((GetWindowLongW(combo, GWL_STYLE) & 3) != CBS_DROPDOWN) return;
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetWindowTextW(combo, text.c_str());
}

void selectComboPrefix(HWND combo, const std::wstring& text) {
    SendMessageW(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
}

std::string controlText(HWND control, int limit) {
    std::wstring text = windowText(control);
    if (static_cast<int>(text.size()) > limit) text.resize(static_cast<size_t>(limit));
    return toUtf8(text);
}

std::string templatesFolder() {
    if (!folderOverride().empty()) return folderOverride();
    std::wstring dir = exeDirectory();
    while (!dir.empty() && (dir.back() == L'\\' || dir.back() == L'/')) dir.pop_back();
    return toUtf8(dir);
}

void setTemplatesFolderForTests(const std::string& utf8Folder) { folderOverride() = utf8Folder; }

void showRunStatus(HWND status, std::string_view utf8, bool ok) {
    setStatusText(status, toWide(utf8), ok);
    UpdateWindow(status);
}

namespace {

// Reads the first chosen file into the tab; on failure the tab stays as it was.
bool loadFirst(const DataFileChoice& c, KmlTabData& data, const std::string& path) {
    DataTable fresh;
    if (!readDataFile(path, fresh, c.csvOnly)) {
        const TableFormat format = c.csvOnly ? TableFormat::Csv : chooseReader(path);
        showError(c.owner, readFailureMessage(format));
        return false;
    }
    data.table = std::move(fresh);
    data.dataLoaded = true;
    data.currentPath = path;
    if (c.loaded) c.loaded(data.table);
    return true;
}

}  // namespace

void chooseDataFile(const DataFileChoice& c, KmlTabData& data) {
    const std::wstring path = chooseOpenFile(c.owner, c.title, c.filter);
    if (path.empty()) return;
    if (!loadFirst(c, data, toUtf8(path))) return;
    data.batchFiles.clear();
    if (c.loadedText) setStatusText(c.status, toWide(c.loadedText(data.table.rows.size())), true);
}

void chooseDataFiles(const DataFileChoice& c, KmlTabData& data) {
    const std::vector<std::wstring> paths = chooseOpenFiles(c.owner, c.batchTitle, c.filter);
    if (paths.empty()) return;
    std::vector<std::string> files;
    for (const std::wstring& p : paths) files.push_back(toUtf8(p));
    // The new selection is the batch even when its first file cannot be read
    // (the combos then keep the columns they had): the next run must never
    // rewrite the files of the batch before.
    data.batchFiles = files;
    loadFirst(c, data, files.front());
    setStatusText(c.status, toWide(batchChosenText(data.batchFiles.size())), true);
}

void generateKml(const KmlGeneration& g, const KmlTabData& data) {
    if (data.batchFiles.empty()) {
        // A full path as the proposed name opens the dialog in that folder.
        std::string proposed = defaultKmlName(data.currentPath, g.fallbackName);
        if (!data.currentPath.empty() && !folderOf(data.currentPath).empty())
            proposed = folderOf(data.currentPath) + "\\" + proposed;
        const std::wstring out = chooseSaveFile(g.owner, L"保存KML文件", toWide(proposed), g.saveFilter);
        if (out.empty()) return;
        showRunStatus(g.status, g.workingText, false);
        const SingleRunResult r = g.single(toUtf8(out));
        setStatusText(g.status, toWide(r.statusText), r.outcome.ok());
        showOutcomeMessage(g.owner, r.outcome);
        return;
    }
    const std::wstring folder =
        chooseFolder(g.owner, L"选择KML输出文件夹", toWide(proposedBatchFolder(data.batchFiles.front())));
    if (folder.empty()) return;
    const BatchRunResult r =
        g.batch(toUtf8(folder), [&](const std::string& text) { showRunStatus(g.status, text, false); });
    setStatusText(g.status, toWide(r.statusText), true);
    showSuccess(g.owner, r.message);
}

}  // namespace kit
