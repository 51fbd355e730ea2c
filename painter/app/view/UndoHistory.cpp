#include "painter/app/view/UndoHistory.h"

#include "painter/app/view/RowPacking.h"

#include <algorithm>
#include <cstring>

namespace rv {

// ------------------------------------------------------------ CPackedRows

void CPackedRows::Reset()
{
    width_ = height_ = 0;
    whole_ = false;
    rows_.clear();
    offsets_.clear();
    data_.clear();
}

void CPackedRows::AddRow(int index, const std::uint8_t* row, int stride, std::vector<std::uint8_t>& scratch)
{
    if (offsets_.empty()) offsets_.push_back(0);
    rows_.push_back(index);
    PackRow(row, width_, stride, data_, scratch);
    offsets_.push_back(static_cast<std::uint32_t>(data_.size()));
}

void CPackedRows::PackChanged(const std::uint8_t* before, int width, int height, const CDibImage& after, bool whole)
{
    Reset();
    width_ = width;
    height_ = height;
    const int stride = CDibImage::StrideFor(width);
    std::vector<std::uint8_t> scratch;
    whole_ = whole || width != after.Width() || height != after.Height() || after.Empty() != (before == nullptr);
    for (int r = 0; r < height && before; ++r) {
        const std::uint8_t* old = before + static_cast<std::size_t>(r) * stride;
        if (whole_ || std::memcmp(old, after.Bits() + static_cast<std::size_t>(r) * stride, stride) != 0)
            AddRow(r, old, stride, scratch);
    }
    data_.shrink_to_fit();
    rows_.shrink_to_fit();
    offsets_.shrink_to_fit();
}

void CPackedRows::PackAll(const CDibImage& picture)
{
    Reset();
    width_ = picture.Width();
    height_ = picture.Height();
    whole_ = true;
    const int stride = picture.Stride();
    std::vector<std::uint8_t> scratch;
    for (int r = 0; r < height_; ++r)
        AddRow(r, picture.Bits() + static_cast<std::size_t>(r) * stride, stride, scratch);
    data_.shrink_to_fit();
    rows_.shrink_to_fit();
    offsets_.shrink_to_fit();
}

std::size_t CPackedRows::Bytes() const
{
    return sizeof *this + data_.capacity() + rows_.capacity() * sizeof(int) +
           offsets_.capacity() * sizeof(std::uint32_t);
}

void CPackedRows::UnpackRow(std::size_t entry, std::uint8_t* row, int stride) const
{
    rv::UnpackRow(data_.data() + offsets_[entry], data_.data() + offsets_[entry + 1], width_, row, stride);
}

bool CPackedRows::ExchangeRows(CDibImage& picture)
{
    if (whole_ || picture.Width() != width_ || picture.Height() != height_) return false;
    const int stride = picture.Stride();
    CPackedRows current;
    current.width_ = width_;
    current.height_ = height_;
    std::vector<std::uint8_t> scratch;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        std::uint8_t* row = picture.Bits() + static_cast<std::size_t>(rows_[i]) * stride;
        current.AddRow(rows_[i], row, stride, scratch);
        UnpackRow(i, row, stride);
    }
    current.data_.shrink_to_fit();
    *this = std::move(current);
    return true;
}

bool CPackedRows::UnpackWhole(CDibImage& picture) const
{
    if (!whole_) return false;
    if (width_ < 1 || height_ < 1) {
        CDibImage empty;
        picture.Swap(empty);
        return true;
    }
    CDibImage made;
    if (!made.Create(width_, height_)) return false;
    const int stride = made.Stride();
    for (std::size_t i = 0; i < rows_.size(); ++i)
        UnpackRow(i, made.Bits() + static_cast<std::size_t>(rows_[i]) * stride, stride);
    picture.Swap(made);
    return true;
}

// -------------------------------------------------------------- CUndoStep

std::size_t CUndoStep::Bytes() const { return sizeof *this + depthMap.Bytes() + background.Bytes(); }

