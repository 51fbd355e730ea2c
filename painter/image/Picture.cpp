#include "painter/image/Picture.h"

#include "painter/image/Platform.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

namespace rv {
namespace {

constexpr std::size_t kMaxJpegScans = 200;
constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Fills a 24-bit picture row by row.
class DibSink final : public IPictureSink {
public:
    DibSink(CDibImage& image, long long maxPixels) : image_(image), maxPixels_(maxPixels) {}
    bool Begin(int width, int height) override
    {
        if (!CDibImage::SizeFits(width, height) ||
            (maxPixels_ > 0 && static_cast<long long>(width) * height > maxPixels_)) {
            tooLarge = true;
            return false;
        }
        if (!image_.Create(width, height)) {
            noMemory = true;
            return false;
        }
        return true;
    }
    void Row(int y, const std::uint16_t* rgba) override
    {
        if (y < 0 || y >= image_.Height()) return;
        std::uint8_t* p = image_.Bits() + static_cast<std::size_t>(image_.Height() - 1 - y) * image_.Stride();
        for (int x = 0; x < image_.Width(); ++x, p += 3, rgba += 4) {
            p[0] = OnWhite(rgba[2], rgba[3]);
            p[1] = OnWhite(rgba[1], rgba[3]);
            p[2] = OnWhite(rgba[0], rgba[3]);
        }
    }
    bool tooLarge = false;
    bool noMemory = false;

private:
    CDibImage& image_;
    long long maxPixels_;
};

// The whole file, when it is no larger than a picture may be.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, bool& tooLarge)
{
    tooLarge = false;
    std::FILE* file = OpenFile(path, "rb");
    if (!file) return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long length = ok ? std::ftell(file) : -1;
    ok = ok && length >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok && length > INT_MAX) {
        tooLarge = true;
        ok = false;
    }
    if (ok) {
        bytes.resize(static_cast<std::size_t>(length));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    return ok;
}

std::uint32_t Big32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

// The size a PNG's header or a JPEG's frame header states, read here so
// that every build refuses an oversized picture the same way before its
// codec sees a pixel. False when no size is found (the codec then finds
// the damage).
bool StatedSize(PictureFormat format, const std::uint8_t* data, std::size_t size, long long& width,
                long long& height)
{
    if (format == PictureFormat::Png) {
        if (size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0) return false;
        width = Big32(data + 16);
        height = Big32(data + 20);
        return true;
    }
    // JPEG: segments after the start-of-image marker, up to a frame header
    // (SOF0 to SOF15 but DHT, JPG and DAC).
    std::size_t at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xFF) return false;
        const std::uint8_t marker = data[at + 1];
        if (marker == 0xFF) {
            ++at; // fill byte
            continue;
        }
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            at += 2;
            continue;
        }
        const std::size_t length = static_cast<std::size_t>(data[at + 2]) << 8 | data[at + 3];
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            if (at + 9 > size || length < 7) return false;
            height = static_cast<long long>(data[at + 5]) << 8 | data[at + 6];
            width = static_cast<long long>(data[at + 7]) << 8 | data[at + 8];
            return true;
        }
        if (marker == 0xDA || marker == 0xD9 || length < 2) return false;
        at += 2 + length;
    }
    return false;
}

std::uint32_t Crc32(const std::uint8_t* p, std::size_t n)
{
    static const auto table = [] {
        std::vector<std::uint32_t> t(256);
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) c = table[(c ^ p[i]) & 0xFF] ^ (c >> 8);
    return ~c;
}

// The file's structure, checked the same way in every build (some system
// decoders read a cut-off file as far as it goes): a PNG is whole chunks
// with right CRCs from IHDR to IEND; a JPEG has its end-of-image marker
// after its first scan. Empty when sound, else the reason.
const char* StructureProblem(PictureFormat format, const std::uint8_t* data, std::size_t size)
{
    if (format == PictureFormat::Png) {
        std::size_t at = 8;
        bool first = true, sawData = false;
        while (true) {
            if (size - at < 12) return "truncated";
            const std::uint32_t length = Big32(data + at);
            if (length > 0x7FFFFFFFu || length > size - at - 12) return "truncated";
            const std::uint8_t* kind = data + at + 4;
            if (Crc32(kind, 4 + static_cast<std::size_t>(length)) != Big32(kind + 4 + length)) return "bad CRC";
            if (first && std::memcmp(kind, "IHDR", 4) != 0) return "no header chunk";
            first = false;
            if (std::memcmp(kind, "IDAT", 4) == 0) sawData = true;
            at += 12 + static_cast<std::size_t>(length);
            if (std::memcmp(kind, "IEND", 4) == 0) return sawData ? nullptr : "no image data";
        }
    }
    // A progressive file may hold any number of scans, each a pass over the
    // whole picture: a few kilobytes could keep the painter busy for
    // minutes. Real files have about ten. (Inside scan data an FF byte is
    // always followed by 00 or a restart marker, so every FF DA starts a
    // scan.)
    std::size_t scan = 2, scans = 0;
    while (scan + 1 < size && !(data[scan] == 0xFF && data[scan + 1] == 0xDA)) ++scan;
    for (std::size_t i = scan; i + 1 < size; ++i)
        if (data[i] == 0xFF && data[i + 1] == 0xDA && ++scans > kMaxJpegScans) return "more than 200 scans";
    for (std::size_t i = size; i >= scan + 2 && i >= 2; --i)
        if (data[i - 2] == 0xFF && data[i - 1] == 0xD9) return nullptr;
    return "truncated";
}

