#pragma once
// BMP files for tests, laid out as a writer would, with every field under
// control: the wizard loader's tests and velapack's picture checks.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vela::test {

inline void Put16(std::string& s, std::uint32_t v)
{
    s.push_back(static_cast<char>(v));
    s.push_back(static_cast<char>(v >> 8));
}
inline void Put32(std::string& s, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}

inline std::size_t Stride(int bits, int width) { return (static_cast<std::size_t>(bits) * width + 31) / 32 * 4; }

// A BMP file as a writer would lay it out, with every field under control.
struct Bmp {
    bool fileHeader = true;
    bool core = false;
    std::int32_t width = 5;
    std::int32_t height = 3;
    std::uint16_t planes = 1;
    std::uint16_t bits = 24;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t headerSize = 0;  // 0: 12 or 40 as core says
    std::vector<std::uint32_t> masks;  // bit fields: inside a longer header, after a 40-byte one
    std::vector<std::uint32_t> colours;  // 0x00RRGGBB, as many as are written
    std::size_t gap = 0;                 // bytes between the table and the pixels
    std::string pixels;                  // the rows as stored

    std::string File() const
    {
        std::string info;
        const std::uint32_t size = headerSize ? headerSize : (core ? 12 : 40);
        Put32(info, size);
        if (core) {
            Put16(info, static_cast<std::uint32_t>(width));
            Put16(info, static_cast<std::uint32_t>(height));
            Put16(info, planes);
            Put16(info, bits);
        } else {
            Put32(info, static_cast<std::uint32_t>(width));
            Put32(info, static_cast<std::uint32_t>(height));
            Put16(info, planes);
            Put16(info, bits);
            Put32(info, compression);
            Put32(info, sizeImage);
            Put32(info, 2835);
            Put32(info, 2835);
            Put32(info, coloursUsed);
            Put32(info, 0);
            if (size > 40) {
                for (std::uint32_t m : masks) Put32(info, m);
                info.resize(size, '\0');
            } else {
                info.resize(size, '\0');
                for (std::uint32_t m : masks) Put32(info, m);
            }
        }
        for (std::uint32_t c : colours) {
            info.push_back(static_cast<char>(c));        // blue
            info.push_back(static_cast<char>(c >> 8));   // green
            info.push_back(static_cast<char>(c >> 16));  // red
            if (!core) info.push_back('\0');
        }
        info += std::string(gap, '\x77');
        std::string file;
        if (fileHeader) {
            file = "BM";
            Put32(file, static_cast<std::uint32_t>(14 + info.size() + pixels.size()));
            Put32(file, 0);
            Put32(file, static_cast<std::uint32_t>(14 + info.size()));
        }
        return file + info + pixels;
    }
};

} // namespace vela::test
