#include "painter/app/view/WorkflowState.h"

namespace rv {

CWorkflowState& TheWorkflowState()
{
    static CWorkflowState state;
    return state;
}

} // namespace rv
