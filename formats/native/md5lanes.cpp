#include "formats/native/md5lanes.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

// Only these functions are compiled for AVX2, by their attribute rather than
// by a flag on the file: an inline function of a header compiled here with
// AVX2 could otherwise be the copy the linker keeps for the whole program.
#define PCW_AVX2 __attribute__((target("avx2")))

namespace md5lanes {

namespace {

// AVX2 has no rotation: two shifts and an or.
#define LANES_ROTL(x, s) _mm256_or_si256(_mm256_slli_epi32(x, s), _mm256_srli_epi32(x, 32 - (s)))

// The four functions of RFC 1321, lane by lane. G's two halves never share a
// bit, so their or is their sum; ~d & c is andnot's own order.
#define LANES_F(b, c, d) _mm256_xor_si256(d, _mm256_and_si256(b, _mm256_xor_si256(c, d)))
#define LANES_G(b, c, d) _mm256_or_si256(_mm256_and_si256(b, d), _mm256_andnot_si256(d, c))
#define LANES_H(b, c, d) _mm256_xor_si256(_mm256_xor_si256(b, c), d)
#define LANES_I(b, c, d) \
    _mm256_xor_si256(c, _mm256_or_si256(b, _mm256_xor_si256(d, _mm256_set1_epi32(-1))))

// a = b + ((a + f(b, c, d) + x[i] + t) <<< s) in every lane.
#define LANES_STEP(f, a, b, c, d, i, t, s)                                                   \
    a = _mm256_add_epi32(a, _mm256_add_epi32(x[i], _mm256_set1_epi32(static_cast<int>(t)))); \
    a = _mm256_add_epi32(a, f(b, c, d));                                                     \
    a = _mm256_add_epi32(LANES_ROTL(a, s), b)

// Turns eight rows of eight words (row k: eight words of lane k) into eight
// columns (column i: word i of every lane).
PCW_AVX2 inline void Transpose(__m256i r[8]) {
    const __m256i t0 = _mm256_unpacklo_epi32(r[0], r[1]);
    const __m256i t1 = _mm256_unpackhi_epi32(r[0], r[1]);
    const __m256i t2 = _mm256_unpacklo_epi32(r[2], r[3]);
    const __m256i t3 = _mm256_unpackhi_epi32(r[2], r[3]);
    const __m256i t4 = _mm256_unpacklo_epi32(r[4], r[5]);
    const __m256i t5 = _mm256_unpackhi_epi32(r[4], r[5]);
    const __m256i t6 = _mm256_unpacklo_epi32(r[6], r[7]);
    const __m256i t7 = _mm256_unpackhi_epi32(r[6], r[7]);
    // Each holds one word of lanes 0-3 in its low half, of the same lanes
    // four words further in its high half; u4-u7 the same for lanes 4-7.
    const __m256i u0 = _mm256_unpacklo_epi64(t0, t2);
    const __m256i u1 = _mm256_unpackhi_epi64(t0, t2);
    const __m256i u2 = _mm256_unpacklo_epi64(t1, t3);
    const __m256i u3 = _mm256_unpackhi_epi64(t1, t3);
    const __m256i u4 = _mm256_unpacklo_epi64(t4, t6);
    const __m256i u5 = _mm256_unpackhi_epi64(t4, t6);
    const __m256i u6 = _mm256_unpacklo_epi64(t5, t7);
    const __m256i u7 = _mm256_unpackhi_epi64(t5, t7);
    r[0] = _mm256_permute2x128_si256(u0, u4, 0x20);
    r[1] = _mm256_permute2x128_si256(u1, u5, 0x20);
    r[2] = _mm256_permute2x128_si256(u2, u6, 0x20);
    r[3] = _mm256_permute2x128_si256(u3, u7, 0x20);
    r[4] = _mm256_permute2x128_si256(u0, u4, 0x31);
    r[5] = _mm256_permute2x128_si256(u1, u5, 0x31);
    r[6] = _mm256_permute2x128_si256(u2, u6, 0x31);
    r[7] = _mm256_permute2x128_si256(u3, u7, 0x31);
}

// The sixteen words of one block of every lane, word i of all lanes in x[i].
PCW_AVX2 inline void LoadBlockWords(__m256i x[16], const uint8_t* const data[kLanes],
                                    size_t offset) {
    for (size_t half = 0; half < 2; ++half) {
        __m256i* rows = x + 8 * half;
        for (size_t k = 0; k < kLanes; ++k)
            rows[k] =
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data[k] + offset + 32 * half));
        Transpose(rows);
    }
}

}  // namespace

