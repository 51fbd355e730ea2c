#pragma once
// The painter's workflow stage and left-button state, held once for the
// whole program.

namespace rv {

enum Stage : int {
    StageStart = 0,
    StageTile = 1,
    StageBackground = 2,
    StagePainting = 3,
    StageStereogram = 4,
};

enum ButtonState : int {
    ButtonUp = 1,
    ButtonDown = 2,
};

class CWorkflowState {
public:
    int stage = StageStart;
    // Down while a press has reached the paint board and its release not yet.
    int buttonState = ButtonUp;
};

// The program's one workflow state.
CWorkflowState& TheWorkflowState();

} // namespace rv
