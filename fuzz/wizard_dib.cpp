// The wizard's BMP loader (1-, 4-, 8-, 16-, 24- and 32-bit pictures) on any
// file. Oracle: a loaded picture's block holds exactly its header, colour
// table and stride x height bytes of rows, all readable, within the loader's
// limits.
#include "fuzz/FuzzCheck.h"

#include "installer/wizard/core/DibFile.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto file = vela::OpenMemoryFile(std::string(reinterpret_cast<const char*>(data), size));
    auto dib = vela::LoadDib(*file);
    if (!dib) return 0;
    FUZZ_CHECK(dib->Width() > 0 && dib->Width() <= vela::kDibMaxSide);
    FUZZ_CHECK(dib->Height() > 0 && dib->Height() <= vela::kDibMaxSide);
    const std::uint16_t bits = dib->BitsPerPixel();
    FUZZ_CHECK(bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32);
    FUZZ_CHECK(dib->ColourCount() <= 256);
    const std::size_t rowBytes = (static_cast<std::size_t>(dib->Width()) * bits + 7) / 8;
    FUZZ_CHECK(dib->Stride() >= rowBytes && dib->Stride() % 4 == 0 && dib->Stride() < rowBytes + 4);
    FUZZ_CHECK(dib->PixelBytes() == dib->Stride() * static_cast<std::size_t>(dib->Height()));
    FUZZ_CHECK(dib->PixelBytes() <= vela::kDibMaxPixelBytes);
    FUZZ_CHECK(dib->Pixels() == dib->ColourTable() + 4 * static_cast<std::size_t>(dib->ColourCount()));
    unsigned sum = 0;
    for (std::size_t i = 0; i < dib->BlockSize(); i += 97) sum += dib->Block()[i];
    sum += dib->Block()[dib->BlockSize() - 1];
    (void)sum;
    return 0;
}
