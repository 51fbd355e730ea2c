#include "installer/package/Trailer.h"

#include <cstring>

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace vela {
namespace {

// One table of 256 entries, filled once: the bytes the folding below leaves
// (fewer than 64, or all of them on a processor without carry-less
// multiplication) go through it one at a time.
struct CrcTables {
    std::uint32_t t[256];
    CrcTables()
    {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
    }
};

// Filled when the program starts, not at first use: a function-local static
// would need a thread-safe guard, which brings the runtime's exceptions and
// threads library into the stub. Zero until then, so it takes no room in the
// file.
const CrcTables crcTables;

const CrcTables& Tables() { return crcTables; }

std::uint32_t Load32(const unsigned char* p)
{
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

std::uint64_t Load64(const unsigned char* p) { return Load32(p) | std::uint64_t{Load32(p + 4)} << 32; }

void Store32(char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>(v >> (8 * i));
}

bool ReadAt(IBinaryFile& file, std::uint64_t offset, void* buffer, std::size_t size)
{
    return file.Seek(offset) && file.Read(buffer, size) == size;
}

constexpr std::size_t kTagSize = sizeof kTrailerTag - 1;
constexpr std::size_t kEndSize = sizeof kTrailerEnd - 1;
static_assert(kTagSize + 4 + 8 + kEndSize == kTrailerSize);
// Alignment zeros a signing tool may put before the certificate table.
constexpr std::size_t kMaxSignaturePadding = 7;
// How far before the end a stray trailer tag is noticed.
constexpr std::size_t kTailWindow = 64 + kMaxSignaturePadding;
// The shortest piece of a tag that counts as a trailer cut inside its tag.
constexpr std::size_t kShortestTagPiece = 4;

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#define VELA_CRC_FOLDING 1
// Carry-less multiplication folds 16 bytes at a time (the method of Intel's
// "Fast CRC Computation for Generic Polynomials Using PCLMULQDQ", constants
// for the reflected polynomial 0xEDB88320). One lane: well beyond the speed
// of any disk, in a third of the code of four. crc is the running register
// (inverted); size is at least 16 and a multiple of 16.

alignas(16) const std::uint64_t kFold1[2] = {0x01751997d0, 0x00ccaa009e};
alignas(16) const std::uint64_t kFold64[2] = {0x0163cd6124, 0};
alignas(16) const std::uint64_t kBarrett[2] = {0x01db710641, 0x01f7011641};

__attribute__((target("pclmul,sse4.1"), force_align_arg_pointer)) std::uint32_t
FoldCrc32(std::uint32_t crc, const unsigned char* p, std::size_t size)
{
    __m128i x1 = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                               _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold1));
    for (p += 16, size -= 16; size >= 16; p += 16, size -= 16) {
        // x folded over 128 bits onto the next 16 bytes.
        const __m128i low = _mm_clmulepi64_si128(x1, k, 0x00);
        x1 = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x1, k, 0x11),
                                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
                           low);
    }

    // 128 bits to 64, then Barrett's reduction to 32.
    const __m128i mask = _mm_setr_epi32(~0, 0, ~0, 0);
    __m128i x2 = _mm_clmulepi64_si128(x1, k, 0x10);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2);
    k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kFold64));
    x2 = _mm_srli_si128(x1, 4);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask), k, 0x00), x2);
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(kBarrett));
    x2 = _mm_clmulepi64_si128(_mm_and_si128(x1, mask), k, 0x10);
    x2 = _mm_clmulepi64_si128(_mm_and_si128(x2, mask), k, 0x00);
    x1 = _mm_xor_si128(x1, x2);
    return static_cast<std::uint32_t>(_mm_extract_epi32(x1, 1));
}

// CPUID leaf 1: ECX bit 1 is PCLMULQDQ, bit 19 SSE4.1. Asked directly, so
// the stub does not carry the compiler's whole processor survey; asked once
// when the program starts (no guarded static, as for the tables).
const bool canFold = [] {
    unsigned a = 0, b = 0, c = 0, d = 0;
    return __get_cpuid(1, &a, &b, &c, &d) != 0 && (c & (1u << 1)) != 0 && (c & (1u << 19)) != 0;
}();

bool CanFold() { return canFold; }
#endif

} // namespace

