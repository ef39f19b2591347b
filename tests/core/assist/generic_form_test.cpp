#include "core/assist/generic_form.h"

#include "core/edit/wrap_selection.h"
#include "core/settings/field_bytes.h"
#include "core/settings/settings.h"
#include "core/text/utf.h"
#include "support/memory_buffer.h"

#include <gtest/gtest.h>

#include <string>

namespace zu {
namespace {

GenericFormInput fromSettings(const Settings& s) {
    return {s.pageTitle, s.bodyOptions, s.fontFace, s.fontSize};
}

const std::string kDefaultOpen =
    "<html>\r\n"
    "<head>\r\n"
    "<meta NAME=\"GENERATOR\" Content=\"ZO 2.00\">\r\n"
    "<meta HTTP-EQUIV=\"Content-Type\" content=\"text/html; "
    "charset=x-sjis\">\r\n"
    "<title>title</title>\r\n"
    "</head>\r\n"
    "<body BGCOLOR=#ffffff LINK=#ff0000 VLINK=#0000ff ALINK=#000000>\r\n"
    "<font FACE=\"ＭＳ Ｐゴシック\" SIZE=3>\r\n"
    "\r\n";
const std::string kClose = "\r\n\r\n</font>\r\n</body>\r\n</html>\r\n";

TEST(GenericForm, DefaultsInAnEmptyDocument) {
    const Fragment form = genericForm(fromSettings(Settings{}));
    EXPECT_EQ(form.open, kDefaultOpen);
    EXPECT_EQ(form.close, kClose);
    EXPECT_EQ(utf8ToCp932(form.open).size(), 265u);

    MemoryBuffer buffer;
    WrapSelection(buffer, form);
    const long caret = caretAfterGenericForm(0, form);
    buffer.setSelection(caret, caret);

    EXPECT_EQ(buffer.text(),
              "<html>\n<head>\n<meta NAME=\"GENERATOR\" Content=\"ZO 2.00\">\n"
              "<meta HTTP-EQUIV=\"Content-Type\" content=\"text/html; "
              "charset=x-sjis\">\n<title>title</title>\n</head>\n"
              "<body BGCOLOR=#ffffff LINK=#ff0000 VLINK=#0000ff ALINK=#000000>\n"
              "<font FACE=\"ＭＳ Ｐゴシック\" SIZE=3>\n\n\n\n</font>\n</body>\n</html>\n");
    // 265 bytes less one for each of the face's seven double-byte characters
    // and one for each of the nine line breaks.
    EXPECT_EQ(caret, 249);
    // The start of the second of the three empty lines.
    EXPECT_EQ(utf8ToUtf16(buffer.text()).substr(static_cast<std::size_t>(caret), 10),
              u"\n\n</font>\n");
}

TEST(GenericForm, InputsGoInAsTheyStand) {
    struct Case {
        const char* name;
        GenericFormInput input;
        std::string open;
    };
    const Case cases[] = {
        {"empty options give a bare body tag",
         {"", "", "Arial", -2},
         "<html>\r\n<head>\r\n<meta NAME=\"GENERATOR\" Content=\"ZO 2.00\">\r\n"
         "<meta HTTP-EQUIV=\"Content-Type\" content=\"text/html; charset=x-sjis\">\r\n"
         "<title></title>\r\n</head>\r\n<body>\r\n<font FACE=\"Arial\" SIZE=-2>\r\n\r\n"},
        {"markup and quotes are not escaped",
         {"A&B <i>", "TEXT=\"red\"", "a\"b", 0, "utf-8"},
         "<html>\r\n<head>\r\n<meta NAME=\"GENERATOR\" Content=\"ZO 2.00\">\r\n"
         "<meta HTTP-EQUIV=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n"
         "<title>A&B <i></title>\r\n</head>\r\n<body TEXT=\"red\">\r\n"
         "<font FACE=\"a\"b\" SIZE=0>\r\n\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Fragment form = genericForm(c.input);
        EXPECT_EQ(form.open, c.open);
        EXPECT_EQ(form.close, kClose);
    }
}

// The caret goes to the start of the line holding the former selection,
// wherever in the text the form went in.
TEST(GenericForm, CaretEndsAtTheEndOfTheOpenText) {
    struct Case {
        const char* name;
        std::string text;
        long start, end; // the selection
        std::string title;
        long expectedCaret;
        std::u16string atCaret;
    };
    const Case cases[] = {
        {"empty document", "", 0, 0, "title", 249, u"\n\n</font>"},
        {"Hello selected at the start", "Hello", 0, 5, "title", 249, u"Hello\n\n</font>"},
        {"in the middle after Japanese text", "前書き\r\nHello\r\n後", 4, 9, "title", 253,
         u"Hello\n\n</font>"},
        {"a title beyond the basic plane", "前書き\r\nHello", 4, 9, "𠮷", 250, u"Hello\n\n</font>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GenericFormInput input = fromSettings(Settings{});
        input.pageTitle = c.title;
        const Fragment form = genericForm(input);
        MemoryBuffer buffer(c.text);
        buffer.setSelection(c.start, c.end);
        WrapSelection(buffer, form);
        const long caret = caretAfterGenericForm(c.start, form);
        EXPECT_EQ(caret, c.expectedCaret);
        EXPECT_EQ(
            utf8ToUtf16(buffer.text()).substr(static_cast<std::size_t>(caret), c.atCaret.size()),
            c.atCaret);
    }
}

} // namespace
} // namespace zu
