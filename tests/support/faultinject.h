/*
 * faultinject.h - makes one chosen allocation fail, to drive the out-of-memory
 * paths of the code under test.
 *
 * Linking vornic_faultinject replaces the global operator new and delete in
 * all their forms (plain, array, nothrow, aligned).  Nothing changes until a
 * test arms a fault: then the n-th allocation from that moment fails once,
 * the throwing forms with std::bad_alloc and the nothrow forms with null, and
 * every later allocation succeeds again.
 */
#ifndef VORNIC_TESTS_FAULTINJECT_H
#define VORNIC_TESTS_FAULTINJECT_H

/* Makes the n-th allocation from now fail (n = 1: the very next one). */
void faultArm(long n);
/* Cancels an armed fault that has not fired yet. */
void faultDisarm();
/* Whether the armed allocation has failed since the last faultArm. */
bool faultFired();
/* Allocations made through operator new since the process started. */
unsigned long faultAllocationCount();

#endif
