#pragma once
// The progress page (template 129): starts the install worker on a thread of
// its own when it is first shown, moves its bar from a 100 ms timer and hands
// over to the completion page, or ends the program after a confirmed cancel.
// The worker reaches the page only through window messages that this page's
// (user-interface) thread serves: status line, questions, messages, quit.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "installer/engine/InstallWorker.h"
#include "win32/installer/WizardPages.h"

namespace w32 {

class CSetupState final : public fw::CDialog, public vela::IProgressPage {
public:
    explicit CSetupState(WizardServices& services);
    ~CSetupState() override;

    // IProgressPage: called from either thread; from the worker's they are
    // sent to the page's thread and return once it has acted, except the
    // status line, which the page shows at its next timer tick.
    void SetStatusText(const char* text) override;
    bool AskYesNo(const char* text, const char* caption) override;
    void ShowMessage(const char* text, const char* caption) override;
    void RequestQuit() override;

protected:
    bool OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static DWORD WINAPI WorkerMain(void* worker);
    void StartInstall();
    void Tick();
    void ShowPendingStatus();
    bool OnPageThread() const { return GetCurrentThreadId() == pageThread_; }
    // Waits for the worker thread while serving what it sends.
    void JoinWorker();

    WizardServices& services_;
    std::unique_ptr<vela::CInstallWorker> worker_;
    HANDLE thread_ = nullptr;
    // The page's window as the worker thread addresses it; set once before
    // the worker starts and never cleared (a stale handle only fails).
    HWND window_ = nullptr;
    DWORD pageThread_ = 0;
    std::int32_t lastSeen_ = 0;
    // The worker's latest status line not shown yet (a copy on the heap),
    // or none: each side takes it whole by exchanging the pointer.
    std::atomic<char*> pendingStatus_{nullptr};
    bool started_ = false;
};

} // namespace w32
