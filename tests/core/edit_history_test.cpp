#include "editor/edit_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A text with its history, changed as the editor changes it: each change is applied to the
// text and recorded with the selection it leaves.
class Session {
public:
    explicit Session(std::u16string text, HistoryLimits limits = {}) : text_(std::move(text)), history_(limits) {}

    void Change(ChangeKind kind, std::size_t at, std::u16string removed, std::u16string inserted,
                std::uint64_t delayMs = 10)
    {
        now_ += delayMs;
        HistoryStep step;
        step.before = selection_;
        step.changes.push_back({at, std::move(removed), std::move(inserted)});
        step.kind = kind;
        ASSERT_TRUE(ApplyStep(text_, step));
        const std::size_t caret = at + step.changes.back().inserted.size();
        selection_ = step.after = {caret, caret};
        history_.Record(std::move(step), now_);
    }
    void Type(std::u16string_view characters, std::uint64_t delayMs = 10)
    {
        for (char16_t c : characters)
            Change(ChangeKind::Typing, selection_.start, SelectedText(), std::u16string(1, c), delayMs);
    }
    void Select(std::size_t start, std::size_t end)
    {
        selection_ = {start, end};
        history_.BreakRun();
    }
    bool Undo()
    {
        const HistoryStep* step = history_.Undo();
        if (!step)
            return false;
        EXPECT_TRUE(RevertStep(text_, *step));
        selection_ = step->before;
        return true;
    }
    bool Redo()
    {
        const HistoryStep* step = history_.Redo();
        if (!step)
            return false;
        EXPECT_TRUE(ApplyStep(text_, *step));
        selection_ = step->after;
        return true;
    }
    std::u16string SelectedText() const { return text_.substr(selection_.start, selection_.end - selection_.start); }

    std::u16string text_;
    TextSelection selection_;
    EditHistory history_;
    std::uint64_t now_ = 1000;
};

int UndoAll(Session& session)
{
    int steps = 0;
    while (session.Undo())
        ++steps;
    return steps;
}

// How many undo steps each way of changing the text leaves, and that undoing them all gives back
// the first text and redoing them all the last, with the selection of each end.
TEST(EditHistory, StepsOfEveryKindOfChange)
{
    struct Case {
        const char* name;
        void (*make)(Session&);
        int steps;
        std::u16string_view after;
    };
    const std::vector<Case> cases = {
        {"a typed run is one step", [](Session& s) { s.Type(u"int"); }, 1, u"int"},
        {"a pause breaks a run", [](Session& s) { s.Type(u"ab"); s.Type(u"c", kTypingPauseMs + 1); }, 2, u"abc"},
        {"a pause just within does not", [](Session& s) { s.Type(u"ab"); s.Type(u"c", kTypingPauseMs); }, 1, u"abc"},
        {"a caret move breaks a run",
         [](Session& s) { s.Type(u"ab"); s.Select(1, 1); s.Type(u"x"); }, 2, u"axb"},
        {"a caret that moves away and back still breaks it",
         [](Session& s) { s.Type(u"ab"); s.Select(1, 1); s.Select(2, 2); s.Type(u"c"); }, 2, u"abc"},
        {"a line break is a step of its own between two runs",
         [](Session& s) {
             s.Type(u"a");
             s.Change(ChangeKind::Other, 1, u"", u"\r\n  ");
             s.Type(u"b");
         },
         3, u"a\r\n  b"},
        {"typing over a selection, then on, is one step",
         [](Session& s) { s.Type(u"hello"); s.Select(0, 5); s.Type(u"bye"); }, 2, u"bye"},
        {"Backspaces in a row are one step",
         [](Session& s) {
             s.Type(u"abcd");
             s.Select(4, 4);
             s.Change(ChangeKind::Backspace, 3, u"d", u"");
             s.Change(ChangeKind::Backspace, 2, u"c", u"");
             s.Change(ChangeKind::Backspace, 0, u"ab", u"");
         },
         2, u""},
        {"Deletes in a row are one step",
         [](Session& s) {
             s.Type(u"abcd");
             s.Select(1, 1);
             s.Change(ChangeKind::Delete, 1, u"b", u"");
             s.Change(ChangeKind::Delete, 1, u"c", u"");
         },
         2, u"ad"},
        {"Backspace then Delete are two steps",
         [](Session& s) {
             s.Type(u"abc");
             s.Select(2, 2);
             s.Change(ChangeKind::Backspace, 1, u"b", u"");
             s.Change(ChangeKind::Delete, 1, u"c", u"");
         },
         3, u"a"},
        {"typing after Backspace is a new step",
         [](Session& s) {
             s.Type(u"ab");
             s.Change(ChangeKind::Backspace, 1, u"b", u"");
             s.Type(u"c");
         },
         3, u"ac"},
        {"each paste is a step",
         [](Session& s) {
             s.Change(ChangeKind::Other, 0, u"", u"x = 1;");
             s.Change(ChangeKind::Other, 6, u"", u"x = 1;");
         },
         2, u"x = 1;x = 1;"},
        {"a cut is a step", [](Session& s) { s.Type(u"abc"); s.Select(0, 2); s.Change(ChangeKind::Other, 0, u"ab", u""); },
         2, u"c"},
    };
    for (const Case& c : cases) {
        Session session(u"");
        c.make(session);
        const std::u16string last = session.text_;
        const TextSelection lastSelection = session.selection_;
        EXPECT_EQ(last, c.after) << c.name;
        EXPECT_EQ(UndoAll(session), c.steps) << c.name;
        EXPECT_EQ(session.text_, u"") << c.name;
        EXPECT_EQ(session.selection_, (TextSelection{0, 0})) << c.name;
        while (session.Redo()) {
        }
        EXPECT_EQ(session.text_, last) << c.name;
        EXPECT_EQ(session.selection_, lastSelection) << c.name;
    }
}

