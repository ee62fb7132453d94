#include <gtest/gtest.h>

#include <string>

#include "text/line_ends.h"

namespace {

// A file's line ends: which kind it keeps, the editor's CR LF form, and what a save writes back.
TEST(LineEnds, LoadAsCrLfAndSaveAsTheFileHadThem)
{
    struct Case {
        const char* what;
        std::u16string file;
        LineEnds kept;
        std::u16string inEditor;
        std::u16string saved;  // the editor's text written with the kept line ends
    };
    const Case cases[] = {
        {"no line end", u"int a;", LineEnds::CrLf, u"int a;", u"int a;"},
        {"empty", u"", LineEnds::CrLf, u"", u""},
        {"CR LF", u"a;\r\nb;\r\n", LineEnds::CrLf, u"a;\r\nb;\r\n", u"a;\r\nb;\r\n"},
        {"LF", u"a;\nb;\n", LineEnds::Lf, u"a;\r\nb;\r\n", u"a;\nb;\n"},
        {"CR", u"a;\rb;\r", LineEnds::Cr, u"a;\r\nb;\r\n", u"a;\rb;\r"},
        {"LF at both ends", u"\nx\n", LineEnds::Lf, u"\r\nx\r\n", u"\nx\n"},
        {"blank lines", u"\n\n\n", LineEnds::Lf, u"\r\n\r\n\r\n", u"\n\n\n"},
        {"mostly LF", u"a\nb\nc\r\nd", LineEnds::Lf, u"a\r\nb\r\nc\r\nd", u"a\nb\nc\nd"},
        {"mostly CR LF", u"a\r\nb\r\nc\nd", LineEnds::CrLf, u"a\r\nb\r\nc\r\nd", u"a\r\nb\r\nc\r\nd"},
        {"a tie keeps CR LF", u"a\r\nb\nc", LineEnds::CrLf, u"a\r\nb\r\nc", u"a\r\nb\r\nc"},
        {"LF CR is two line ends", u"a\n\rb", LineEnds::CrLf, u"a\r\n\r\nb", u"a\r\n\r\nb"},
        {"CR before CR LF", u"a\r\r\nb", LineEnds::CrLf, u"a\r\n\r\nb", u"a\r\n\r\nb"},
        {"last unit a CR", u"a\nb\nc\r", LineEnds::Lf, u"a\r\nb\r\nc\r\n", u"a\nb\nc\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LineEndsOf(c.file), c.kept) << c.what;
        std::u16string text = c.file;
        EXPECT_EQ(MakeLineEndsCrLf(text), c.file != c.inEditor) << c.what;
        EXPECT_EQ(text, c.inEditor) << c.what;
        EXPECT_EQ(WithLineEnds(text, c.kept), c.saved) << c.what;
    }
}

// What the user adds in the editor is written with the file's line ends too; a lone CR or LF
// that reached the control some other way is kept as it is.
TEST(LineEnds, WritingLeavesAnythingButCrLfAlone)
{
    EXPECT_EQ(WithLineEnds(u"a\r\n\r\n\tb\r\n", LineEnds::Lf), u"a\n\n\tb\n");
    EXPECT_EQ(WithLineEnds(u"a\nb\rc\r\n", LineEnds::Lf), u"a\nb\rc\n");
    EXPECT_EQ(WithLineEnds(u"a\nb\rc\r\n", LineEnds::Cr), u"a\nb\rc\r");
    EXPECT_EQ(WithLineEnds(u"\r", LineEnds::Lf), u"\r");
    EXPECT_EQ(WithLineEnds(u"ą\r\nę", LineEnds::Lf), u"ą\nę");
}

}  // namespace
