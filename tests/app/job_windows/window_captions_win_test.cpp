// The captions of the job windows in either language: the insert-disc
// prompt says it is waiting, the copy and erase windows carry the text of the
// command that opens them (the burn-image window's is checked with its run).
#include <gtest/gtest.h>

#include <string>

#include "app/job_windows/copy_disc_window.h"
#include "app/job_windows/erase_window.h"
#include "app/job_windows/insert_disc_prompt.h"
#include "runtime/ui_strings.h"

namespace {

class JobWindowCaptions : public ::testing::Test {
 protected:
  void SetUp() override { InstallBuiltInLanguages(); }
  void TearDown() override { SetCurrentLanguage(kLanguageEnglish); }
};

TEST_F(JobWindowCaptions, EachWindowCarriesItsOwnTextInEitherLanguage) {
  for (u32 language : {kLanguageEnglish, kLanguageSpanish}) {
    ASSERT_TRUE(SetCurrentLanguage(language));
    CInsertDiscPrompt prompt;
    CCopyDiscWindow copy;
    CEraseWindow erase;
    const struct {
      const char* window;
      const CWideString& title;
      u32 id;
    } rows[] = {
        {"insert-disc prompt", prompt.title, 152},
        {"copy disc", copy.title, 49},
        {"erase", erase.title, 52},
    };
    for (const auto& row : rows) {
      EXPECT_EQ(std::u16string(GetUiText(row.id)), std::u16string(row.title.c_str(), row.title.GetLength()))
          << row.window << ", language " << language;
    }
  }
}

}  // namespace
