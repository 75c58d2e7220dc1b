#pragma once
// What the processor offers the capture's pixel and checksum code, asked at run time: one
// build serves every processor that runs Windows 7, from those with SSE2 only on.

// An aggregate in this order, so that a set names what it needs as {ssse3, sse41, pclmul, avx2}.
struct CpuFeatures {
    bool ssse3 = false;
    bool sse41 = false;
    bool pclmul = false;
    bool avx2 = false;  // the processor's, and the system saves the YMM registers
};

// The running processor's features; none on a processor other than x86.
CpuFeatures DetectCpuFeatures();
