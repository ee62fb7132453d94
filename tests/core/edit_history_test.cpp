#include "editor/edit_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A text with its history, changed as the editor changes it.
struct Session {
    std::u16string text;
    TextSelection selection;
    EditHistory history;
    std::uint64_t now = 1000;

    void Change(ChangeKind kind, std::size_t at, std::u16string removed, std::u16string inserted, std::uint64_t delay = 10)
    {
        HistoryStep step{{{at, std::move(removed), std::move(inserted)}}, {}, selection, {}, kind};
        ASSERT_TRUE(ApplyStep(text, step));
        const std::size_t caret = at + step.changes[0].inserted.size();
        selection = step.after = {caret, caret};
        history.Record(std::move(step), now += delay);
    }
    void Type(std::u16string_view characters, std::uint64_t delay = 10)
    {
        for (char16_t c : characters)
            Change(ChangeKind::Typing, selection.start, text.substr(selection.start, selection.end - selection.start),
                   std::u16string(1, c), delay);
    }
    void Select(std::size_t start, std::size_t end)
    {
        selection = {start, end};
        history.BreakRun();
    }
    bool Undo()
    {
        const HistoryStep* step = history.Undo();
        if (step && RevertStep(text, *step))
            selection = step->before;
        return step != nullptr;
    }
    bool Redo()
    {
        const HistoryStep* step = history.Redo();
        if (step && ApplyStep(text, *step))
            selection = step->after;
        return step != nullptr;
    }
};

// How many steps each kind of change makes; undoing them all gives back the first text and
// selection, redoing them all the last.
TEST(EditHistory, StepsOfEveryKindOfChange)
{
    struct Case {
        const char* name;
        void (*make)(Session&);
        int steps;
    };
    const Case cases[] = {
        {"a typed run is one step", [](Session& s) { s.Type(u"int"); }, 1},
        {"a pause breaks a run", [](Session& s) { s.Type(u"ab"); s.Type(u"c", kTypingPauseMs + 1); }, 2},
        {"a pause just within does not", [](Session& s) { s.Type(u"ab"); s.Type(u"c", kTypingPauseMs); }, 1},
        {"a caret moved away and back breaks it", [](Session& s) { s.Type(u"ab"); s.Select(1, 1); s.Select(2, 2); s.Type(u"c"); }, 2},
        {"a line break between two runs",
         [](Session& s) { s.Type(u"a"); s.Change(ChangeKind::Other, 1, u"", u"\r\n  "); s.Type(u"b"); }, 3},
        {"typing over a selection, then on", [](Session& s) { s.Type(u"hello"); s.Select(0, 5); s.Type(u"bye"); }, 2},
        {"Backspaces in a row",
         [](Session& s) {
             s.Type(u"abcd");
             s.Select(4, 4);
             s.Change(ChangeKind::Backspace, 3, u"d", u"");
             s.Change(ChangeKind::Backspace, 1, u"bc", u"");
         },
         2},
        {"Deletes in a row, then a Backspace",
         [](Session& s) {
             s.Type(u"abcd");
             s.Select(1, 1);
             s.Change(ChangeKind::Delete, 1, u"b", u"");
             s.Change(ChangeKind::Delete, 1, u"c", u"");
             s.Change(ChangeKind::Backspace, 0, u"a", u"");
         },
         3},
        {"each paste or cut", [](Session& s) { s.Change(ChangeKind::Other, 0, u"", u"x;"); s.Change(ChangeKind::Other, 0, u"x", u""); }, 2},
    };
    for (const Case& c : cases) {
        Session session;
        c.make(session);
        const std::u16string last = session.text;
        const TextSelection lastSelection = session.selection;
        int steps = 0;
        while (session.Undo())
            ++steps;
        EXPECT_EQ(steps, c.steps) << c.name;
        EXPECT_EQ(session.text, u"") << c.name;
        EXPECT_EQ(session.selection, (TextSelection{0, 0})) << c.name;
        while (session.Redo()) {
        }
        EXPECT_EQ(session.text, last) << c.name;
        EXPECT_EQ(session.selection, lastSelection) << c.name;
    }
}

// A replace-all both ways; one that does not fit the text leaves it alone. (The fuzz target
// makes and takes back random steps of every form.)
TEST(EditHistory, AReplaceAllGoesBothWays)
{
    const std::u16string text = u"suma = suma + 1; sumasuma";
    HistoryStep step;
    step.replaced = ReplaceAllStep(text, u"suma", u"wynik");
    std::u16string changed = text;
    ASSERT_TRUE(ApplyStep(changed, step));
    EXPECT_EQ(changed, u"wynik = wynik + 1; wynikwynik");
    ASSERT_TRUE(RevertStep(changed, step));
    EXPECT_EQ(changed, text);
    std::u16string other = u"wynik = 1";
    EXPECT_FALSE(RevertStep(other, step));
    EXPECT_EQ(other, u"wynik = 1");
}

// Undo back to the saved text says it is as on disk; a saved text that undo can no longer reach
// (changed otherwise after undo, or dropped by the bound) is never reported.
TEST(EditHistory, TheSavedPointFollowsUndoAndRedo)
{
    Session session;
    session.Type(u"ab");
    session.history.MarkSaved();
    session.Type(u"c");  // after a save, typing starts a step of its own
    EXPECT_FALSE(session.history.AtSavedPoint());
    session.Undo();
    EXPECT_EQ(session.text, u"ab");
    EXPECT_TRUE(session.history.AtSavedPoint());
    session.Undo();
    EXPECT_FALSE(session.history.AtSavedPoint());
    session.Redo();
    EXPECT_TRUE(session.history.AtSavedPoint());

    session.Undo();
    session.Type(u"x", kTypingPauseMs + 1);
    while (session.Undo())
        EXPECT_FALSE(session.history.AtSavedPoint());

    Session bounded{{}, {}, EditHistory({.steps = 2, .bytes = SIZE_MAX})};
    bounded.history.MarkSaved();
    for (int i = 0; i < 3; ++i)
        bounded.Change(ChangeKind::Other, 0, u"", u"x");
    while (bounded.Undo()) {
    }
    EXPECT_EQ(bounded.text, u"x") << "the oldest step stays in the text";
    EXPECT_FALSE(bounded.history.AtSavedPoint());
}

TEST(EditHistory, TheBoundDropsTheOldestSteps)
{
    HistoryStep line;
    line.changes.push_back({0, u"", std::u16string(100, u'a')});
    const struct {
        HistoryLimits limits;
        std::size_t kept;  // at most
    } cases[] = {
        {{.steps = 3, .bytes = SIZE_MAX}, 3},
        {{.steps = 1000, .bytes = 10 * StepBytes(line)}, 10},
        {{.steps = 1000, .bytes = 1}, 1},  // a step larger than the bound is kept alone
    };
    for (const auto& c : cases) {
        Session session{{}, {}, EditHistory(c.limits)};
        for (int i = 0; i < 30; ++i)
            session.Change(ChangeKind::Other, 0, u"", std::u16string(100, u'a'));
        EXPECT_LE(session.history.StepCount(), c.kept);
        EXPECT_GE(session.history.StepCount(), c.kept == 10 ? 9u : c.kept);
        if (session.history.StepCount() > 1) {
            EXPECT_LE(session.history.Bytes(), c.limits.bytes);
        }
    }
}

}  // namespace
