#pragma once
// The floating settings panel's model: the states of its controls, the
// settings the tools read (copied from the controls at each refresh), the
// colour swatch and the gradient strip, whose 119 column colours are the
// gradient tools' colour table. The dialog window mirrors these states.
#include "painter/image/DibImage.h"

#include <array>

namespace rv {

class CPaintBoard;

class CToolPanel {
public:
    // Control ids of the panel's dialog.
    enum Control {
        IdSoft = 1006,
        IdCircular = 1007,
        IdSquare = 1008,
        IdColourValue = 1011,
        IdSwatch = 1012,
        IdBlack = 1013,
        IdBlue = 1014,
        IdStrip = 1015,
        IdLowLeft = 1016,
        IdLowMiddle = 1017,
        IdLowRight = 1018,
        IdEraserWidth = 1020,
        IdCurve = 1021,
        IdPenWidth = 1022,
        IdC1 = 1024,
        IdC2 = 1025,
    };
    // The pseudo-command that asks for a refresh without routing.
    static constexpr int kRefreshOnly = 9999;
    static constexpr int kStripColumns = 119;

    CToolPanel() { strip_.fill(kWhite); }

    // Sets the controls to their initial states and remembers the board that
    // receives the pen width.
    void Create(CPaintBoard* board);

    // Control states, as the dialog's controls hold them.
    int SliderPos(int id) const;
    // Moves a slider, kept within its range. Unknown ids are ignored.
    void SetSliderPos(int id, int pos);
    static bool SliderRange(int id, int& low, int& high);
    bool IsChecked(int id) const;
    void SetCheck(int id, bool checked);
    bool IsPushed(int id) const;
    // The user clicks a button: a radio button checks itself and clears its
    // partner; the click then reaches the panel as a command.
    void Click(int id);

    // Routes the command (unless it is kRefreshOnly), redraws the swatch and
    // the strip and copies the controls into the stored settings.
    void Refresh(int command);

    int EraserWidth() const { return eraserWidth_; }
    int EraserKind() const { return eraserKind_; }
    int ColourValue() const { return colourValue_; }
    bool IsBlue() const { return blueMode_; }
    int PenWidth() const { return penWidth_; }
    bool LowLeft() const { return lowLeft_; }
    bool LowMiddle() const { return lowMiddle_; }
    bool LowRight() const { return lowRight_; }
    int C1() const { return c1_; }
    int C2() const { return c2_; }

    // The strip's colour at t from -1 (column 0) to 1 (column 116).
    Colour RampColour(float t) const;
    Colour StripColumn(int column) const { return strip_[static_cast<std::size_t>(column)]; }
    Colour SwatchColour() const { return swatch_; }

    void SelectBlue();
    void SelectBlack();
    void SetColourValue(int v);

private:
    void Route(int command);
    void DrawStrip();
    void SetColumn(int column, int level);
    int* Slider(int id);

    // Stored settings.
    int eraserWidth_ = 10;
    int penWidth_ = 1;
    bool lowLeft_ = true;
    bool lowMiddle_ = false;
    bool lowRight_ = false;
    int eraserKind_ = 1;
    bool blueMode_ = false;
    int colourValue_ = 150;
    int c1_ = 240;
    int c2_ = 0;
    CPaintBoard* board_ = nullptr;

    // Control states.
    int penSlider_ = 1;
    int eraserSlider_ = 10;
    int curveSlider_ = 200;
    int c1Slider_ = 240;
    int c2Slider_ = 0;
    int colourSlider_ = 150;
    bool checkLowLeft_ = true;
    bool checkLowMiddle_ = false;
    bool checkLowRight_ = false;
    bool radioBlack_ = true;
    bool radioBlue_ = false;
    int pushedKind_ = 1; // which of the three eraser buttons shows pushed

    // Previews: the strip's columns (white until first drawn) and the swatch.
    std::array<Colour, kStripColumns> strip_{};
    Colour swatch_ = kWhite;
};

} // namespace rv
