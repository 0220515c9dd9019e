// HeapCheck.h: every Windows test executable allocates through a checking operator new and
// delete. Freed blocks are poisoned and kept a while, so a call through a freed component fails
// at once instead of by chance; a write into a freed block aborts the run with its size and
// address when the block is checked.
#ifndef KYT_TESTS_SUPPORT_HEAPCHECK_H
#define KYT_TESTS_SUPPORT_HEAPCHECK_H

namespace kyt {

// Checks every block still kept after freeing; the test main calls it after each test.
void CheckFreedBlocks();

}  // namespace kyt

#endif  // KYT_TESTS_SUPPORT_HEAPCHECK_H
