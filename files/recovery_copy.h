#pragma once
// The copy of unsaved text kept beside a running editor, so that a crash or a kill loses
// nothing: its bytes, and the names that say which session wrote it.
//
// A copy is UTF-16 little-endian with a byte-order mark, so any text editor shows it: a line
// naming the format, a line with the file's path, one with the time it was written, one with
// the text's length in UTF-16 units, an empty line, then exactly that many units of text.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct RecoveryCopy {
    std::u16string file;  // empty for text that has no file yet
    std::u16string time;  // when the copy was written, as the writer's clock read it
    std::u16string text;
    bool operator==(const RecoveryCopy&) const = default;
};

std::vector<std::uint8_t> RecoveryCopyBytes(const RecoveryCopy& copy);
// nullopt for anything that is not a whole copy: another file, a cut-off one, a damaged header.
std::optional<RecoveryCopy> ReadRecoveryCopy(std::span<const std::uint8_t> bytes);

// A session is a process id with the process's start time, which tells it from a later process
// that got the same id. A copy offered once and declined is kept under a second name.
struct RecoverySession {
    std::uint32_t process = 0;
    std::uint64_t started = 0;
    bool operator==(const RecoverySession&) const = default;
};

struct RecoveryCopyName {
    RecoverySession session;
    bool declined = false;
    bool operator==(const RecoveryCopyName&) const = default;
};

std::u16string RecoveryFileName(const RecoveryCopyName& name);
std::optional<RecoveryCopyName> ParseRecoveryFileName(std::u16string_view name);
