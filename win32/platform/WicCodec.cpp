// The Windows programs' codec: the system's imaging component (WIC), which
// every Windows since XP SP3 carries, so no DLL ships with the painter.
// Pixels are asked for as 8-bit RGBA without premultiplied alpha, and
// pictures of 16 bits a channel are read as they are; laying them on white
// and rounding to 8 bits happen in the portable core, the same in every
// build.
#include "painter/image/PictureCodec.h"

#include <windows.h>
#include <wincodec.h>

#include <new>
#include <vector>

namespace rv {
namespace {

// Releases a COM interface when it goes.
template <class T>
class Com {
public:
    Com() = default;
    ~Com()
    {
        if (p_) p_->Release();
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    T** operator&() { return &p_; }
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// COM for this thread for as long as a decode runs (the painter's thread
// may have it already, in either model).
class ComScope {
public:
    ComScope()
    {
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        owned_ = hr == S_OK || hr == S_FALSE;
        usable_ = owned_ || hr == RPC_E_CHANGED_MODE;
    }
    ~ComScope()
    {
        if (owned_) CoUninitialize();
    }
    bool Usable() const { return usable_; }

private:
    bool owned_ = false;
    bool usable_ = false;
};

bool Factory(Com<IWICImagingFactory>& factory)
{
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(&factory)));
}

// Where red, green, blue and alpha lie in a pixel (-1: none; alpha then
// opaque, and a grey pixel has its one channel at 0 for all three colours).
struct Layout {
    const GUID* format;
    int channels;
    int bytesPerChannel;
    int at[4];
};

const Layout* WideLayout(const WICPixelFormatGUID& format)
{
    static const Layout layouts[] = {
        {&GUID_WICPixelFormat16bppGray, 1, 2, {0, 0, 0, -1}},
        {&GUID_WICPixelFormat48bppRGB, 3, 2, {0, 1, 2, -1}},
        {&GUID_WICPixelFormat48bppBGR, 3, 2, {2, 1, 0, -1}},
        {&GUID_WICPixelFormat64bppRGBA, 4, 2, {0, 1, 2, 3}},
        {&GUID_WICPixelFormat64bppBGRA, 4, 2, {2, 1, 0, 3}},
    };
    for (const Layout& l : layouts)
        if (IsEqualGUID(format, *l.format)) return &l;
    return nullptr;
}

class WicCodec final : public IPictureCodec {
public:
    bool Decode(PictureFormat format, const std::uint8_t* data, std::size_t size, IPictureSink& sink,
                std::string& problem) override
    {
        if (format != PictureFormat::Png && format != PictureFormat::Jpeg) {
            problem = "not a PNG or JPEG file";
            return false;
        }
        if (size > 0x7FFFFFFF) {
            problem = "file too large";
            return false;
        }
        ComScope com;
        Com<IWICImagingFactory> factory;
        if (!com.Usable() || !Factory(factory)) {
            problem = "the imaging component is missing";
            return false;
        }
        Com<IWICStream> stream;
        if (FAILED(factory->CreateStream(&stream)) ||
            FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size)))) {
            problem = "cannot read the file";
            return false;
        }
        // The decoder of the format the file's first bytes named, not
        // whichever the system would pick.
        Com<IWICBitmapDecoder> decoder;
        const GUID& container = format == PictureFormat::Png ? GUID_ContainerFormatPng : GUID_ContainerFormatJpeg;
        if (FAILED(factory->CreateDecoder(container, nullptr, &decoder)) ||
            FAILED(decoder->Initialize(stream.get(), WICDecodeMetadataCacheOnDemand))) {
            problem = "damaged header";
            return false;
        }
        Com<IWICBitmapFrameDecode> frame;
        UINT width = 0, height = 0;
        WICPixelFormatGUID native{};
        if (FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height)) ||
            FAILED(frame->GetPixelFormat(&native))) {
            problem = "damaged header";
            return false;
        }
        if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) {
            problem = "no picture";
            return false;
        }
        if (!sink.Begin(static_cast<int>(width), static_cast<int>(height))) {
            problem = "refused size";
            return false;
        }
        // Pictures of 16 bits a channel are read as they are and widened
        // here (a format converter would round them its own way); the rest
        // through the converter to 8-bit RGBA.
        if (const Layout* layout = WideLayout(native)) return Rows(frame.get(), width, height, *layout, sink, problem);
        Com<IWICFormatConverter> converter;
        if (FAILED(factory->CreateFormatConverter(&converter)) ||
            FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppRGBA, WICBitmapDitherTypeNone, nullptr,
                                         0.0, WICBitmapPaletteTypeCustom))) {
            problem = "unsupported pixel format";
            return false;
        }
        static const Layout rgba8{&GUID_WICPixelFormat32bppRGBA, 4, 1, {0, 1, 2, 3}};
        return Rows(converter.get(), width, height, rgba8, sink, problem);
    }

    bool EncodePng(int width, int height, const std::uint8_t* top, std::ptrdiff_t step, std::vector<std::uint8_t>& file,
                   std::string& problem) override
    {
        file.clear();
        ComScope com;
        Com<IWICImagingFactory> factory;
        if (!com.Usable() || !Factory(factory)) {
            problem = "the imaging component is missing";
            return false;
        }
        Com<IStream> stream;
        Com<IWICBitmapEncoder> encoder;
        Com<IWICBitmapFrameEncode> frame;
        Com<IPropertyBag2> options;
        if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) ||
            FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) ||
            FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
            FAILED(encoder->CreateNewFrame(&frame, &options)) || FAILED(frame->Initialize(options.get())) ||
            FAILED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height)))) {
            problem = "cannot start the PNG encoder";
            return false;
        }
        WICPixelFormatGUID pixels = GUID_WICPixelFormat24bppBGR;
        if (FAILED(frame->SetPixelFormat(&pixels)) || !IsEqualGUID(pixels, GUID_WICPixelFormat24bppBGR)) {
            problem = "the PNG encoder takes no 24-bit pixels";
            return false;
        }
        const UINT rowBytes = 3 * static_cast<UINT>(width);
        for (int y = 0; y < height; ++y) {
            BYTE* row = const_cast<BYTE*>(top + step * y);
            if (FAILED(frame->WritePixels(1, rowBytes, rowBytes, row))) {
                problem = "cannot encode the rows";
                return false;
            }
        }
        if (FAILED(frame->Commit()) || FAILED(encoder->Commit())) {
            problem = "cannot finish the PNG file";
            return false;
        }
        HGLOBAL memory = nullptr;
        STATSTG stat{};
        if (FAILED(GetHGlobalFromStream(stream.get(), &memory)) || FAILED(stream->Stat(&stat, STATFLAG_NONAME))) {
            problem = "cannot collect the PNG file";
            return false;
        }
        const void* bytes = GlobalLock(memory);
        if (!bytes) return false;
        const std::size_t length = static_cast<std::size_t>(stat.cbSize.QuadPart);
        file.assign(static_cast<const std::uint8_t*>(bytes), static_cast<const std::uint8_t*>(bytes) + length);
        GlobalUnlock(memory);
        return true;
    }

