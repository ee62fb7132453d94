#pragma once
// The scans and the codec take sixteen bytes at a time with SSE2 where the target has it, and
// plain loops otherwise. Both ways give the same results; tests turn the vector way off to run
// the plain one on a processor that has SSE2. Portable.

#if defined(__SSE2__) || defined(_M_X64)
#define SKOCZEK_SSE2 1
#endif

// True unless a test has turned the vector paths off.
inline bool vectorPathsAllowed = true;

inline void AllowVectorPaths(bool allowed)
{
    vectorPathsAllowed = allowed;
}
