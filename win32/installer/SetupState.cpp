#include "win32/installer/SetupState.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "installer/wizard/WizardIds.h"

namespace w32 {
namespace {

constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressMs = 100;

// What the worker thread sends to the page's thread.
constexpr UINT kMsgAskYesNo = WM_APP + 2;    // wParam: caption, lParam: text; result 1 for Yes
constexpr UINT kMsgShowMessage = WM_APP + 3; // wParam: caption, lParam: text
constexpr UINT kMsgQuit = WM_APP + 4;

} // namespace

CSetupState::CSetupState(WizardServices& services)
    : CDialog(IDD_SETUP_STATE), services_(services), pageThread_(GetCurrentThreadId())
{}

CSetupState::~CSetupState()
{
    JoinWorker();
    std::free(pendingStatus_.exchange(nullptr));
}

void CSetupState::JoinWorker()
{
    if (!thread_) return;
    // The worker may still be sending to this thread: serve it while waiting.
    while (MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(thread_);
    thread_ = nullptr;
}

bool CSetupState::OnInitDialog()
{
    CDialog::OnInitDialog();
    window_ = Hwnd();
    SendDlgItemMessageW(Hwnd(), IDC_PROGRESS, PBM_SETRANGE32, 0, 100);
    SetTimer(Hwnd(), kProgressTimer, kProgressMs, nullptr);
    return true;
}

void CSetupState::OnCancel()
{
    // The worker asks at its next checkpoint; the page stays.
    vela::RequestCancel(services_.context);
}

void CSetupState::StartInstall()
{
    worker_ = std::make_unique<vela::CInstallWorker>(services_.platform, services_.system, services_.context, *this);
    if (!worker_->Prepare()) return;  // the message is shown and the quit message posted
    thread_ = CreateThread(nullptr, 0, &CSetupState::WorkerMain, worker_.get(), 0, nullptr);
}

DWORD WINAPI CSetupState::WorkerMain(void* worker)
{
    static_cast<vela::CInstallWorker*>(worker)->Run();
    return 0;
}

void CSetupState::ShowPendingStatus()
{
    if (char* text = pendingStatus_.exchange(nullptr)) {
        SetItemText(IDC_STATUS_LINE, text);
        std::free(text);
    }
}

void CSetupState::Tick()
{
    ShowPendingStatus();
    const vela::ProgressTick tick = vela::CheckProgress(services_.context, lastSeen_);
    if (tick.moveBar) SendDlgItemMessageW(Hwnd(), IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(tick.barPosition), 0);
    if (tick.completed) {
        // The completion page runs inside this tick; no further tick may
        // start a second one.
        KillTimer(Hwnd(), kProgressTimer);
        EndDialog(IDOK);
        CComplete completion(services_);
        completion.DoModal();
        return;
    }
    if (tick.aborted) {
        KillTimer(Hwnd(), kProgressTimer);
        JoinWorker();
        vela::EndAbortedInstall(services_.platform, services_.context, *this);
    }
}

INT_PTR CSetupState::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam && !started_) {
            started_ = true;
            DialogProcDefault(message, wParam, lParam);
            StartInstall();
            return TRUE;
        }
        break;
    case WM_TIMER:
        if (wParam == kProgressTimer) {
            Tick();
            return TRUE;
        }
        break;
    case kMsgAskYesNo:
    case kMsgShowMessage: {
        const int answer =
            fw::CWnd::ShowMessage(reinterpret_cast<const char*>(lParam), reinterpret_cast<const char*>(wParam),
                                  message == kMsgAskYesNo ? MB_YESNO | MB_DEFBUTTON2 : MB_OK);
        SetWindowLongPtrW(Hwnd(), DWLP_MSGRESULT, answer == IDYES ? 1 : 0);
        return TRUE;
    }
    case kMsgQuit:
        PostQuitMessage(0);
        return TRUE;
    }
    return DialogProcDefault(message, wParam, lParam);
}

void CSetupState::SetStatusText(const char* text)
{
    if (OnPageThread()) {
        SetItemText(IDC_STATUS_LINE, text);
        return;
    }
    // The worker does not wait for the page to paint each file's name: the
    // line shows the latest text at the next tick of the timer. A text too
    // long for a status line leaves the line as it is.
    const std::size_t size = std::strlen(text) + 1;
    if (size > vela::kStatusTextSize) return;
    auto* copy = static_cast<char*>(std::malloc(size));
    if (!copy) return;
    std::memcpy(copy, text, size);
    std::free(pendingStatus_.exchange(copy));
}

// From the page's own thread the message reaches the page at once: both
// threads ask the same way.
bool CSetupState::AskYesNo(const char* text, const char* caption)
{
    // A page that is gone (the program is ending) answers Yes: stop.
    if (!IsWindow(window_)) return true;
    return SendMessageW(window_, kMsgAskYesNo, reinterpret_cast<WPARAM>(caption), reinterpret_cast<LPARAM>(text)) != 0;
}

void CSetupState::ShowMessage(const char* text, const char* caption)
{
    SendMessageW(window_, kMsgShowMessage, reinterpret_cast<WPARAM>(caption), reinterpret_cast<LPARAM>(text));
}

void CSetupState::RequestQuit()
{
    if (OnPageThread())
        PostQuitMessage(0);
    else
        PostMessageW(window_, kMsgQuit, 0, 0);
}

} // namespace w32
