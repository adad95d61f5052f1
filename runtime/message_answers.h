// The answers of a message box (the low 16 bits of its result), shared by
// the message box itself and the job threads that ask questions through
// their page.
#pragma once
#include "runtime/types.h"

constexpr u32 kAnswerOk = 0;
constexpr u32 kAnswerCancel = 1;
constexpr u32 kAnswerYes = 2;
constexpr u32 kAnswerNo = 3;
constexpr u32 kAnswerRetry = 4;
constexpr u32 kAnswerAbort = 5;
constexpr u32 kAnswerIgnore = 6;
constexpr u32 kAnswerError = 7;
