#pragma once
// Undo and redo of the drawing view: a history of steps, each one gesture as
// the user sees it (a press-to-release of a tool, clearing the drawing, an
// import, a new depth map from the settings, Initialise).
//
// A step keeps only what it changed, in the form it is not in now: for an
// undoable step the picture rows as they were before it, for a redoable one
// the rows as they were after it. Undoing or redoing exchanges those rows
// with the picture's current rows, so a step never holds both versions.
// Rows are packed run by run: depth maps are few colours and smooth ramps.
#include "painter/image/DibImage.h"
#include "painter/stereo/Background.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace rv {

// Some or all rows of a picture, packed.
class CPackedRows {
public:
    // The rows of `before` (a picture of width x height whose rows are
    // stride apart, bottom-up like a DIB) that differ from `after`; every
    // row, and before's size, when the two sizes differ or `whole` asks
    // for the whole picture. A null `before` is an empty picture.
    void PackChanged(const std::uint8_t* before, int width, int height, const CDibImage& after, bool whole = false);
    // Every row of a picture, and its size.
    void PackAll(const CDibImage& picture);
    void Reset();

    // Nothing stored: the pictures compared were alike.
    bool Empty() const { return !whole_ && rows_.empty(); }
    // A whole picture (of Width() x Height()) rather than some rows of one
    // of the same size.
    bool Whole() const { return whole_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    std::size_t RowCount() const { return rows_.size(); }
    // Memory held, in bytes.
    std::size_t Bytes() const;

    // Exchanges the stored rows with the same rows of `picture`, which has
    // the size they were taken from; false (changing nothing) for a whole
    // picture or a picture of another size.
    bool ExchangeRows(CDibImage& picture);
    // Makes `picture` the stored whole picture; false when it cannot be made.
    bool UnpackWhole(CDibImage& picture) const;

private:
    void AddRow(int index, const std::uint8_t* row, int stride, std::vector<std::uint8_t>& scratch);
    void UnpackRow(std::size_t entry, std::uint8_t* row, int stride) const;

    int width_ = 0;
    int height_ = 0;
    bool whole_ = false;
    std::vector<int> rows_;              // memory row of each entry
    std::vector<std::uint32_t> offsets_; // where each entry starts in data_, and the end
    std::vector<std::uint8_t> data_;
};

// What a step is called in the status-bar prompts of undo and redo.
enum class StepKind : int {
    Tool,        // a gesture of the tool in CUndoStep::tool
    Clear,       // "清除图画"
    Import,      // "导入三维图元"
    Settings,    // "设置"
    Initialise,  // "初始化"
};

struct CUndoStep {
    StepKind kind = StepKind::Tool;
    int tool = 0;
    // The depth map's rows (or whole map) in the state the view is not in.
    CPackedRows depthMap;
    // The background, picture layout and stage, when the step changed them.
    bool hasBackground = false;
    CPackedRows background;
    bool hasLayout = false;
    PictureLayout layout;
    bool hasStage = false;
    int stage = 0;

    std::size_t Bytes() const;
    // The step's name as the menus say it (GB2312).
    std::string Name() const;
};

class CUndoHistory {
public:
    // At most this many steps are kept, and fewer when they pass the memory
    // bound; the oldest go first.
    static constexpr std::size_t kMaxSteps = 100;
    static constexpr std::size_t kMaxBytes = std::size_t{256} << 20;

    explicit CUndoHistory(std::size_t maxBytes = kMaxBytes, std::size_t maxSteps = kMaxSteps)
        : maxBytes_(maxBytes), maxSteps_(maxSteps)
    {
    }

    // A new step: the redo steps go, then the oldest steps until the history
    // fits its bounds again. A step larger than the whole bound is not kept
    // (and nothing older than it either).
    void Push(CUndoStep step);
    // The step the next undo or redo exchanges, none when there is none.
    CUndoStep* NextUndo() { return undo_.empty() ? nullptr : &undo_.back(); }
    CUndoStep* NextRedo() { return redo_.empty() ? nullptr : &redo_.back(); }
    const CUndoStep* NextUndo() const { return undo_.empty() ? nullptr : &undo_.back(); }
    const CUndoStep* NextRedo() const { return redo_.empty() ? nullptr : &redo_.back(); }
    // After NextUndo's step has been exchanged: it becomes the next redo
    // (and the other way round). Sizes change with an exchange, so the
    // bounds are applied again; the oldest undo steps go first.
    void Undone();
    void Redone();
    void Clear();

    std::size_t UndoCount() const { return undo_.size(); }
    std::size_t RedoCount() const { return redo_.size(); }
    std::size_t Bytes() const { return bytes_; }
    std::size_t MaxBytes() const { return maxBytes_; }

private:
    void Fit();
    void Recount();

    std::size_t maxBytes_;
    std::size_t maxSteps_;
    std::size_t bytes_ = 0;
    std::deque<CUndoStep> undo_; // oldest first
    std::deque<CUndoStep> redo_; // the next redo last
};

// The status-bar prompts: "撤消：铅笔", "重做：铅笔"; empty when there is
// nothing to undo or redo (the string table's prompt then stands).
std::string UndoPrompt(const CUndoStep* step);
std::string RedoPrompt(const CUndoStep* step);

} // namespace rv