TEST(EditHistory, UndoPutsBackTheSelectionOfEachStep)
{
    Session session(u"one\r\ntwo");
    session.Select(0, 8);
    // An indent as the command makes it: the lines replaced, the result selected.
    HistoryStep indent;
    indent.before = {0, 8};
    indent.changes.push_back({0, u"one\r\ntwo", u"one\r\n  two"});
    indent.after = {0, 10};
    ASSERT_TRUE(ApplyStep(session.text_, indent));
    session.history_.Record(indent, 2000);
    session.selection_ = indent.after;
    session.Select(10, 10);
    session.Type(u";");

    ASSERT_TRUE(session.Undo());
    EXPECT_EQ(session.text_, u"one\r\n  two");
    EXPECT_EQ(session.selection_, (TextSelection{10, 10}));
    ASSERT_TRUE(session.Undo());
    EXPECT_EQ(session.text_, u"one\r\ntwo");
    EXPECT_EQ(session.selection_, (TextSelection{0, 8}));
    EXPECT_FALSE(session.Undo());
    ASSERT_TRUE(session.Redo());
    EXPECT_EQ(session.selection_, (TextSelection{0, 10}));
}

// A replace-all step, and a step of changes that go backwards, both ways.
TEST(EditHistory, StepsOfManyChangesGoBothWays)
{
    const std::u16string text = u"suma = suma + 1; sumasuma";
    struct Case {
        const char* name;
        std::u16string before;
        HistoryStep step;
        std::u16string_view after;
    };
    const auto replaceAll = [](std::u16string_view in, std::u16string_view from, std::u16string_view to) {
        HistoryStep step;
        step.replaced = ReplaceAllStep(in, from, to);
        return step;
    };
    HistoryStep backwards;
    backwards.changes = {{10, u"", u"x"}, {0, u"suma", u"y"}};
    const std::vector<Case> cases = {
        {"longer", text, replaceAll(text, u"suma", u"wynik"), u"wynik = wynik + 1; wynikwynik"},
        {"shorter", text, replaceAll(text, u"suma", u"s"), u"s = s + 1; ss"},
        {"to nothing", text, replaceAll(text, u"suma", u""), u" =  + 1; "},
        {"not overlapping", u"aaaaa", replaceAll(u"aaaaa", u"aa", u"b"), u"bba"},
        {"right to left", text, backwards, u"y = sumxa + 1; sumasuma"},
    };
    for (const Case& c : cases) {
        std::u16string changed = c.before;
        ASSERT_TRUE(ApplyStep(changed, c.step)) << c.name;
        EXPECT_EQ(changed, c.after) << c.name;
        ASSERT_TRUE(RevertStep(changed, c.step)) << c.name;
        EXPECT_EQ(changed, c.before) << c.name;
    }
    EXPECT_TRUE(ReplaceAllStep(text, u"", u"x").at.empty());
    EXPECT_TRUE(ReplaceAllStep(text, u"none", u"x").at.empty());
    // A replace-all taken back from a text it did not make is refused.
    std::u16string other = u"wynik = 1";
    EXPECT_FALSE(RevertStep(other, replaceAll(text, u"suma", u"wynik")));
    EXPECT_EQ(other, u"wynik = 1");

    // A step that does not fit the text leaves it alone.
    struct Misfit {
        TextChange change;
        bool forward;
    };
    const std::vector<Misfit> misfits = {
        {{0, u"xyz", u""}, true},   // removes what is not there
        {{4, u"", u"a"}, true},     // past the end
        {{1, u"", u"zz"}, false},   // takes back what is not there
        {{2, u"b", u"cd"}, false},   // the taken-back text is there, but reaches past the end
    };
    for (const Misfit& misfit : misfits) {
        HistoryStep wrong;
        wrong.changes = {misfit.change, {0, u"", u"a"}};  // two changes, out of order
        HistoryStep single;
        single.changes = {misfit.change};
        for (const HistoryStep* step : {&wrong, &single}) {
            std::u16string unchanged = u"abc";
            EXPECT_FALSE(misfit.forward ? ApplyStep(unchanged, *step) : RevertStep(unchanged, *step));
            EXPECT_EQ(unchanged, u"abc");
        }
    }
}

