// A case about what a process does once (a static record's first use) runs
// in a process of its own, so that every run of it sees that first time: the
// child GoogleTest starts for a death test runs `body` and ends with its
// failures (which it does not report itself) on its error stream, shown by
// the parent when the child failed.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

inline void ExitWithTheCaseResult() {
  const testing::TestResult& result = *testing::UnitTest::GetInstance()->current_test_info()->result();
  for (int i = 0; i < result.total_part_count(); ++i) {
    const testing::TestPartResult& part = result.GetTestPartResult(i);
    std::fprintf(stderr, "%s:%d: %s\n", part.file_name() ? part.file_name() : "", part.line_number(), part.message());
  }
  std::exit(result.Failed() ? 1 : 0);
}

inline void ExpectInOwnProcess(void (*body)()) {
  EXPECT_EXIT({ body(); ExitWithTheCaseResult(); }, testing::ExitedWithCode(0), "");
}
