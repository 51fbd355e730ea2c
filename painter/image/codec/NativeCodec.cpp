// The native build's codec: libpng and libjpeg-turbo, as Debian ships them.
#include "painter/image/PictureCodec.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <jerror.h>
#include <new>

namespace rv {
namespace {

// ------------------------------------------------------------------ PNG

struct PngInput {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos;
    char reason[200];
};

void PngRead(png_structp png, png_bytep out, png_size_t count)
{
    auto* in = static_cast<PngInput*>(png_get_io_ptr(png));
    if (count > in->size - in->pos) png_error(png, "truncated");
    std::memcpy(out, in->data + in->pos, count);
    in->pos += count;
}

void PngError(png_structp png, png_const_charp message)
{
    auto* in = static_cast<PngInput*>(png_get_error_ptr(png));
    std::snprintf(in->reason, sizeof in->reason, "%s", message);
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

// Everything a decode owns, released whatever way the decode ends (libpng
// leaves by longjmp, so nothing with a destructor lives in that frame).
struct PngDecode {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::uint8_t* image = nullptr; // every row, for interlaced pictures
    std::uint8_t* row = nullptr;
    std::uint16_t* wide = nullptr;
    ~PngDecode()
    {
        delete[] image;
        delete[] row;
        delete[] wide;
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

// One decoded row (RGBA of 8 or 16 bits a channel, the 16-bit ones in the
// machine's order) as 16-bit RGBA.
void Widen(const std::uint8_t* row, int width, bool sixteen, std::uint16_t* out)
{
    const std::size_t n = 4 * static_cast<std::size_t>(width);
    if (sixteen) {
        std::memcpy(out, row, 2 * n);
    } else {
        for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint16_t>(row[i] * 257);
    }
}

bool DecodePngBytes(IPictureSink& sink, std::string& problem, PngDecode& d, PngInput& in)
{
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &in, PngError, PngWarning);
    if (!d.png) return false;
    d.info = png_create_info_struct(d.png);
    if (!d.info) return false;
    if (setjmp(png_jmpbuf(d.png))) {
        problem = in.reason[0] ? in.reason : "damaged";
        return false;
    }
    png_set_read_fn(d.png, &in, PngRead);
    // Chunks: the picture's own limits apply (the size test below); text
    // and other ancillary chunks are not kept.
    png_set_keep_unknown_chunks(d.png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_chunk_malloc_max(d.png, 8u << 20);
    // The size is the sink's to judge (the painter's own limit).
    png_set_user_limits(d.png, 0x7FFFFFFF, 0x7FFFFFFF);
    png_read_info(d.png, d.info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(d.png, d.info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    if (width > 0x7FFFFFFF || height > 0x7FFFFFFF ||
        !sink.Begin(static_cast<int>(width), static_cast<int>(height))) {
        problem = "refused size";
        return false;
    }
    // Everything becomes RGBA: palettes and small grey depths expanded,
    // transparency chunks made alpha, grey made RGB, opaque pictures given
    // an opaque alpha. No gamma or colour-profile correction: the stored
    // numbers are the depth.
    png_set_expand(d.png);
    png_set_gray_to_rgb(d.png);
    const bool sixteen = depth == 16;
    png_set_add_alpha(d.png, sixteen ? 0xFFFF : 0xFF, PNG_FILLER_AFTER);
    if (sixteen) {
        const unsigned one = 1;
        if (*reinterpret_cast<const unsigned char*>(&one) == 1) png_set_swap(d.png);
    }
    const int passes = png_set_interlace_handling(d.png);
    png_read_update_info(d.png, d.info);
    const std::size_t rowBytes = png_get_rowbytes(d.png, d.info);
    if (rowBytes != static_cast<std::size_t>(width) * (sixteen ? 8 : 4)) {
        problem = "unexpected row layout";
        return false;
    }
    d.wide = new (std::nothrow) std::uint16_t[4 * static_cast<std::size_t>(width)];
    if (!d.wide) return false;
    if (passes == 1) {
        d.row = new (std::nothrow) std::uint8_t[rowBytes];
        if (!d.row) return false;
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(d.png, d.row, nullptr);
            Widen(d.row, static_cast<int>(width), sixteen, d.wide);
            sink.Row(static_cast<int>(y), d.wide);
        }
    } else {
        d.image = new (std::nothrow) std::uint8_t[rowBytes * height];
        if (!d.image) {
            problem = "out of memory";
            return false;
        }
        for (int pass = 0; pass < passes; ++pass)
            for (png_uint_32 y = 0; y < height; ++y) png_read_row(d.png, d.image + rowBytes * y, nullptr);
        for (png_uint_32 y = 0; y < height; ++y) {
            Widen(d.image + rowBytes * y, static_cast<int>(width), sixteen, d.wide);
            sink.Row(static_cast<int>(y), d.wide);
        }
    }
    png_read_end(d.png, nullptr);
    return true;
}

// ----------------------------------------------------------------- JPEG

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char reason[JMSG_LENGTH_MAX];
    bool damaged; // data ran out or a segment broke off
};

void JpegExit(j_common_ptr info)
{
    auto* e = reinterpret_cast<JpegError*>(info->err);
    info->err->format_message(info, e->reason);
    std::longjmp(e->jump, 1);
}

void JpegWarning(j_common_ptr info, int level)
{
    // Warnings the library recovers from by inventing pixels: the file is
    // truncated or broken. Stray bytes between segments are harmless.
    auto* e = reinterpret_cast<JpegError*>(info->err);
    const int code = info->err->msg_code;
    if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_MUST_RESYNC))
        e->damaged = true;
}

struct JpegDecode {
    jpeg_decompress_struct info{};
    bool made = false;
    std::uint8_t* row = nullptr;
    std::uint16_t* wide = nullptr;
    ~JpegDecode()
    {
        delete[] row;
        delete[] wide;
        if (made) jpeg_destroy_decompress(&info);
    }
};

bool DecodeJpegBytes(const std::uint8_t* data, std::size_t size, IPictureSink& sink, std::string& problem,
                     JpegDecode& d, JpegError& error)
{
    d.info.err = jpeg_std_error(&error.mgr);
    error.mgr.error_exit = JpegExit;
    error.mgr.emit_message = JpegWarning;
    if (setjmp(error.jump)) {
        problem = error.reason[0] ? error.reason : "damaged";
        return false;
    }
    jpeg_create_decompress(&d.info);
    d.made = true;
    jpeg_mem_src(&d.info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&d.info, TRUE) != JPEG_HEADER_OK) {
        problem = "no picture";
        return false;
    }
    const bool cmyk = d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK;
    d.info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    d.info.dct_method = JDCT_ISLOW;
    const int width = static_cast<int>(d.info.image_width);
    const int height = static_cast<int>(d.info.image_height);
    if (d.info.image_width > 0x7FFFFFFF || d.info.image_height > 0x7FFFFFFF || !sink.Begin(width, height)) {
        problem = "refused size";
        return false;
    }
    jpeg_start_decompress(&d.info);
    const int channels = d.info.output_components;
    if (channels != (cmyk ? 4 : 3)) {
        problem = "unexpected colour layout";
        return false;
    }
    d.row = new (std::nothrow) std::uint8_t[static_cast<std::size_t>(width) * channels];
    d.wide = new (std::nothrow) std::uint16_t[4 * static_cast<std::size_t>(width)];
    if (!d.row || !d.wide) {
        problem = "out of memory";
        return false;
    }
    while (d.info.output_scanline < d.info.output_height) {
        const int y = static_cast<int>(d.info.output_scanline);
        JSAMPROW rows[1] = {d.row};
        if (jpeg_read_scanlines(&d.info, rows, 1) != 1) {
            problem = "truncated";
            return false;
        }
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = d.row + static_cast<std::size_t>(x) * channels;
            std::uint16_t* o = d.wide + 4 * static_cast<std::size_t>(x);
            if (cmyk) {
                // Inverted CMYK, as Adobe writes it: each ink times K.
                const unsigned k = p[3];
                for (int c = 0; c < 3; ++c) o[c] = static_cast<std::uint16_t>((p[c] * k + 127) / 255 * 257);
            } else {
                for (int c = 0; c < 3; ++c) o[c] = static_cast<std::uint16_t>(p[c] * 257);
            }
            o[3] = 0xFFFF;
        }
        sink.Row(y, d.wide);
    }
    // A picture whose data ran out was padded by the library with a warning;
    // it is damaged all the same.
    if (error.damaged) {
        problem = "truncated or corrupt data";
        return false;
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

// ------------------------------------------------------------ encoding

struct PngOutput {
    std::vector<std::uint8_t>* file;
    char reason[200];
};

void PngWrite(png_structp png, png_bytep data, png_size_t count)
{
    auto* out = static_cast<PngOutput*>(png_get_io_ptr(png));
    out->file->insert(out->file->end(), data, data + count);
}

void PngFlush(png_structp) {}

void PngWriteError(png_structp png, png_const_charp message)
{
    auto* out = static_cast<PngOutput*>(png_get_error_ptr(png));
    std::snprintf(out->reason, sizeof out->reason, "%s", message);
    png_longjmp(png, 1);
}

struct PngEncode {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::uint8_t* row = nullptr;
    ~PngEncode()
    {
        delete[] row;
        if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
    }
};

bool EncodePngRows(int width, int height, const std::uint8_t* top, std::ptrdiff_t step, PngEncode& e,
                   PngOutput& out, std::string& problem)
{
    e.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &out, PngWriteError, PngWarning);
    if (!e.png) return false;
    e.info = png_create_info_struct(e.png);
    if (!e.info) return false;
    e.row = new (std::nothrow) std::uint8_t[3 * static_cast<std::size_t>(width)];
    if (!e.row) return false;
    if (setjmp(png_jmpbuf(e.png))) {
        problem = out.reason;
        return false;
    }
    png_set_write_fn(e.png, &out, PngWrite, PngFlush);
    png_set_IHDR(e.png, e.info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(e.png, e.info);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* bgr = top + step * y;
        for (int x = 0; x < width; ++x) {
            e.row[3 * x] = bgr[3 * x + 2];
            e.row[3 * x + 1] = bgr[3 * x + 1];
            e.row[3 * x + 2] = bgr[3 * x];
        }
        png_write_row(e.png, e.row);
    }
    png_write_end(e.png, nullptr);
    return true;
}

class NativeCodec final : public IPictureCodec {
public:
    bool Decode(PictureFormat format, const std::uint8_t* data, std::size_t size, IPictureSink& sink,
                std::string& problem) override
    {
        if (format == PictureFormat::Png) {
            PngDecode d;
            PngInput in{data, size, 0, {}};
            return DecodePngBytes(sink, problem, d, in);
        }
        if (format == PictureFormat::Jpeg) {
            JpegDecode d;
            JpegError error{};
            return DecodeJpegBytes(data, size, sink, problem, d, error);
        }
        problem = "not a PNG or JPEG file";
        return false;
    }
    bool EncodePng(int width, int height, const std::uint8_t* top, std::ptrdiff_t step, std::vector<std::uint8_t>& file,
                   std::string& problem) override
    {
        file.clear();
        PngEncode e;
        PngOutput out{&file, {}};
        return EncodePngRows(width, height, top, step, e, out, problem);
    }
};

} // namespace

IPictureCodec& DefaultPictureCodec()
{
    static NativeCodec codec;
    return codec;
}

} // namespace rv
