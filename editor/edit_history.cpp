#include "editor/edit_history.h"

#include <cstring>
#include <utility>

#include "text/unit_scan.h"
#include "text/written_string.h"

namespace {

// What a kept step costs beyond its texts: the record, its list of changes, the deque's slot.
constexpr std::size_t kStepOverhead = sizeof(HistoryStep) + sizeof(TextChange) + 16;

// Each change starts at or after the end of what the one before it put in, so each lies in the
// final text where it was made, and the whole step can be made or taken back in one pass.
bool Ascending(const std::vector<TextChange>& changes)
{
    for (std::size_t i = 1; i < changes.size(); ++i) {
        if (changes[i].position < changes[i - 1].position + changes[i - 1].inserted.size())
            return false;
    }
    return true;
}

bool Holds(std::u16string_view text, std::size_t at, std::u16string_view part)
{
    return at <= text.size() && part.size() <= text.size() - at && text.substr(at, part.size()) == part;
}

bool ApplyOne(std::u16string& text, std::size_t at, std::u16string_view removed, std::u16string_view inserted)
{
    if (!Holds(text, at, removed))
        return false;
    text.replace(at, removed.size(), inserted);
    return true;
}

// One pass over the text for an ascending step: `from` is what each change finds there, `to`
// what it leaves. Going forward, a change's place in the old text is its position less what the
// changes before it added; going back, it is its position in the new text.
bool RewriteAscending(std::u16string& text, const std::vector<TextChange>& changes, bool forward)
{
    std::u16string result;
    std::size_t cursor = 0;
    long long shift = 0;
    for (const TextChange& change : changes) {
        const std::u16string_view found = forward ? change.removed : change.inserted;
        const std::u16string_view left = forward ? change.inserted : change.removed;
        const long long signedAt = static_cast<long long>(change.position) - (forward ? shift : 0);
        if (signedAt < static_cast<long long>(cursor))
            return false;
        const auto at = static_cast<std::size_t>(signedAt);
        if (!Holds(text, at, found))
            return false;
        if (result.empty())
            result.reserve(text.size() + 64);
        result.append(text, cursor, at - cursor);
        result.append(left);
        cursor = at + found.size();
        shift += static_cast<long long>(change.inserted.size()) - static_cast<long long>(change.removed.size());
    }
    result.append(text, cursor, std::u16string::npos);
    text = std::move(result);
    return true;
}

// A replace-all made or taken back in one pass into a buffer of the exact size: each stretch
// between occurrences is copied whole. `found` is what lies at each occurrence now, `left` what
// takes its place.
bool RewriteOccurrences(std::u16string& text, const ReplacedOccurrences& step, bool forward)
{
    const std::u16string_view found = forward ? step.from : step.to;
    const std::u16string_view left = forward ? step.to : step.from;
    const std::size_t count = step.at.size();
    // Going back, each occurrence stands where the ones before it moved it.
    const auto place = [&](std::size_t k) {
        return forward ? step.at[k] : step.at[k] - k * step.from.size() + k * step.to.size();
    };
    std::size_t cursor = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t at = place(k);
        if (at < cursor || at > text.size() || found.size() > text.size() - at ||
            std::memcmp(text.data() + at, found.data(), found.size() * sizeof(char16_t)) != 0)
            return false;
        cursor = at + found.size();
    }
    const std::size_t length = text.size() - count * found.size() + count * left.size();
    const std::u16string_view in = text;
    text = WrittenString(length + kStretchRoom, [&](char16_t* out) {
        std::size_t copied = 0;
        for (std::size_t k = 0; k < count; ++k) {
            const std::size_t at = place(k);
            out = CopyStretch(in, copied, at, out);
            std::memcpy(out, left.data(), left.size() * sizeof(char16_t));
            out += left.size();
            copied = at + found.size();
        }
        CopyStretch(in, copied, in.size(), out);
        return length;
    });
    return true;
}

}  // namespace

std::size_t StepBytes(const HistoryStep& step)
{
    std::size_t bytes = kStepOverhead + step.replaced.at.capacity() * sizeof(std::size_t) +
                        (step.replaced.from.capacity() + step.replaced.to.capacity()) * sizeof(char16_t);
    for (const TextChange& change : step.changes)
        bytes += sizeof(TextChange) + (change.removed.capacity() + change.inserted.capacity()) * sizeof(char16_t);
    return bytes;
}

