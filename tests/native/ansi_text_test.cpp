// The native build's ANSI code page is Windows-1252.
#include <gtest/gtest.h>

#include "base/ansi_text.h"

TEST(AnsiText, Windows1252BothWays) {
  const std::string ansi = "\x80\x9f\xe9\xff A";
  const std::string utf8 = "\xe2\x82\xac\xc5\xb8\xc3\xa9\xc3\xbf A";  // euro, Y diaeresis, e acute, y diaeresis
  EXPECT_EQ(dc::AnsiToUtf8(ansi), utf8);
  EXPECT_EQ(dc::Utf8ToAnsi(utf8, dc::Unmappable::Refuse), ansi);
  EXPECT_EQ(dc::Utf8ToAnsi(utf8, dc::Unmappable::Substitute), ansi);
  EXPECT_EQ(dc::AnsiToUtf8("\x81"), "\xef\xbf\xbd") << "unassigned bytes show as the replacement character";
  EXPECT_FALSE(dc::Utf8ToAnsi("\xe4\xb8\xad", dc::Unmappable::Refuse));  // a CJK character has no place
  EXPECT_FALSE(dc::Utf8ToAnsi("\xc3", dc::Unmappable::Refuse));          // cut sequence
  EXPECT_EQ(dc::Utf8ToAnsi("a\xe4\xb8\xad" "b", dc::Unmappable::Substitute), "a?b");
}
