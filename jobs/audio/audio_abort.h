// The audio decode's view of the job's cancel, read from the streaming and
// decode threads while the job's threads set it: either a flags byte with
// the bits that mean "stop" (such as the job's stopped flag), or a test
// function over a context (for instance the job page's HasFlags). Portable.
#pragma once
#include <atomic>

#include "runtime/types.h"

struct AudioAbort {
  typedef bool (*Test)(const void* context);

  const std::atomic<u8>* flags = nullptr;
  u8 mask = 0;
  Test test = nullptr;
  const void* context = nullptr;

  static AudioAbort OnFlags(const std::atomic<u8>* flags, u8 mask) {
    AudioAbort abort;
    abort.flags = flags;
    abort.mask = mask;
    return abort;
  }
  static AudioAbort OnTest(Test test, const void* context) {
    AudioAbort abort;
    abort.test = test;
    abort.context = context;
    return abort;
  }

  bool IsSet() const {
    if (flags && (flags->load(std::memory_order_acquire) & mask) != 0) return true;
    return test && test(context);
  }
};
