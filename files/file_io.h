#pragma once
// Whole-file reads and writes. A write never destroys what the file held: the new bytes go to
// a new file beside it, which takes the old one's place only once it is complete and flushed.

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

enum class ReadOutcome { Loaded, ReadFailed, TooLarge, OutOfMemory };

// Reads from the file's current position to its end. Files larger than `largest` bytes are not read.
ReadOutcome ReadWholeFile(HANDLE file, std::uint64_t largest, std::vector<std::uint8_t>& bytes);

// Where a test makes the writer fail, as a full disk, a dropped share or a folder that takes
// no new files would.
struct WriteFaults {
    std::uint64_t failAfterBytes = UINT64_MAX;  // writing the new bytes stops after this many and fails
    bool noFileBeside = false;                  // no file can be created in the target's folder
};

// True only when all of `bytes` are on disk under `path`. On failure the file that `path` names
// is exactly as it was, no other file is left behind, and a target that did not exist is not
// created. When no file can be created beside the target, or the target cannot be replaced (held
// open by another program), but it can still be written, it is rewritten in place, and its old
// bytes are put back if that fails.
bool WriteFileSafely(const wchar_t* path, std::span<const std::uint8_t> bytes, const WriteFaults& faults = {});
