// Allocation failures on demand, for the tests that check what a command
// does when memory runs out half-way: the test binary replaces the global
// operator new, which throws std::bad_alloc on the n-th allocation of the
// calling thread after FailNthAllocation(n) and behaves normally otherwise.
// A test may count its own stand-ins for other allocations (the memory
// question of a large block) as turns of the same countdown.
#pragma once

#include <cstddef>

namespace quillet::testing_support {

// The n-th allocation (from 1) of this thread from now fails; 0 disarms.
void FailNthAllocation(std::size_t n);
// Whether the armed failure happened since the last FailNthAllocation;
// disarms what is left.
bool AllocationFailed();
// One allocation of this thread that is not an operator new: false when it
// is the one that must fail (and then counts as the failure).
bool TakeAllocationTurn();

// The operator new blocks this thread took since the last
// StartCountingLiveBlocks that are not freed yet (whichever thread frees
// them): what a command that failed must have given back.
void StartCountingLiveBlocks();
long LiveBlocks();

}  // namespace quillet::testing_support
