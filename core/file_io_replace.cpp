// Replacing files safely: the bytes go to a new file beside the target, which
// takes the target's name only once it is whole. A full disk or any other
// failure part-way therefore leaves the old file as it was, and the temporary
// is removed.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "core/file_io.h"
#include "core/text.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kit {

namespace {

namespace fs = std::filesystem;

fs::path toPath(const std::string& utf8Path) { return fs::path(std::u8string(utf8Path.begin(), utf8Path.end())); }

std::string toUtf8(const fs::path& p) {
    auto u8 = p.u8string();
    return std::string(u8.begin(), u8.end());
}

#ifdef _WIN32
std::wstring widened(const std::string& utf8) {
    std::u16string w = utf8ToUtf16(utf8);
    return std::wstring(w.begin(), w.end());
}
#endif

// A name no other save uses at the same time: the process, a counter and the
// clock. Creation is exclusive, so a clash is only ever a retry.
std::string uniqueSuffix(unsigned attempt) {
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const unsigned long pid = static_cast<unsigned long>(_getpid());
#else
    const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
    const auto tick = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    return std::to_string(pid) + "-" + std::to_string(counter++) + "-" + std::to_string((tick + attempt) % 1000000);
}

// Opens a file that did not exist for writing; -1 when it cannot.
int createExclusive(const std::string& utf8Path) {
#ifdef _WIN32
    return _wopen(widened(utf8Path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    return ::open(utf8Path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
}

// Writes in pieces of 8 MiB. On Linux the disk is asked to start on each
// piece at once, so that most of a large file is already there when the
// closing sync waits for it.
bool writeAll(int fd, std::string_view bytes) {
    constexpr size_t kPiece = size_t{8} << 20;
    size_t done = 0;
    while (done < bytes.size()) {
        const size_t chunk = std::min(bytes.size() - done, kPiece);
#ifdef _WIN32
        const int n = _write(fd, bytes.data() + done, static_cast<unsigned>(chunk));
#else
        const ssize_t n = ::write(fd, bytes.data() + done, chunk);
        if (n < 0 && errno == EINTR) continue;
#endif
        if (n <= 0) return false;
#ifdef __linux__
        ::sync_file_range(fd, static_cast<off_t>(done), n, SYNC_FILE_RANGE_WRITE);
#endif
        done += static_cast<size_t>(n);
    }
    return true;
}

// Closes the file, first putting its bytes on the disk when asked: a
// temporary must be whole there before it replaces anything.
bool closeFile(int fd, bool sync) {
#ifdef _WIN32
    bool ok = !sync || _commit(fd) == 0;
    return _close(fd) == 0 && ok;
#else
    bool ok = !sync || ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
#endif
}

bool removeFile(const std::string& utf8Path) {
    std::error_code ec;
    return fs::remove(toPath(utf8Path), ec);
}

// Moves the finished temporary over the target in one step.
// On Windows the library's rename replaces an existing target (MoveFileExW
// with MOVEFILE_REPLACE_EXISTING), where the C runtime's rename refuses.
bool replaceWith(const std::string& temporary, const std::string& target) {
    std::error_code ec;
    fs::rename(toPath(temporary), toPath(target), ec);
    return !ec;
}

// The file a save really replaces: a link is followed, so that the link stays
// and the file it names gets the bytes.
std::string resolvedTarget(const std::string& utf8Path) {
    std::error_code ec;
    if (!fs::is_symlink(toPath(utf8Path), ec)) return utf8Path;
    fs::path real = fs::weakly_canonical(toPath(utf8Path), ec);
    return ec ? utf8Path : toUtf8(real);
}

// Devices and pipes (/dev/stdout, a FIFO, NUL) cannot be renamed over: they
// are written where they are.
bool isSpecialFile(const std::string& utf8Path) {
    std::error_code ec;
    fs::file_status st = fs::status(toPath(utf8Path), ec);
    return !ec && fs::exists(st) && !fs::is_regular_file(st);
}

// A file that exists but may not be written keeps refusing, as it did when it
// was opened in place (a rename would otherwise slip past its protection).
bool refusesWriting(const std::string& utf8Path) {
#ifdef _WIN32
    const std::wstring wide = widened(utf8Path);
    return _waccess(wide.c_str(), 0) == 0 && _waccess(wide.c_str(), 2) != 0;
#else
    return ::access(utf8Path.c_str(), F_OK) == 0 && ::access(utf8Path.c_str(), W_OK) != 0;
#endif
}

int openInPlace(const std::string& utf8Path) {
#ifdef _WIN32
    return _wopen(widened(utf8Path).c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    return ::open(utf8Path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
#endif
}

bool writeInPlace(const std::string& utf8Path, std::string_view bytes) {
    int fd = openInPlace(utf8Path);
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes);
    return closeFile(fd, false) && ok;
}

// The replacement keeps who may read the file it replaces (a private file
// stays private).
bool keepPermissionsOf([[maybe_unused]] const std::string& target, [[maybe_unused]] int fd) {
#ifndef _WIN32
    struct stat st;
    if (::stat(target.c_str(), &st) == 0) return ::fchmod(fd, st.st_mode & 07777) == 0;
#endif
    return true;
}

// Creates a new file beside the target, for writing, with the target's
// permissions; its descriptor (-1 when it cannot be created) and its path in
// temporary.
int createTemporaryBeside(const std::string& target, std::string& temporary) {
    const fs::path dir = toPath(target).parent_path();
    const std::string prefix = "." + fileNameOf(target) + ".";
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        temporary = toUtf8(dir / toPath(prefix + uniqueSuffix(attempt) + ".tmp"));
        int fd = createExclusive(temporary);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd >= 0 && !keepPermissionsOf(target, fd)) {
            closeFile(fd, false);
            removeFile(temporary);
            return -1;
        }
        return fd;
    }
    return -1;
}

// Writes the bytes whole into a new file beside the target; its path, or ""
// when that failed (and nothing is left behind).
std::string writeTemporaryBeside(const std::string& target, std::string_view bytes) {
    std::string temporary;
    int fd = createTemporaryBeside(target, temporary);
    if (fd < 0) return {};
    bool ok = writeAll(fd, bytes);
    if (closeFile(fd, true) && ok) return temporary;
    removeFile(temporary);
    return {};
}

}  // namespace

bool writeFilesTogether(const std::vector<FileToWrite>& files) {
    struct Pending {
        std::string temporary, target;
    };
    std::vector<Pending> pending;
    auto discard = [&pending] {
        for (const Pending& p : pending) removeFile(p.temporary);
    };
    for (const FileToWrite& file : files) {
        const std::string target = resolvedTarget(file.path);
        if (isSpecialFile(target)) {
            if (!writeInPlace(target, file.bytes)) {
                discard();
                return false;
            }
            continue;
        }
        std::string temporary;
        if (refusesWriting(target) || (temporary = writeTemporaryBeside(target, file.bytes)).empty()) {
            discard();
            return false;
        }
        pending.push_back({temporary, target});
    }
    // Every file is whole on the disk before the first takes its name.
    bool ok = true;
    for (const Pending& p : pending) {
        if (ok && replaceWith(p.temporary, p.target)) continue;
        ok = false;
        removeFile(p.temporary);
    }
    return ok;
}

FileWriter::FileWriter(const std::string& utf8Path) : target_(resolvedTarget(utf8Path)) {
    if (isSpecialFile(target_))
        fd_ = openInPlace(target_);
    else if (!refusesWriting(target_))
        fd_ = createTemporaryBeside(target_, temporary_);
}

FileWriter::~FileWriter() {
    if (fd_ < 0) return;
    closeFile(fd_, false);
    if (!temporary_.empty()) removeFile(temporary_);
}

bool FileWriter::write(std::string_view bytes) {
    if (fd_ < 0) return false;
    if (ok_ && !writeAll(fd_, bytes)) ok_ = false;
    return ok_;
}

bool FileWriter::close() {
    if (fd_ < 0) return false;
    const int fd = fd_;
    fd_ = -1;
    ok_ = closeFile(fd, !temporary_.empty()) && ok_;
    if (temporary_.empty()) return ok_;
    if (ok_ && replaceWith(temporary_, target_)) return true;
    removeFile(temporary_);
    return ok_ = false;
}

}  // namespace kit
