#pragma once
// The floating settings panel's model: the states of its controls, the
// settings the tools read (copied from the controls at each refresh), the
// colour swatch and the gradient strip, whose 119 column colours are the
// gradient tools' colour table. The dialog window mirrors these states.
//
// How the panel's window (dialog 146) uses it: at creation it sets each
// control from SliderRange/SliderPos, IsChecked and IsPushed (the eraser
// buttons carry the icons ButtonIcon gives). A button click goes to
// Click(id); a slider's move to OnSliderMoved(id, pos); any other
// notification a control sends to Refresh(id). After each of these the
// window sets every control from the model again (the user's click has
// changed the control itself). After every mouse event of the view (the
// colour picker changes the colour settings) it sets only the controls
// whose state changed since it last showed them (ControlStates, compared by
// ChangedControls): a mouse move that changes nothing costs the controls
// nothing. When Revision() has changed it repaints the strip (StripColumn,
// kStripHeight rows of each column) and the swatch (SwatchColour over
// kSwatchWidth x kSwatchHeight pixels).
#include "painter/image/DibImage.h"

#include <array>
#include <vector>

namespace rv {

class CPaintBoard;

// One control of the panel as its window shows it: a slider's position, or
// 1 / 0 for a check mark or an eraser button's pushed look.
struct PanelControlState {
    int id = 0;
    int value = 0;
    bool operator==(const PanelControlState&) const = default;
};
using PanelControlStates = std::vector<PanelControlState>;

// The entries of `now` that differ from what `shown` holds for the same
// control (all of them when `shown` is empty: nothing has been shown yet).
PanelControlStates ChangedControls(const PanelControlStates& shown, const PanelControlStates& now);

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
    static constexpr int kStripHeight = 16;
    static constexpr int kSwatchWidth = 25;
    static constexpr int kSwatchHeight = 26;

    // The icon resource of an eraser button (147, 148, 149), 0 for others.
    static constexpr int ButtonIcon(int id) { return id >= IdSoft && id <= IdSquare ? 147 + (id - IdSoft) : 0; }

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
    // Every control's state, in a fixed order: the six sliders, the three
    // check boxes and two radio buttons, the three eraser buttons.
    PanelControlStates ControlStates() const;
    // The user clicks a button: a radio button checks itself and clears its
    // partner; the click then reaches the panel as a command.
    void Click(int id);

    // Routes the command (unless it is kRefreshOnly), redraws the swatch and
    // the strip and copies the controls into the stored settings.
    void Refresh(int command);
    // A slider was moved by the user: the slider reports the move and
    // repaints, and each of its notifications refreshes the panel, so the
    // strip shows the new setting at once.
    void OnSliderMoved(int id, int pos);
    // Counts the refreshes: the previews are redrawn at each.
    int Revision() const { return revision_; }

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

    // The strip's colour at t from -1 (column 0) to 1 (column 116), and the
    // column it comes from. The column never falls as t rises.
    Colour RampColour(float t) const { return strip_[static_cast<std::size_t>(RampColumn(t))]; }
    int RampColumn(float t) const;
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
    int revision_ = 0;
};

} // namespace rv
