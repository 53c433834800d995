// A field's formatted runs: formats by range, and HTML read and written
// back as Flash writes it.
#include <gtest/gtest.h>

#include "swf/text/field_html.h"

namespace dc::swf {
namespace {

TextFormat Base() {
  TextFormat f;
  f.font = "Sans";
  f.size = 6;
  return f;
}

const std::string kOpen = R"(<P ALIGN="LEFT"><FONT FACE="Sans" SIZE="6" COLOR="#000000" LETTERSPACING="0" KERNING="0">)";
const std::string kClose = "</FONT></P>";

TEST(FieldHtml, ReadsAndWritesBackAsFlash) {
  struct Case {
    const char* html;
    bool multiline;
    const char* text;  // '\r' between paragraphs
    std::string written;
  };
  const Case cases[] = {
      {"test\n", false, "test\r", kOpen + "test" + kClose},
      {"\n\n", false, "\r\r", kOpen + kClose + kOpen + kClose},
      {"<b>\n</b>", false, "\r", kOpen + "<B></B>" + kClose},
      {"<p>test</p>\n", true, "test\r\r", kOpen + "test" + kClose + kOpen + kClose},
      {" <p>a</p> <p>b</p> ", false, " a b ", kOpen + " a b " + kClose},
      {"<i><a href=\"u\"><b>x</b></a></i>", false, "x", kOpen + R"(<A HREF="u" TARGET=""><B><I>x</I></B></A>)" + kClose},
      {"<font color=\"#  0a0B0c\">x</font>y", false, "xy",
       R"(<P ALIGN="LEFT"><FONT FACE="Sans" SIZE="6" COLOR="#0A0B0C" LETTERSPACING="0" KERNING="0">x<FONT COLOR="#000000">y</FONT>)" + kClose},
      {"<textformat leftmargin=\"5\" leading=\"2\"><li>a &amp; &lt;b&gt;</li></textformat>", false, "a & <b>",
       R"(<TEXTFORMAT LEFTMARGIN="5" LEADING="2"><LI><FONT FACE="Sans" SIZE="6" COLOR="#000000" LETTERSPACING="0" KERNING="0">a &amp; &lt;b&gt;</FONT></LI></TEXTFORMAT>)"},
      {"a <unknown>b</unknown> <c", false, "a b <c", kOpen + "a b &lt;c" + kClose},
  };
  for (const Case& c : cases) {
    const FieldDocument doc = ReadFieldHtml(c.html, Base(), HtmlReading{c.multiline, false});
    EXPECT_EQ(doc.Utf8(), c.text) << c.html;
    EXPECT_EQ(WriteFieldHtml(doc, Base()), c.written) << c.html;
  }
}

// Movies before SWF 8 drop text between tags that is only white space;
// a field of one line ignores <br> but breaks at its text's line ends.
TEST(FieldHtml, BlankTextAndBreaksByVersionAndLines) {
  struct Case {
    const char* html;
    bool multiline, beforeSwf8;
    const char* text;
  };
  const Case cases[] = {
      {" <p>a</p> <p>b</p> ", false, true, "ab"},
      {" <b> </b> ", false, true, ""},
      {"\n", false, true, ""},
      {" a <b> b </b>", false, true, " a  b "},
      {"\n", false, false, "\r"},
      {"a<br>b", false, false, "ab"},
      {"a<br>b", true, false, "a\rb"},
      {"a\nb", false, false, "a\rb"},
  };
  for (const Case& c : cases) {
    const FieldDocument doc = ReadFieldHtml(c.html, Base(), HtmlReading{c.multiline, false, c.beforeSwf8});
    EXPECT_EQ(doc.Utf8(), c.text) << c.html << c.multiline << c.beforeSwf8;
  }
}

// In a field of many lines: a <p> inside a <p> is the same paragraph, an
// <li> starts its own, and a tag's break takes its paragraph's last
// character's format, with the font of the last <font> that held no text.
TEST(FieldHtml, ParagraphTagsBreakAndTakeTheirFormatAsFlashDoes) {
  const std::string kLi = R"(<LI><FONT FACE="Sans" SIZE="6" COLOR="#000000" LETTERSPACING="0" KERNING="0">)";
  const std::string kLiClose = "</FONT></LI>";
  const std::string k111 = R"(<P ALIGN="LEFT"><FONT FACE="Sans" SIZE="6" COLOR="#111111" LETTERSPACING="0" KERNING="0">)";
  struct Case {
    const char* html;
    const char* text;
    std::string written;
  };
  const Case cases[] = {
      {"<p>a<p>b</p>c<p>d</p>e</p>", "ab\rcd\re", kOpen + "ab" + kClose + kOpen + "cd" + kClose + kOpen + "e" + kClose},
      {"t<li>a<li>b</li>c</li>", "t\ra\rb\rc\r",
       kOpen + "t" + kClose + kLi + "a" + kLiClose + kLi + "b" + kLiClose + kLi + "c" + kLiClose},
      {"<p><font color=\"#111111\">t</font></p>", "t\r", k111 + "t" + kClose},
      {"<p>t<font color=\"#121212\"></font><p>t</p></p>", "tt\r", kOpen + "tt<FONT COLOR=\"#121212\"></FONT>" + kClose},
      // </p> closes the outer paragraph under the open item.
      {"<p><li><p>t</p></li></p>", "t\r\r", kLi + "t" + kLiClose + kLi + kLiClose},
      {"<p><li>t</li></p>", "t\r\r", kLi + "t" + kLiClose + kOpen + kClose},
  };
  for (const Case& c : cases) {
    const FieldDocument doc = ReadFieldHtml(c.html, Base(), HtmlReading{true, false});
    EXPECT_EQ(doc.Utf8(), c.text) << c.html;
    EXPECT_EQ(WriteFieldHtml(doc, Base()), c.written) << c.html;
  }
}

// Sizes are whole numbers from 1 to 127; a closing tag closes only the
// innermost open tag; runs that differ only in paragraph fields write as one.
TEST(FieldHtml, SizesClosingTagsAndPiecesAsFlashWritesThem) {
  const auto sized = [](const char* size) {
    return std::string(R"(<P ALIGN="LEFT"><FONT FACE="Sans" SIZE=")") + size +
           R"(" COLOR="#000000" LETTERSPACING="0" KERNING="0">)";
  };
  struct Case {
    const char* html;
    bool multiline;
    std::string written;
  };
  const Case cases[] = {
      {"<font size=\"1.9\">a<font size=\"+0.2\">b</font></font>", false, sized("1") + "ab" + kClose},
      {"<font size=\"0\">a<font size=\"-1\">b</font></font>", false, sized("1") + "ab" + kClose},
      {"<font size=\"126\">a<font size=\"+1\">b<font size=\"+1\">c</font></font></font>", false,
       sized("126") + "a<FONT SIZE=\"127\">bc</FONT>" + kClose},
      {"<b>a<i>b</b>c</i>d</b>e", false, kOpen + "<B>a</B><B><I>bc</I></B><B>d</B>e" + kClose},
      {"<i>t<li>t</li></i>", false, kOpen + "<I>tt</I>" + kClose},
      {"<b><p align=\"right\"></p></b>", true,
       R"(<P ALIGN="RIGHT"><FONT FACE="Sans" SIZE="6" COLOR="#000000" LETTERSPACING="0" KERNING="0"></FONT></P>)"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(WriteFieldHtml(ReadFieldHtml(c.html, Base(), HtmlReading{c.multiline, false}), Base()), c.written) << c.html;
}

TEST(FieldHtml, CondensedWhiteIsOneSpaceWithinTextAndNotAcrossTags) {
  EXPECT_EQ(ReadFieldHtml("<b> a </b> <i> b </i>", Base(), HtmlReading{false, true}).Utf8(), " a   b ");
}

TEST(FieldHtml, CondensedWhiteIsOneSpaceAndBreaksOnlyFromTags) {
  const FieldDocument doc = ReadFieldHtml("a  \n\t b<br>c", Base(), HtmlReading{true, true});
  EXPECT_EQ(doc.Utf8(), "a b\rc");
}

// A run that returns to a format open further out closes back to it; any
// other change opens a FONT with only what differs.
TEST(FieldHtml, NestedFontsCloseBackToAnEqualLevel) {
  FieldDocument doc;
  doc.Set(U"hello bolded world", Base());
  PartialTextFormat face, big, serif;
  face.font = "Mono", big.size = 14, serif.font = "Sans";
  doc.Apply(4, 10, face);
  doc.Apply(8, 15, big);
  doc.Apply(10, 15, serif);
  EXPECT_EQ(WriteFieldHtml(doc, Base()),
            R"(<P ALIGN="LEFT"><FONT FACE="Sans" SIZE="6" COLOR="#000000" LETTERSPACING="0" KERNING="0">hell<FONT FACE="Mono">o bo<FONT SIZE="14">ld<FONT FACE="Sans">ed wo</FONT></FONT></FONT>rld</FONT></P>)");
}

// With a style sheet, <p>, <li>, <a> and tags of a movie's own making take
// their tag's style (a made-up tag without one is left out), any tag its
// class's over that, and the tag's attributes go over both.
TEST(FieldHtml, StylesByTagThenClassThenAttributes) {
  const auto colour = [](std::uint32_t c) {
    PartialTextFormat f;
    f.color = c;
    return f;
  };
  PartialTextFormat right;
  right.align = TextAlign::Right;
  HtmlReading how;
  how.styles = [&](std::string_view selector) -> std::optional<PartialTextFormat> {
    if (selector == "p") return right;
    if (selector == "a" || selector == "span" || selector == "font" || selector == "mine") return colour(0x0000FF);
    if (selector == ".red") return colour(0xFF0000);
    return std::nullopt;
  };
  struct Case {
    const char* html;
    std::uint32_t colour;  // of the text's last character
    TextAlign align;
  };
  const Case cases[] = {
      {"<p>x</p>", 0, TextAlign::Right},
      {"<p align=\"center\">x</p>", 0, TextAlign::Center},
      {"<a>x</a>", 0x0000FF, TextAlign::Left},
      {"<a class=\"red\">x</a>", 0xFF0000, TextAlign::Left},
      {"<span>x</span><font>y</font>", 0, TextAlign::Left},
      {"<span class=\"red\">x<font color=\"#00FF00\">y</font></span>", 0x00FF00, TextAlign::Left},
      {"<font color=\"#00FF00\">x<span class=\"red\">y</span></font>", 0xFF0000, TextAlign::Left},
      {"<span class=\" red\">x</span>", 0, TextAlign::Left},
      {"<span class=\"red\">x</span>y", 0, TextAlign::Left},
      {"<mine>x</mine>", 0x0000FF, TextAlign::Left},
      {"<mine class=\"red\">x</mine>", 0xFF0000, TextAlign::Left},
      {"<other>x</other>", 0, TextAlign::Left},
  };
  for (const Case& c : cases) {
    const FieldDocument doc = ReadFieldHtml(c.html, Base(), how);
    ASSERT_GT(doc.Length(), 0u) << c.html;
    const TextFormat* last = doc.FormatAt(doc.Length() - 1);
    ASSERT_NE(last, nullptr) << c.html;
    EXPECT_EQ(last->color, c.colour) << c.html;
    EXPECT_EQ(last->align, c.align) << c.html;
  }
}

TEST(FieldDocument, RangesReadWhatTheyAgreeOnAndParagraphFieldsCoverParagraphs) {
  FieldDocument doc;
  doc.Set(U"ab\rcd\ref", Base());
  PartialTextFormat set;
  set.bold = true;
  set.align = TextAlign::Center;
  doc.Apply(4, 5, set);  // 'd': bold itself, centred with its paragraph "cd\r"
  const PartialTextFormat cd = doc.FormatOf(3, 6);
  EXPECT_EQ(cd.align, TextAlign::Center);
  EXPECT_FALSE(cd.bold.has_value());
  EXPECT_EQ(doc.FormatOf(4, 5).bold, true);
  EXPECT_EQ(doc.FormatOf(0, 3).align, TextAlign::Left);
  EXPECT_EQ(doc.FormatOf(6, 8).align, TextAlign::Left);
  EXPECT_EQ(doc.FormatOf(2, 2), PartialTextFormat{});

  TextFormat red = Base();
  red.color = 0xFF0000;
  doc.Replace(1, 4, U"XY", red);  // "aXYd\ref"
  EXPECT_EQ(doc.Utf8(), "aXYd\ref");
  ASSERT_EQ(doc.Runs().size(), 5u);
  EXPECT_EQ(doc.Runs()[1].length, 2u);
  EXPECT_EQ(doc.Runs()[1].format.color, 0xFF0000u);
  EXPECT_TRUE(doc.Runs()[2].format.bold);
}

}  // namespace
}  // namespace dc::swf
