// The bounded text helpers: each answers whether its result fit, leaves a result that did not
// fit empty, and never writes past the capacity it is given.
#include <gtest/gtest.h>

#include <string>

#include "plugin/text.h"

namespace {

constexpr wchar_t kGuard = L'#';

// A buffer whose characters past the capacity are guards that must survive every call.
struct Guarded {
  static constexpr int kCapacity = 8;
  wchar_t chars[kCapacity + 4];
  Guarded() {
    for (wchar_t& c : chars) c = kGuard;
    chars[0] = L'\0';
  }
  bool GuardsIntact() const {
    for (int i = kCapacity; i < kCapacity + 4; ++i) {
      if (chars[i] != kGuard) return false;
    }
    return true;
  }
};

}  // namespace

TEST(Text, CopyThatFits) {
  Guarded buffer;
  EXPECT_TRUE(TextCopy(buffer.chars, Guarded::kCapacity, L"1234567"));
  EXPECT_EQ(std::wstring(L"1234567"), buffer.chars);
  EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(Text, CopyThatDoesNotFitIsEmpty) {
  Guarded buffer;
  EXPECT_FALSE(TextCopy(buffer.chars, Guarded::kCapacity, L"12345678"));
  EXPECT_EQ(std::wstring(), buffer.chars);
  EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(Text, AppendThatFitsAndOneThatDoesNot) {
  Guarded buffer;
  ASSERT_TRUE(TextCopy(buffer.chars, Guarded::kCapacity, L"abc"));
  EXPECT_TRUE(TextAppend(buffer.chars, Guarded::kCapacity, L"defg"));
  EXPECT_EQ(std::wstring(L"abcdefg"), buffer.chars);
  EXPECT_FALSE(TextAppend(buffer.chars, Guarded::kCapacity, L"h"));
  EXPECT_EQ(std::wstring(), buffer.chars);
  EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(Text, FormatThatFitsAndOneThatDoesNot) {
  Guarded buffer;
  EXPECT_TRUE(TextFormat(buffer.chars, Guarded::kCapacity, L"%s-%s", {L"ab", L"cd"}));
  EXPECT_EQ(std::wstring(L"ab-cd"), buffer.chars);
  EXPECT_FALSE(TextFormat(buffer.chars, Guarded::kCapacity, L"%s-%s", {L"abcd", L"efg"}));
  EXPECT_EQ(std::wstring(), buffer.chars);
  EXPECT_TRUE(buffer.GuardsIntact());
}
