#include "batchkml/win/xlsx_unpack_win.h"

#include <windows.h>

#include <oleauto.h>

#include <fstream>
#include <vector>

#include "shell/wide.h"

namespace kit {

namespace {

// Asks for no progress window (4), yes to all (16) and no error window (1024).
constexpr int kCopyHereOptions = 1044;
constexpr int kShellPolls = 50;
constexpr DWORD kShellPollMs = 200;
constexpr DWORD kPowerShellWaitMs = 30000;

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void removeTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = dir + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(full);
            else
                DeleteFileW(full.c_str());
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

// A fresh, empty folder in the temporary folder, named like a temp file.
std::wstring makeWorkFolder() {
    wchar_t tmp[MAX_PATH + 1] = {};
    wchar_t name[MAX_PATH + 1] = {};
    if (!GetTempPathW(MAX_PATH, tmp) || !GetTempFileNameW(tmp, L"xlsx", 0, name)) return {};
    DeleteFileW(name);
    if (!CreateDirectoryW(name, nullptr)) return {};
    return name;
}

// Calls a method by name; the arguments in their natural order.
bool invoke(IDispatch* target, const wchar_t* method, std::vector<VARIANT> args, VARIANT* result) {
    DISPID id;
    LPOLESTR name = const_cast<LPOLESTR>(method);
    if (FAILED(target->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) return false;
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());  // IDispatch takes them last first
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return SUCCEEDED(target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, nullptr,
                                    nullptr));
}

// Folder.NameSpace(path) as an object, or nullptr.
IDispatch* nameSpace(IDispatch* shell, const std::wstring& path) {
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_BSTR;
    arg.bstrVal = SysAllocString(path.c_str());
    VARIANT out;
    VariantInit(&out);
    bool ok = invoke(shell, L"NameSpace", {arg}, &out);
    VariantClear(&arg);
    if (ok && out.vt == VT_DISPATCH && out.pdispVal) return out.pdispVal;  // the caller releases it
    VariantClear(&out);
    return nullptr;
}

bool unpackWithShell(const std::wstring& zip, const std::wstring& work) {
    HRESULT init = OleInitialize(nullptr);
    bool copied = false;
    bool started = false;
    CLSID clsid;
    IDispatch* shell = nullptr;
    if (SUCCEEDED(CLSIDFromProgID(L"Shell.Application", &clsid)) &&
        SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(&shell)))) {
        if (IDispatch* source = nameSpace(shell, zip)) {
            VARIANT items;
            VariantInit(&items);
            if (invoke(source, L"Items", {}, &items) && items.vt == VT_DISPATCH && items.pdispVal) {
                if (IDispatch* target = nameSpace(shell, work)) {
                    VARIANT options;
                    VariantInit(&options);
                    options.vt = VT_I4;
                    options.lVal = kCopyHereOptions;
                    VARIANT ignored;
                    VariantInit(&ignored);
                    started = true;
                    copied = invoke(target, L"CopyHere", {items, options}, &ignored);
                    VariantClear(&ignored);
                    target->Release();
                }
            }
            VariantClear(&items);
            source->Release();
        }
        shell->Release();
    }
    bool ok = false;
    if (started) {
        // The copy runs on its own; keep the window alive while it does.
        std::wstring marker = work + L"\\xl\\sharedStrings.xml";
        for (int polls = 0; polls < kShellPolls && !ok;) {
            MSG msg;
            if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the main loop
                    break;
                }
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
                continue;
            }
            Sleep(kShellPollMs);
            ++polls;
            ok = exists(marker);
        }
        if (!ok) ok = copied;
    }
    if (SUCCEEDED(init)) OleUninitialize();
    return ok;
}

// A path inside a single-quoted PowerShell string on a batch-file line: an
// apostrophe would end the string (and let the rest of a file name run as
// commands), a percent sign would be expanded by cmd.
std::wstring quotedForScript(const std::wstring& path) {
    std::wstring out;
    for (wchar_t c : path) {
        if (c == L'\'') out += L'\'';
        if (c == L'%') out += L'%';
        out += c;
    }
    return out;
}

bool unpackWithPowerShell(const std::wstring& zip, const std::wstring& work) {
    wchar_t script[MAX_PATH + 1] = {};
    if (!GetTempFileNameW(work.c_str(), L"bat", 0, script)) return false;
    // A single percent sign each side: doubled, cmd would hand exit the
    // literal text and report success whatever PowerShell returned.
    std::wstring text = L"@echo off\r\npowershell -WindowStyle Hidden -Command \"Expand-Archive -Path '" +
                        quotedForScript(zip) + L"' -DestinationPath '" + quotedForScript(work) +
                        L"' -Force\"\r\nexit /b %errorlevel%\r\n";
    HANDLE f = CreateFileW(script, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL wrote = WriteFile(f, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(f);
    if (!wrote) {
        DeleteFileW(script);
        return false;
    }
    std::wstring command = L"cmd.exe /c \"" + std::wstring(script) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                        &pi)) {
        DeleteFileW(script);
        return false;
    }
    WaitForSingleObject(pi.hProcess, kPowerShellWaitMs);
    DWORD code = 1;
    if (!GetExitCodeProcess(pi.hProcess, &code)) code = 1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    DeleteFileW(script);
    return code == 0;  // STILL_ACTIVE is not 0 either
}

// One unpacked member, by its name inside the archive.
PartStatus readUnpacked(const std::wstring& work, std::string_view name, std::string& bytes) {
    std::wstring path = work + L"\\" + toWide(name);
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return PartStatus::Missing;
    LARGE_INTEGER size{};
    PartStatus status = PartStatus::Unusable;
    if (GetFileSizeEx(f, &size) && static_cast<uint64_t>(size.QuadPart) < kXlsxPartLimit) {
        bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
        DWORD got = 0;
        if (bytes.empty() || (ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                              got == bytes.size()))
            status = PartStatus::Found;
    }
    CloseHandle(f);
    return status;
}

}  // namespace

bool unpackXlsxWithSystemTools(const std::string& utf8Path, XlsxParts& parts) {
    std::wstring work = makeWorkFolder();
    if (work.empty()) return false;
    std::wstring zip = work + L"\\workbook.zip";
    if (!CopyFileW(toWide(utf8Path).c_str(), zip.c_str(), FALSE)) {
        removeTree(work);
        return false;
    }
    bool unpacked = unpackWithShell(zip, work) || unpackWithPowerShell(zip, work);
    DeleteFileW(zip.c_str());
    bool ok = unpacked && collectXlsxParts([&](std::string_view name, std::string& bytes) {
                  return readUnpacked(work, name, bytes);
              }, parts);
    removeTree(work);
    return ok;
}

void installSystemXlsxUnpacker() { setSystemXlsxUnpacker(unpackXlsxWithSystemTools); }

}  // namespace kit
