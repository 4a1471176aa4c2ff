// Allocation failures on demand, for the tests that check what a command
// does when memory runs out half-way: the test binary replaces the global
// operator new, which throws std::bad_alloc on the n-th allocation of the
// calling thread after FailNthAllocation(n) and behaves normally otherwise.
#pragma once

#include <cstddef>

namespace quillet::testing_support {

// The n-th allocation (from 1) of this thread from now fails; 0 disarms.
void FailNthAllocation(std::size_t n);
// Whether the armed failure happened since the last FailNthAllocation;
// disarms what is left.
bool AllocationFailed();

}  // namespace quillet::testing_support