std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size)
{
    const CrcTables& tables = Tables();
    const auto& t = tables.t;
    const unsigned char* p = static_cast<const unsigned char*>(data);
    crc = ~crc;
#ifdef VELA_CRC_FOLDING
    if (size >= 64 && CanFold()) {  // short pieces are not worth the set-up
        const std::size_t whole = size & ~std::size_t{15};
        crc = FoldCrc32(crc, p, whole);
        p += whole;
        size -= whole;
    }
#endif
    while (size-- > 0) crc = t[(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void FormatTrailer(std::uint32_t crc, std::uint64_t packageLength, char (&trailer)[kTrailerSize])
{
    std::memcpy(trailer, kTrailerTag, kTagSize);
    Store32(trailer + kTagSize, crc);
    Store32(trailer + kTagSize + 4, static_cast<std::uint32_t>(packageLength));
    Store32(trailer + kTagSize + 8, static_cast<std::uint32_t>(packageLength >> 32));
    std::memcpy(trailer + kTagSize + 12, kTrailerEnd, kEndSize);
}

namespace {

// FindCertificateTable in a file of the given length.
bool FindCertificateTableIn(IBinaryFile& file, std::uint64_t length, std::uint64_t& offset, std::uint64_t& size)
{
    unsigned char dos[64];
    if (length < sizeof dos || !ReadAt(file, 0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') return false;
    const std::uint64_t pe = Load32(dos + 0x3C);
    // Signature, file header and the optional header up to its data directories.
    unsigned char head[4 + 20 + 112 + 5 * 8];
    if (pe > length || length - pe < sizeof head || !ReadAt(file, pe, head, sizeof head)) return false;
    if (std::memcmp(head, "PE\0\0", 4) != 0) return false;
    const unsigned char* optional = head + 24;
    const unsigned magic = optional[0] | optional[1] << 8;
    std::size_t countAt = 0, directoriesAt = 0;
    if (magic == 0x10B) {
        countAt = 92;
        directoriesAt = 96;
    } else if (magic == 0x20B) {
        countAt = 108;
        directoriesAt = 112;
    } else {
        return false;
    }
    const unsigned optionalSize = head[4 + 16] | head[4 + 17] << 8;
    constexpr std::size_t kSecurityDirectory = 4;
    if (Load32(optional + countAt) <= kSecurityDirectory ||
        optionalSize < directoriesAt + (kSecurityDirectory + 1) * 8)
        return false;
    const unsigned char* entry = optional + directoriesAt + kSecurityDirectory * 8;
    offset = Load32(entry);
    size = Load32(entry + 4);
    return offset != 0 && size != 0;
}

} // namespace

bool FindCertificateTable(IBinaryFile& file, std::uint64_t& offset, std::uint64_t& size)
{
    return FindCertificateTableIn(file, file.Length(), offset, size);
}

TrailerInfo CheckTrailer(IBinaryFile& file, std::uint64_t packageOffset)
{
    TrailerInfo info;
    const std::uint64_t length = file.Length();
    std::uint64_t end = length;
    std::uint64_t tableOffset = 0, tableSize = 0;
    if (FindCertificateTableIn(file, length, tableOffset, tableSize) && tableOffset >= packageOffset &&
        tableOffset <= length && length - tableOffset == tableSize) {
        end = tableOffset;
        info.signatureFound = true;
    }
    if (end <= packageOffset) return info;

    unsigned char tail[kTailWindow];
    const std::size_t window = end - packageOffset < kTailWindow ? static_cast<std::size_t>(end - packageOffset)
                                                                  : kTailWindow;
    const std::uint64_t windowStart = end - window;
    if (!ReadAt(file, windowStart, tail, window)) {
        info.result = TrailerCheck::Unreadable;
        return info;
    }
    std::size_t used = window;
    if (info.signatureFound)
        for (std::size_t n = 0; n < kMaxSignaturePadding && used > 0 && tail[used - 1] == 0; ++n) --used;

    if (used >= kTrailerSize && std::memcmp(tail + used - kTrailerSize, kTrailerTag, kTagSize) == 0 &&
        std::memcmp(tail + used - kEndSize, kTrailerEnd, kEndSize) == 0) {
        const unsigned char* t = tail + used - kTrailerSize;
        info.trailerOffset = windowStart + used - kTrailerSize;
        info.storedCrc = Load32(t + kTagSize);
        info.packageLength = Load64(t + kTagSize + 4);
        if (info.packageLength != info.trailerOffset - packageOffset) {
            info.result = TrailerCheck::LengthMismatch;
            return info;
        }
        // One pass over the package, block by block.
        unsigned char block[32768];
        std::uint32_t crc = 0;
        if (!file.Seek(packageOffset)) {
            info.result = TrailerCheck::Unreadable;
            return info;
        }
        for (std::uint64_t left = info.packageLength; left > 0;) {
            const std::size_t want = left < sizeof block ? static_cast<std::size_t>(left) : sizeof block;
            if (file.Read(block, want) != want) {
                info.result = TrailerCheck::Unreadable;
                return info;
            }
            crc = Crc32(crc, block, want);
            left -= want;
        }
        info.computedCrc = crc;
        info.result = crc == info.storedCrc ? TrailerCheck::Sound : TrailerCheck::CrcMismatch;
        return info;
    }

    // No trailer at the end. A tag close before it means a trailer that was
    // cut short or is not of this layout: the file is damaged, not trailerless.
    // A whole tag is looked for first; only the last bytes can hold a
    // piece of one, so one pass from the front finds either.
    for (std::size_t p = 0; p + kShortestTagPiece <= used; ++p) {
        const std::size_t piece = used - p < kTagSize ? used - p : kTagSize;
        if (std::memcmp(tail + p, kTrailerTag, piece) != 0) continue;
        info.result = p + kTrailerSize > used ? TrailerCheck::Truncated : TrailerCheck::Misplaced;
        return info;
    }
    return info;
}

const char* DescribeTrailerCheck(TrailerCheck result)
{
    switch (result) {
    case TrailerCheck::Absent: return "no integrity trailer";
    case TrailerCheck::Sound: return "the integrity trailer matches";
    case TrailerCheck::Truncated: return "the integrity trailer is cut short";
    case TrailerCheck::Misplaced: return "a trailer tag lies before the end, but no trailer of this layout ends the file";
    case TrailerCheck::LengthMismatch: return "the trailer's package length does not match where the package lies";
    case TrailerCheck::CrcMismatch: return "the package bytes do not match the trailer's CRC-32";
    case TrailerCheck::Unreadable: return "the file cannot be read";
    }
    return "unknown";
}

} // namespace vela
