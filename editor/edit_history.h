#pragma once
// The editor's history of changes, as plain records over the text: each step is the text it
// removed and the text it put in, at a position, with the selection before and after, so that
// undo and redo can put both back. The window code records; this decides what a step is.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TextChange {
    std::size_t position = 0;  // in the text as it is when this change is made
    std::u16string removed;
    std::u16string inserted;
    bool operator==(const TextChange&) const = default;
};

struct TextSelection {
    std::size_t start = 0;
    std::size_t end = 0;
    bool operator==(const TextSelection&) const = default;
};

// What made a change, which decides whether it joins the step before it: a run of typed
// characters, of Backspaces or of Deletes is one step; everything else is a step of its own.
enum class ChangeKind { Typing, Backspace, Delete, Other };

// A replace-all, kept small: `from` replaced by `to` at each of `at`, positions in the text
// before the replacement, ascending and never overlapping.
struct ReplacedOccurrences {
    std::u16string from;
    std::u16string to;
    std::vector<std::size_t> at;
};

// Changes made one after the other, each at a position in the text the ones before it left,
// or else one replace-all.
struct HistoryStep {
    std::vector<TextChange> changes;
    ReplacedOccurrences replaced;
    TextSelection before;
    TextSelection after;
    ChangeKind kind = ChangeKind::Other;
};

struct HistoryLimits {
    std::size_t steps = 1000;
    std::size_t bytes = 64u * 1024 * 1024;
};

// A pause longer than this between two typed characters starts a new step.
constexpr std::uint64_t kTypingPauseMs = 1000;

class EditHistory {
public:
    explicit EditHistory(HistoryLimits limits = {}) : limits_(limits) {}

    // Adds a step, or lets a typed run take it in. Steps that were undone are dropped, and the
    // oldest ones when the bound is passed. Throws std::bad_alloc when there is no memory; the
    // caller then empties the history, since the step is missing from it. True when the step
    // joined the run before it rather than becoming one of its own.
    bool Record(HistoryStep step, std::uint64_t nowMs);

    // The next change starts a step of its own (the caret moved, the text was saved).
    void BreakRun() { runOpen_ = false; }

    bool CanUndo() const { return applied_ > 0; }
    bool CanRedo() const { return applied_ < steps_.size(); }
    // The step to take back (its changes reversed, last first) or to make again; null when
    // there is none. The caller changes the text.
    const HistoryStep* Undo();
    const HistoryStep* Redo();

    // The text as it is now is the text on disk.
    void MarkSaved();
    // No text of the history is the one on disk.
    void ForgetSavedPoint() { saved_.reset(); }
    // Whether the text is the one last marked saved (false when that step was dropped).
    bool AtSavedPoint() const { return saved_ && *saved_ == dropped_ + applied_; }

    // No steps. The text is the saved one, or when `textIsSaved` is false no text is until the
    // next MarkSaved (the history lost track of it).
    void Clear(bool textIsSaved = true);

    std::size_t StepCount() const { return steps_.size(); }
    std::size_t Bytes() const { return bytes_; }

private:
    bool JoinsRun(const HistoryStep& step, std::uint64_t nowMs) const;
    void DropOldest();

    HistoryLimits limits_;
    std::deque<HistoryStep> steps_;
    std::size_t applied_ = 0;        // steps_[0, applied_) are in the text
    std::uint64_t dropped_ = 0;      // steps dropped from the front since the last Clear
    std::optional<std::uint64_t> saved_ = 0;  // dropped_ + applied_ when the text was saved
    std::size_t bytes_ = 0;
    bool runOpen_ = false;
    std::uint64_t lastRecordMs_ = 0;
};

// What a step costs to keep, in bytes, as the bound counts it.
std::size_t StepBytes(const HistoryStep& step);

// Applies a step's changes to the text, or takes them back. False (text unchanged) when the
// step does not fit the text: a position past its end or a removed text that is not there.
bool ApplyStep(std::u16string& text, const HistoryStep& step);
bool RevertStep(std::u16string& text, const HistoryStep& step);

// The step that replaces every occurrence of `from` by `to`, left to right and never
// overlapping, as the replace-all of the search dialog does; no occurrences when `from` is empty.
ReplacedOccurrences ReplaceAllStep(std::u16string_view text, std::u16string_view from, std::u16string_view to);
