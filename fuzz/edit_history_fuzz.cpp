// Random changes to a text, with random undo, redo and saves, against a model that keeps every
// text and selection the history can lead back to: undo and redo must give exactly those, the
// bound must hold, and the saved point must be reported exactly when the text is the saved one.

#include "editor/edit_history.h"

#include <optional>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {

constexpr std::u16string_view kAlphabet = u"ab \r\n";

struct State {
    std::u16string text;
    TextSelection selection;
    bool operator==(const State&) const = default;
};

// Every occurrence replaced, left to right, never overlapping, the plain way.
std::u16string ReplacedPlainly(std::u16string_view text, std::u16string_view from, std::u16string_view to)
{
    std::u16string out;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text.substr(at, from.size()) == from) {
            out += to;
            at += from.size();
        } else {
            out += text[at++];
        }
    }
    return out;
}

HistoryStep RandomStep(FuzzedDataProvider& input, const State& now, std::u16string& changed)
{
    HistoryStep step;
    // A replace-all of a piece of the text; the text stays small, as one can make it four times
    // as long.
    if (!now.text.empty() && now.text.size() <= 1024 && input.ConsumeIntegralInRange(0, 3) == 0) {
        const std::size_t at = input.ConsumeIntegralInRange<std::size_t>(0, now.text.size() - 1);
        const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(1, std::min<std::size_t>(3, now.text.size() - at));
        const std::u16string from = now.text.substr(at, length);
        const std::u16string to = ConsumeText(input, kAlphabet, 4);
        step.replaced = ReplaceAllStep(now.text, from, to);
        changed = ReplacedPlainly(now.text, from, to);
        step.before = now.selection;
        step.after = {0, 0};
        return step;
    }
    step.kind = static_cast<ChangeKind>(input.ConsumeIntegralInRange(0, 3));
    step.before = now.selection;
    changed = now.text;
    const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(1, 3);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = input.ConsumeIntegralInRange<std::size_t>(0, changed.size());
        const std::size_t removed = input.ConsumeIntegralInRange<std::size_t>(0, std::min<std::size_t>(4, changed.size() - at));
        TextChange change{at, changed.substr(at, removed), ConsumeText(input, kAlphabet, 4)};
        changed.replace(at, removed, change.inserted);
        step.changes.push_back(std::move(change));
    }
    const std::size_t caret = input.ConsumeIntegralInRange<std::size_t>(0, changed.size());
    step.after = {caret, caret};
    return step;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    HistoryLimits limits;
    limits.steps = input.ConsumeIntegralInRange<std::size_t>(1, 12);
    limits.bytes = input.ConsumeBool() ? SIZE_MAX : input.ConsumeIntegralInRange<std::size_t>(0, 4096);
    EditHistory history(limits);

    std::vector<State> states{{}};  // every state since the start; undo reaches back to `oldest`
    std::size_t at = 0;
    std::size_t oldest = 0;
    std::optional<std::size_t> saved = 0;
    State now;
    std::uint64_t clock = 0;

    while (input.remaining_bytes() > 0) {
        switch (input.ConsumeIntegralInRange(0, 6)) {
        case 0:
        case 1: {
            std::u16string changed;
            HistoryStep step = RandomStep(input, now, changed);
            {
                std::u16string text = now.text;
                Require(ApplyStep(text, step) && text == changed, "a step applies as its changes one by one");
                Require(RevertStep(text, step) && text == now.text, "a step reverts to the text before it");
            }
            if (input.ConsumeBool())
                history.BreakRun();
            clock += input.ConsumeIntegralInRange<std::uint64_t>(0, 2 * kTypingPauseMs);
            now = {changed, step.after};
            if (history.Record(std::move(step), clock)) {
                Require(at > oldest && at + 1 == states.size(), "only the newest step takes in a run");
                Require(!saved || *saved != at, "the saved text is never merged away");
                states[at] = now;
            } else {
                states.resize(at + 1);
                if (saved && *saved > at)
                    saved.reset();
                states.push_back(now);
                ++at;
            }
            Require(history.StepCount() >= 1 && history.StepCount() <= at, "the new step is kept");
            oldest = at - history.StepCount();
            break;
        }
        case 2:
        case 3: {
            const HistoryStep* step = history.Undo();
            Require((step != nullptr) == (at > oldest), "undo reaches back exactly to the oldest kept step");
            if (!step)
                break;
            Require(RevertStep(now.text, *step), "an undone step fits the text");
            now.selection = step->before;
            --at;
            Require(now == states[at], "undo gives back the text and selection before the step");
            break;
        }
        case 4: {
            const HistoryStep* step = history.Redo();
            Require((step != nullptr) == (at + 1 < states.size()), "redo goes exactly as far as undo came back");
            if (!step)
                break;
            Require(ApplyStep(now.text, *step), "a redone step fits the text");
            now.selection = step->after;
            ++at;
            Require(now == states[at], "redo gives back the text and selection after the step");
            break;
        }
        case 5:
            history.MarkSaved();
            saved = at;
            break;
        case 6:
            history.BreakRun();
            break;
        }
        Require(history.AtSavedPoint() == (saved && *saved == at && *saved >= oldest),
                "the saved point is reported exactly at the saved text");
        Require(history.Bytes() <= limits.bytes || history.StepCount() <= 1, "the bound on bytes holds");
        Require(history.StepCount() <= limits.steps, "the bound on steps holds");
    }
    return 0;
}