const char* DamagedMessage(PictureFormat format)
{
    return format == PictureFormat::Png ? kMsgDamagedPng : kMsgDamagedJpeg;
}

} // namespace

PictureFormat SniffPictureFormat(const std::uint8_t* data, std::size_t size)
{
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') return PictureFormat::Bmp;
    if (size >= 8 && std::memcmp(data, kPngSignature, 8) == 0) return PictureFormat::Png;
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return PictureFormat::Jpeg;
    return PictureFormat::Unknown;
}

bool DecodePicture(CDibImage& image, const std::uint8_t* data, std::size_t size, std::string& problem,
                   long long maxPixels, IPictureCodec& codec)
{
    const PictureFormat format = SniffPictureFormat(data, size);
    if (format != PictureFormat::Png && format != PictureFormat::Jpeg) {
        problem = "not a PNG or JPEG file";
        return false;
    }
    long long width = 0, height = 0;
    if (StatedSize(format, data, size, width, height) && width > 0 && height > 0 &&
        (!CDibImage::SizeFits(width, height) || (maxPixels > 0 && width * height > maxPixels))) {
        problem = kMsgPictureTooLarge;
        return false;
    }
    if (const char* damage = StructureProblem(format, data, size)) {
        problem = std::string(DamagedMessage(format)) + " (" + damage + ")";
        return false;
    }
    CDibImage picture;
    DibSink sink(picture, maxPixels);
    std::string reason;
    if (!codec.Decode(format, data, size, sink, reason) || picture.Empty()) {
        if (sink.tooLarge) problem = kMsgPictureTooLarge;
        else if (sink.noMemory) problem = "Imply memory error!";
        else problem = std::string(DamagedMessage(format)) + (reason.empty() ? "" : " (" + reason + ")");
        return false;
    }
    image.Swap(picture);
    return true;
}

bool LoadPicture(CDibImage& image, const std::string& path, std::string* reason)
{
    std::uint8_t head[8] = {};
    std::size_t got = 0;
    if (std::FILE* file = OpenFile(path, "rb")) {
        got = std::fread(head, 1, sizeof head, file);
        std::fclose(file);
    } else {
        return false;
    }
    const PictureFormat format = SniffPictureFormat(head, got);
    if (format != PictureFormat::Png && format != PictureFormat::Jpeg) return image.LoadBmp(path);

    std::vector<std::uint8_t> bytes;
    bool tooLarge = false;
    if (!ReadWholeFile(path, bytes, tooLarge)) {
        if (tooLarge) ShowMessage(kMsgPictureTooLarge);
        if (reason) *reason = tooLarge ? kMsgPictureTooLarge : "cannot read the file";
        return false;
    }
    std::string problem;
    if (!DecodePicture(image, bytes.data(), bytes.size(), problem)) {
        // The message box says what kind of failure; the codec's reason is
        // for the command-line tools.
        const std::size_t detail = problem.find(" (");
        ShowMessage(detail == std::string::npos ? problem : problem.substr(0, detail));
        if (reason) *reason = problem;
        return false;
    }
    return true;
}

bool ReadStatedSize(const std::string& path, long long& width, long long& height)
{
    std::FILE* file = OpenFile(path, "rb");
    if (!file) return false;
    std::vector<std::uint8_t> head(1 << 20);
    head.resize(std::fread(head.data(), 1, head.size(), file));
    std::fclose(file);
    const PictureFormat format = SniffPictureFormat(head.data(), head.size());
    if (format != PictureFormat::Png && format != PictureFormat::Jpeg) return false;
    return StatedSize(format, head.data(), head.size(), width, height);
}

bool SavePng(const CDibImage& image, const std::string& path)
{
    if (image.Empty()) return false;
    std::vector<std::uint8_t> file;
    std::string problem;
    // Top row first: the DIB keeps it last in memory.
    const std::uint8_t* top = image.Bits() + static_cast<std::size_t>(image.Height() - 1) * image.Stride();
    if (!DefaultPictureCodec().EncodePng(image.Width(), image.Height(), top, -static_cast<std::ptrdiff_t>(image.Stride()),
                                         file, problem))
        return false;
    return WriteFileWhole(path, [&file](std::FILE* f) { return std::fwrite(file.data(), 1, file.size(), f) == file.size(); });
}

bool HasPngExtension(const std::string& path)
{
    if (path.size() < 4) return false;
    std::string end = path.substr(path.size() - 4);
    for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return end == ".png";
}

bool SavePicture(const CDibImage& image, const std::string& path)
{
    return HasPngExtension(path) ? SavePng(image, path) : image.SaveBmp(path);
}

} // namespace rv
