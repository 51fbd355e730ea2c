#pragma once
// Small helpers the engine tests share.
#include "painter/image/DibImage.h"
#include "painter/image/Platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace rv::testing {

class RecordingBox : public IMessageBox {
public:
    void Show(std::string_view text) override { shown.emplace_back(text); }
    std::vector<std::string> shown;
};

// Installs a recording message box for the lifetime of the object.
class ScopedRecordingBox {
public:
    ScopedRecordingBox() { SetMessageBox(&box); }
    ~ScopedRecordingBox() { SetMessageBox(nullptr); }
    const std::vector<std::string>& Shown() const { return box.shown; }

private:
    RecordingBox box;
};

inline void FillRandom(CDibImage& img, std::mt19937& rng)
{
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) img.SetPixel(x, y, rng() & 0xFFFFFF);
}

inline bool SameBlock(const CDibImage& a, const CDibImage& b)
{
    return a.BlockSize() == b.BlockSize() && a.Width() == b.Width() && a.Height() == b.Height() &&
           std::memcmp(a.Block(), b.Block(), static_cast<std::size_t>(a.BlockSize())) == 0;
}

inline void CopyImage(const CDibImage& from, CDibImage& to)
{
    ASSERT_TRUE(to.Create(from.Width(), from.Height()));
    std::memcpy(to.Bits(), from.Bits(), static_cast<std::size_t>(from.Height()) * from.Stride());
}

} // namespace rv::testing