bool EditHistory::JoinsRun(const HistoryStep& step, std::uint64_t nowMs) const
{
    if (!runOpen_ || applied_ == 0 || applied_ != steps_.size() || step.changes.size() != 1)
        return false;
    // The text as saved stays a point of its own, reachable by undo.
    if (AtSavedPoint())
        return false;
    if (nowMs < lastRecordMs_ || nowMs - lastRecordMs_ > kTypingPauseMs)
        return false;
    const HistoryStep& last = steps_.back();
    if (last.kind != step.kind || last.changes.size() != 1 || last.after != step.before)
        return false;
    const TextChange& previous = last.changes.front();
    const TextChange& next = step.changes.front();
    switch (step.kind) {
    case ChangeKind::Typing:
        return next.removed.empty() && next.position == previous.position + previous.inserted.size();
    case ChangeKind::Backspace:
        return previous.inserted.empty() && next.inserted.empty() &&
               next.position + next.removed.size() == previous.position;
    case ChangeKind::Delete:
        return previous.inserted.empty() && next.inserted.empty() && next.position == previous.position;
    case ChangeKind::Other:
        return false;
    }
    return false;
}

bool EditHistory::Record(HistoryStep step, std::uint64_t nowMs)
{
    const bool joins = JoinsRun(step, nowMs);
    if (joins) {
        HistoryStep& last = steps_.back();
        TextChange& previous = last.changes.front();
        const TextChange& next = step.changes.front();
        const std::size_t before = StepBytes(last);
        // The run's new text is built aside, so a failure leaves the step as it was.
        TextChange joined = previous;
        if (step.kind == ChangeKind::Typing) {
            joined.inserted += next.inserted;
        } else if (step.kind == ChangeKind::Backspace) {
            joined.removed.insert(0, next.removed);
            joined.position = next.position;
        } else {
            joined.removed += next.removed;
        }
        previous = std::move(joined);
        last.after = step.after;
        bytes_ = bytes_ - before + StepBytes(last);
        lastRecordMs_ = nowMs;
    } else {
        const std::size_t cost = StepBytes(step);
        // Undone steps are dropped; a saved point among them can no longer be reached.
        while (steps_.size() > applied_) {
            bytes_ -= StepBytes(steps_.back());
            steps_.pop_back();
        }
        if (saved_ && *saved_ > dropped_ + applied_)
            saved_.reset();
        steps_.push_back(std::move(step));
        ++applied_;
        bytes_ += cost;
        runOpen_ = steps_.back().kind != ChangeKind::Other;
        lastRecordMs_ = nowMs;
    }
    while (steps_.size() > 1 && (steps_.size() > limits_.steps || bytes_ > limits_.bytes))
        DropOldest();
    return joins;
}

void EditHistory::DropOldest()
{
    bytes_ -= StepBytes(steps_.front());
    steps_.pop_front();
    --applied_;
    ++dropped_;
    if (saved_ && *saved_ < dropped_)
        saved_.reset();
}

const HistoryStep* EditHistory::Undo()
{
    runOpen_ = false;
    if (!CanUndo())
        return nullptr;
    --applied_;
    return &steps_[applied_];
}

const HistoryStep* EditHistory::Redo()
{
    runOpen_ = false;
    if (!CanRedo())
        return nullptr;
    return &steps_[applied_++];
}

void EditHistory::MarkSaved()
{
    saved_ = dropped_ + applied_;
    runOpen_ = false;
}

void EditHistory::Clear(bool textIsSaved)
{
    steps_.clear();
    applied_ = 0;
    dropped_ = 0;
    saved_.reset();
    if (textIsSaved)
        saved_ = 0;
    bytes_ = 0;
    runOpen_ = false;
}

bool ApplyStep(std::u16string& text, const HistoryStep& step)
{
    if (!step.replaced.at.empty())
        return RewriteOccurrences(text, step.replaced, true);
    if (Ascending(step.changes))
        return RewriteAscending(text, step.changes, true);
    std::u16string result = text;
    for (const TextChange& change : step.changes) {
        if (!ApplyOne(result, change.position, change.removed, change.inserted))
            return false;
    }
    text = std::move(result);
    return true;
}

bool RevertStep(std::u16string& text, const HistoryStep& step)
{
    if (!step.replaced.at.empty())
        return RewriteOccurrences(text, step.replaced, false);
    if (Ascending(step.changes))
        return RewriteAscending(text, step.changes, false);
    std::u16string result = text;
    for (auto change = step.changes.rbegin(); change != step.changes.rend(); ++change) {
        if (!ApplyOne(result, change->position, change->inserted, change->removed))
            return false;
    }
    text = std::move(result);
    return true;
}

ReplacedOccurrences ReplaceAllStep(std::u16string_view text, std::u16string_view from, std::u16string_view to)
{
    ReplacedOccurrences step{std::u16string(from), std::u16string(to), {}};
    if (from.empty())
        return step;
    step.at.reserve(CountOccurrences(text, from));
    ForEachOccurrence(text, from, [&step](std::size_t at) { step.at.push_back(at); });
    return step;
}
