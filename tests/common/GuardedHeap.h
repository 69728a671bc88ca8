// A page heap for one test at a time: while a TGuardedHeap lives, every
// block that operator new gives has pages of its own, and a block deleted
// gives its pages back to the system, so touching freed memory ends the
// program at once (exit code 3, with a line on stderr) instead of finding
// the old bytes still there. Pages are never handed out twice. Blocks made
// before or after the scope are ordinary ones.
// Only programs that link tests/common/GuardedHeap.cpp have it (it replaces
// the global operator new and delete).
//
//   TGuardedHeap guard;            // before the objects under test are made
//   ... a use after free now ends the test program ...
#pragma once

namespace qv::test {

class TGuardedHeap {
public:
  TGuardedHeap();
  ~TGuardedHeap();
  TGuardedHeap(const TGuardedHeap&) = delete;
  TGuardedHeap& operator=(const TGuardedHeap&) = delete;

  // Blocks the scope has given and not yet seen deleted.
  static long LiveBlocks();
};

}  // namespace qv::test