private:
    static bool Rows(IWICBitmapSource* source, UINT width, UINT height, const Layout& layout, IPictureSink& sink,
                     std::string& problem)
    {
        const UINT pixelBytes = static_cast<UINT>(layout.channels * layout.bytesPerChannel);
        const UINT stride = pixelBytes * width;
        std::vector<BYTE> row;
        std::vector<std::uint16_t> rgba;
        try {
            row.resize(stride);
            rgba.resize(4 * static_cast<std::size_t>(width));
        } catch (const std::bad_alloc&) {
            problem = "out of memory";
            return false;
        }
        for (UINT y = 0; y < height; ++y) {
            const WICRect rect{0, static_cast<INT>(y), static_cast<INT>(width), 1};
            if (FAILED(source->CopyPixels(&rect, stride, stride, row.data()))) {
                problem = "damaged or truncated data";
                return false;
            }
            for (UINT x = 0; x < width; ++x) {
                const BYTE* p = row.data() + static_cast<std::size_t>(x) * pixelBytes;
                for (int c = 0; c < 4; ++c) {
                    const int at = layout.at[c];
                    std::uint16_t v = 0xFFFF;
                    if (at >= 0) {
                        const BYTE* q = p + at * layout.bytesPerChannel;
                        // 16-bit channels are held in the machine's order.
                        v = layout.bytesPerChannel == 2 ? static_cast<std::uint16_t>(q[0] | q[1] << 8)
                                                        : static_cast<std::uint16_t>(q[0] * 257);
                    }
                    rgba[4 * static_cast<std::size_t>(x) + c] = v;
                }
            }
            sink.Row(static_cast<int>(y), rgba.data());
        }
        return true;
    }
};

} // namespace

IPictureCodec& DefaultPictureCodec()
{
    static WicCodec codec;
    return codec;
}

} // namespace rv
