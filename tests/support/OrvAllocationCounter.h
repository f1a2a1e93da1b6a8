#ifndef ORV_TESTS_SUPPORT_ORVALLOCATIONCOUNTER_H
#define ORV_TESTS_SUPPORT_ORVALLOCATIONCOUNTER_H

// Counts the heap allocations of the whole program, the engine library's included, to show
// that a per-frame path allocates nothing. Linking the OrvAllocationCounter library replaces
// the global operator new and delete of the program that uses it; compare the count before
// and after the code under test.

unsigned long OrvAllocationCount();

#endif
