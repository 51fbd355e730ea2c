#pragma once
// The raster tools of the paint board. Each reaches the panel, the depth map
// and the screen through its board.
#include "painter/image/DibImage.h"

namespace rv {

class CPaintBoard;

class CStrokePainter {
public:
    explicit CStrokePainter(CPaintBoard& board) : board_(board) {}

    void PencilStroke();
    void BrushDab();
    void LineBand();
    void LineCommit();
    void RectBand();
    void RectCommit();
    void EllipseBand();
    void EllipseCommit();
    void GradientCircle();
    void GradientRect();

private:
    CPaintBoard& board_;
};

class CFloodFill {
public:
    explicit CFloodFill(CPaintBoard& board) : board_(board) {}
    void FloodFill();

private:
    CPaintBoard& board_;
    Colour targetColour_ = kWhite;
};

class CEraser {
public:
    enum Kind { Soft = 1, Circular = 2, Square = 3 };
    explicit CEraser(CPaintBoard& board) : board_(board) {}

    void EraserBegin();
    void EraserDrag();
    void EraserEnd() { active_ = false; }

    bool Active() const { return active_; }
    int GetKind() const { return kind_; }
    int Radius() const { return radius_; }

private:
    void EraserApply();

    CPaintBoard& board_;
    bool active_ = false;
    int kind_ = Soft;
    int radius_ = 0;
};

// The colour picker: the panel takes the family and value of the depth-map
// pixel under the press.
void PickColour(CPaintBoard& board);

} // namespace rv