bool ProcessorHasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

PCW_AVX2 void TransformEight(LaneStates& states, const uint8_t* const data[kLanes], size_t blocks) {
    __m256i* const words = reinterpret_cast<__m256i*>(states.word);
    __m256i a = _mm256_loadu_si256(words), b = _mm256_loadu_si256(words + 1);
    __m256i c = _mm256_loadu_si256(words + 2), d = _mm256_loadu_si256(words + 3);
    __m256i x[16];
    for (size_t block = 0; block < blocks; ++block) {
        LoadBlockWords(x, data, 64 * block);
        const __m256i aa = a, bb = b, cc = c, dd = d;

        LANES_STEP(LANES_F, a, b, c, d, 0, 0xd76aa478, 7);
        LANES_STEP(LANES_F, d, a, b, c, 1, 0xe8c7b756, 12);
        LANES_STEP(LANES_F, c, d, a, b, 2, 0x242070db, 17);
        LANES_STEP(LANES_F, b, c, d, a, 3, 0xc1bdceee, 22);
        LANES_STEP(LANES_F, a, b, c, d, 4, 0xf57c0faf, 7);
        LANES_STEP(LANES_F, d, a, b, c, 5, 0x4787c62a, 12);
        LANES_STEP(LANES_F, c, d, a, b, 6, 0xa8304613, 17);
        LANES_STEP(LANES_F, b, c, d, a, 7, 0xfd469501, 22);
        LANES_STEP(LANES_F, a, b, c, d, 8, 0x698098d8, 7);
        LANES_STEP(LANES_F, d, a, b, c, 9, 0x8b44f7af, 12);
        LANES_STEP(LANES_F, c, d, a, b, 10, 0xffff5bb1, 17);
        LANES_STEP(LANES_F, b, c, d, a, 11, 0x895cd7be, 22);
        LANES_STEP(LANES_F, a, b, c, d, 12, 0x6b901122, 7);
        LANES_STEP(LANES_F, d, a, b, c, 13, 0xfd987193, 12);
        LANES_STEP(LANES_F, c, d, a, b, 14, 0xa679438e, 17);
        LANES_STEP(LANES_F, b, c, d, a, 15, 0x49b40821, 22);

        LANES_STEP(LANES_G, a, b, c, d, 1, 0xf61e2562, 5);
        LANES_STEP(LANES_G, d, a, b, c, 6, 0xc040b340, 9);
        LANES_STEP(LANES_G, c, d, a, b, 11, 0x265e5a51, 14);
        LANES_STEP(LANES_G, b, c, d, a, 0, 0xe9b6c7aa, 20);
        LANES_STEP(LANES_G, a, b, c, d, 5, 0xd62f105d, 5);
        LANES_STEP(LANES_G, d, a, b, c, 10, 0x02441453, 9);
        LANES_STEP(LANES_G, c, d, a, b, 15, 0xd8a1e681, 14);
        LANES_STEP(LANES_G, b, c, d, a, 4, 0xe7d3fbc8, 20);
        LANES_STEP(LANES_G, a, b, c, d, 9, 0x21e1cde6, 5);
        LANES_STEP(LANES_G, d, a, b, c, 14, 0xc33707d6, 9);
        LANES_STEP(LANES_G, c, d, a, b, 3, 0xf4d50d87, 14);
        LANES_STEP(LANES_G, b, c, d, a, 8, 0x455a14ed, 20);
        LANES_STEP(LANES_G, a, b, c, d, 13, 0xa9e3e905, 5);
        LANES_STEP(LANES_G, d, a, b, c, 2, 0xfcefa3f8, 9);
        LANES_STEP(LANES_G, c, d, a, b, 7, 0x676f02d9, 14);
        LANES_STEP(LANES_G, b, c, d, a, 12, 0x8d2a4c8a, 20);

        LANES_STEP(LANES_H, a, b, c, d, 5, 0xfffa3942, 4);
        LANES_STEP(LANES_H, d, a, b, c, 8, 0x8771f681, 11);
        LANES_STEP(LANES_H, c, d, a, b, 11, 0x6d9d6122, 16);
        LANES_STEP(LANES_H, b, c, d, a, 14, 0xfde5380c, 23);
        LANES_STEP(LANES_H, a, b, c, d, 1, 0xa4beea44, 4);
        LANES_STEP(LANES_H, d, a, b, c, 4, 0x4bdecfa9, 11);
        LANES_STEP(LANES_H, c, d, a, b, 7, 0xf6bb4b60, 16);
        LANES_STEP(LANES_H, b, c, d, a, 10, 0xbebfbc70, 23);
        LANES_STEP(LANES_H, a, b, c, d, 13, 0x289b7ec6, 4);
        LANES_STEP(LANES_H, d, a, b, c, 0, 0xeaa127fa, 11);
        LANES_STEP(LANES_H, c, d, a, b, 3, 0xd4ef3085, 16);
        LANES_STEP(LANES_H, b, c, d, a, 6, 0x04881d05, 23);
        LANES_STEP(LANES_H, a, b, c, d, 9, 0xd9d4d039, 4);
        LANES_STEP(LANES_H, d, a, b, c, 12, 0xe6db99e5, 11);
        LANES_STEP(LANES_H, c, d, a, b, 15, 0x1fa27cf8, 16);
        LANES_STEP(LANES_H, b, c, d, a, 2, 0xc4ac5665, 23);

        LANES_STEP(LANES_I, a, b, c, d, 0, 0xf4292244, 6);
        LANES_STEP(LANES_I, d, a, b, c, 7, 0x432aff97, 10);
        LANES_STEP(LANES_I, c, d, a, b, 14, 0xab9423a7, 15);
        LANES_STEP(LANES_I, b, c, d, a, 5, 0xfc93a039, 21);
        LANES_STEP(LANES_I, a, b, c, d, 12, 0x655b59c3, 6);
        LANES_STEP(LANES_I, d, a, b, c, 3, 0x8f0ccc92, 10);
        LANES_STEP(LANES_I, c, d, a, b, 10, 0xffeff47d, 15);
        LANES_STEP(LANES_I, b, c, d, a, 1, 0x85845dd1, 21);
        LANES_STEP(LANES_I, a, b, c, d, 8, 0x6fa87e4f, 6);
        LANES_STEP(LANES_I, d, a, b, c, 15, 0xfe2ce6e0, 10);
        LANES_STEP(LANES_I, c, d, a, b, 6, 0xa3014314, 15);
        LANES_STEP(LANES_I, b, c, d, a, 13, 0x4e0811a1, 21);
        LANES_STEP(LANES_I, a, b, c, d, 4, 0xf7537e82, 6);
        LANES_STEP(LANES_I, d, a, b, c, 11, 0xbd3af235, 10);
        LANES_STEP(LANES_I, c, d, a, b, 2, 0x2ad7d2bb, 15);
        LANES_STEP(LANES_I, b, c, d, a, 9, 0xeb86d391, 21);

        a = _mm256_add_epi32(a, aa);
        b = _mm256_add_epi32(b, bb);
        c = _mm256_add_epi32(c, cc);
        d = _mm256_add_epi32(d, dd);
    }
    _mm256_storeu_si256(words, a);
    _mm256_storeu_si256(words + 1, b);
    _mm256_storeu_si256(words + 2, c);
    _mm256_storeu_si256(words + 3, d);
}

#undef LANES_ROTL
#undef LANES_F
#undef LANES_G
#undef LANES_H
#undef LANES_I
#undef LANES_STEP

}  // namespace md5lanes

#else

namespace md5lanes {

bool ProcessorHasAvx2() {
    return false;
}

// Never called: no processor of this kind says it has AVX2.
void TransformEight(LaneStates&, const uint8_t* const[kLanes], size_t) {}

}  // namespace md5lanes

#endif
