// The name an entry of an image takes on disk and on the clipboard: the
// ISO 9660 version goes, with the dot a name without an extension leaves
// before it; any other name is kept whole.
#include <gtest/gtest.h>

#include <string>

#include "iso_test_support.h"
#include "jobs/image/safe_name.h"

namespace {

TEST(OutsideName, TheVersionAndTheDotBeforeItGo) {
  const struct {
    std::u16string name, outside;
  } cases[] = {
      {u"THIS_IS_.TXT;1", u"THIS_IS_.TXT"},
      {u"README.;1", u"README"},
      {u"INNER.BIN;32767", u"INNER.BIN"},  // the highest version, five digits
      {u"A;2", u"A"},
      {u"FILE.TXT;123456", u"FILE.TXT;123456"},  // six digits: no version
      {u"FILE.TXT;", u"FILE.TXT;"},              // no digits
      {u"FILE.TXT;1A", u"FILE.TXT;1A"},
      {u"NAME;V1", u"NAME;V1"},
      {u"DOCS", u"DOCS"},
      {u"Joliet name.txt", u"Joliet name.txt"},
      {u"2024", u"2024"},  // digits alone are a name
      {u"A..;1", u"A."},   // one dot goes; the safe-name check refuses the rest
      {u";1", u""},
      {u".;1", u""},
      {u"", u""},
  };
  for (const auto& c : cases) {
    const i32 length = NameOutsideImageLength(c.name.data(), static_cast<i32>(c.name.size()));
    ASSERT_GE(length, 0) << isotest::ToUtf8(c.name);
    EXPECT_EQ(c.outside, c.name.substr(0, static_cast<size_t>(length))) << isotest::ToUtf8(c.name);
  }
  EXPECT_EQ(0, NameOutsideImageLength(nullptr, 4));
  // Only within the length given: the version after it is not seen.
  const std::u16string longer = u"README.TXT;1";
  EXPECT_EQ(6, NameOutsideImageLength(longer.data(), 6));
}

// What comes out must still pass the check before it becomes a path: a
// device name or a name left empty once its version went is refused.
TEST(OutsideName, TheShortenedNameIsWhatTheSafeCheckSees) {
  const struct {
    std::u16string name;
    bool safe;
  } cases[] = {{u"CON;1", false}, {u"NUL.;1", false}, {u";1", false}, {u"A..;1", false},
               {u"README.;1", true}, {u"COM10;1", true}};
  for (const auto& c : cases) {
    const i32 length = NameOutsideImageLength(c.name.data(), static_cast<i32>(c.name.size()));
    EXPECT_EQ(c.safe, IsSafePathComponent(c.name.data(), length)) << isotest::ToUtf8(c.name);
  }
}

}  // namespace
