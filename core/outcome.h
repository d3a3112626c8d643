#pragma once
// What a tool's run hands back to its front end (panel or CLI): a status, the
// message to show (warning, error or success text), and the result text.
//
// Every portable step that can fail for a reason the user is told (a run, a
// check, a fetch, a loader) answers with an Outcome; a std::optional only
// ever holds a value that may be missing, never an error text.
#include <string>

namespace kit {

enum class Status { Success, Warning, Error };

// What every front end says when a run asks for more memory than there is
// (the run is abandoned; nothing it was writing is left half done).
inline constexpr const char* kOutOfMemory = "内存不足";

struct Outcome {
    Status status = Status::Success;
    std::string message;  // shown in the box titled 警告 / 错误 / 成功
    std::string text;     // result text (clipboard table, file bytes); empty unless Success

    bool ok() const { return status == Status::Success; }

    static Outcome warning(std::string msg) { return {Status::Warning, std::move(msg), {}}; }
    static Outcome error(std::string msg) { return {Status::Error, std::move(msg), {}}; }
    static Outcome success() { return {}; }  // nothing to show
    static Outcome success(std::string msg, std::string text) {
        return {Status::Success, std::move(msg), std::move(text)};
    }
};

}  // namespace kit
