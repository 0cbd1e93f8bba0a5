// Marks a plain row loop to be compiled twice, for AVX2 and for the baseline, with the
// choice made once at load time. Integer loops give the same bytes either way.
#pragma once
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define KANDRIVEL_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define KANDRIVEL_VECTOR_CLONES
#endif