std::string CUndoStep::Name() const
{
    switch (kind) {
    case StepKind::Clear: return "\xC7\xE5\xB3\xFD\xCD\xBC\xBB\xAD";                   // 清除图画
    case StepKind::Import: return "\xB5\xBC\xC8\xEB\xC8\xFD\xCE\xAC\xCD\xBC\xD4\xAA"; // 导入三维图元
    case StepKind::Settings: return "\xC9\xE8\xD6\xC3";                                // 设置
    case StepKind::Initialise: return "\xB3\xF5\xCA\xBC\xBB\xAF";                      // 初始化
    case StepKind::Tool: break;
    }
    // The tools' menu texts, by tool number.
    static const char* const kToolNames[] = {
        "",
        "\xC7\xA6\xB1\xCA",                                 // 铅笔
        "\xD6\xB1\xCF\xDF",                                 // 直线
        "\xBE\xD8\xD0\xCE\xA3\xA8\xD6\xD0\xBF\xD5\xA3\xA9", // 矩形（中空）
        "\xCD\xD6\xD4\xB2\xA3\xA8\xD6\xD0\xBF\xD5\xA3\xA9", // 椭圆（中空）
        "\xD3\xCD\xC6\xE1\xCD\xB0",                         // 油漆桶
        "\xCF\xF0\xC6\xA4",                                 // 橡皮
        "\xCA\xB5\xD0\xC4\xBE\xD8\xD0\xCE",                 // 实心矩形
        "\xCA\xB5\xD0\xC4\xCD\xD6\xD4\xB2",                 // 实心椭圆
        "\xCB\xF7\xCC\xD7",                                 // 索套
        "\xBD\xA5\xB1\xE4\xD4\xB2",                         // 渐变圆
        "\xBD\xA5\xB1\xE4\xBE\xD8\xD0\xCE",                 // 渐变矩形
        "\xD1\xD5\xC9\xAB\xBC\xB3\xC8\xA1",                 // 颜色汲取
        "\xC3\xAB\xB1\xCA",                                 // 毛笔
    };
    if (tool > 0 && static_cast<std::size_t>(tool) < std::size(kToolNames)) return kToolNames[tool];
    return std::string();
}

// ----------------------------------------------------------- CUndoHistory

void CUndoHistory::Recount()
{
    bytes_ = 0;
    for (const CUndoStep& s : undo_) bytes_ += s.Bytes();
    for (const CUndoStep& s : redo_) bytes_ += s.Bytes();
}

void CUndoHistory::Fit()
{
    Recount();
    // The oldest undo steps go first; the redo steps only when no undo step
    // is left, the one farthest from now first.
    while (!undo_.empty() && (bytes_ > maxBytes_ || undo_.size() + redo_.size() > maxSteps_)) {
        bytes_ -= undo_.front().Bytes();
        undo_.pop_front();
    }
    while (!redo_.empty() && (bytes_ > maxBytes_ || redo_.size() > maxSteps_)) {
        bytes_ -= redo_.front().Bytes();
        redo_.pop_front();
    }
}

void CUndoHistory::Push(CUndoStep step)
{
    redo_.clear();
    undo_.push_back(std::move(step));
    Fit();
}

void CUndoHistory::Undone()
{
    if (undo_.empty()) return;
    redo_.push_back(std::move(undo_.back()));
    undo_.pop_back();
    Fit();
}

void CUndoHistory::Redone()
{
    if (redo_.empty()) return;
    undo_.push_back(std::move(redo_.back()));
    redo_.pop_back();
    Fit();
}

void CUndoHistory::Clear()
{
    undo_.clear();
    redo_.clear();
    bytes_ = 0;
}

std::string UndoPrompt(const CUndoStep* step)
{
    return step ? "\xB3\xB7\xCF\xFB\xA3\xBA" + step->Name() : std::string(); // 撤消：
}

std::string RedoPrompt(const CUndoStep* step)
{
    return step ? "\xD6\xD8\xD7\xF6\xA3\xBA" + step->Name() : std::string(); // 重做：
}

} // namespace rv
