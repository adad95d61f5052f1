// The answers of a message box that the program's questions compare with
// (the low 16 bits of a box's result), shared by the jobs, which ask through
// their page, and the message box that answers.
#pragma once
#include "runtime/types.h"

constexpr u32 kAnswerOk = 0;
constexpr u32 kAnswerCancel = 1;
constexpr u32 kAnswerYes = 2;
constexpr u32 kAnswerNo = 3;