// The saved point: undo back to it says the text is as on disk, steps past it and away from
// it say it is not, and a point that can no longer be reached is never reported.
TEST(EditHistory, TheSavedPointFollowsUndoAndRedo)
{
    Session session(u"");
    session.Type(u"ab");
    session.history_.MarkSaved();
    EXPECT_TRUE(session.history_.AtSavedPoint());
    session.Type(u"c");  // after a save, typing starts a step of its own
    EXPECT_FALSE(session.history_.AtSavedPoint());
    session.Undo();
    EXPECT_EQ(session.text_, u"ab");
    EXPECT_TRUE(session.history_.AtSavedPoint());
    session.Undo();
    EXPECT_FALSE(session.history_.AtSavedPoint());
    session.Redo();
    EXPECT_TRUE(session.history_.AtSavedPoint());
    session.Redo();
    EXPECT_FALSE(session.history_.AtSavedPoint());

    // Saved, undone, then changed otherwise: the saved text is gone from the history.
    session.Undo();
    session.Undo();
    session.Type(u"x", kTypingPauseMs + 1);
    EXPECT_FALSE(session.history_.AtSavedPoint());
    while (session.Undo())
        EXPECT_FALSE(session.history_.AtSavedPoint());

    // A new text is the saved one and has no steps.
    session.history_.Clear();
    EXPECT_TRUE(session.history_.AtSavedPoint());
    EXPECT_FALSE(session.history_.CanUndo());
    EXPECT_FALSE(session.history_.CanRedo());
}

HistoryStep StepOfLine(std::size_t length)
{
    HistoryStep step;
    step.changes.push_back({0, u"", std::u16string(length, u'a')});
    return step;
}

TEST(EditHistory, TheBoundDropsTheOldestSteps)
{
    struct Case {
        const char* name;
        HistoryLimits limits;
        int steps;
        std::size_t length;
        std::size_t kept;  // at most; by bytes, the steps' sizes decide exactly
    };
    const std::vector<Case> cases = {
        {"by count", {.steps = 3, .bytes = SIZE_MAX}, 10, 1, 3},
        {"by bytes", {.steps = 1000, .bytes = 10 * StepBytes(StepOfLine(100))}, 30, 100, 10},
        {"one step larger than the bound is kept", {.steps = 1000, .bytes = 1}, 3, 10, 1},
    };
    for (const Case& c : cases) {
        Session session(u"", c.limits);
        for (int i = 0; i < c.steps; ++i) {
            const std::u16string line(c.length, static_cast<char16_t>(u'a' + i));
            session.Change(ChangeKind::Other, session.text_.size(), u"", line);
        }
        EXPECT_LE(session.history_.StepCount(), c.kept) << c.name;
        EXPECT_GE(session.history_.StepCount(), 1u) << c.name;
        if (session.history_.StepCount() > 1) {
            EXPECT_LE(session.history_.Bytes(), c.limits.bytes) << c.name;
        }
        if (c.limits.bytes == SIZE_MAX) {
            EXPECT_EQ(session.history_.StepCount(), c.kept) << c.name;
        }
        const std::size_t kept = session.history_.StepCount();
        EXPECT_EQ(UndoAll(session), static_cast<int>(kept)) << c.name;
        EXPECT_EQ(session.text_.size(), (c.steps - kept) * c.length) << c.name << ": the oldest stay in the text";
    }

    // The saved point among the dropped steps can no longer be reached.
    Session session(u"", {.steps = 2, .bytes = SIZE_MAX});
    session.history_.MarkSaved();
    for (int i = 0; i < 3; ++i)
        session.Change(ChangeKind::Other, 0, u"", u"x");
    UndoAll(session);
    EXPECT_FALSE(session.history_.AtSavedPoint());
}

}  // namespace
