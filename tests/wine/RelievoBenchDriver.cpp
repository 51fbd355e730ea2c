// Measures Relievo.exe under Wine, as a user feels it: the time from the
// release of a gradient rectangle over the whole 700 x 600 canvas, and of a
// flood fill of the whole canvas, to the view being idle again, beside the
// time of one full repaint of the view. Not a test: it prints the figures.
//   wine-run.sh relievo_bench_driver.exe [rounds]
#include "WindowProbe.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

HWND frame, view;

void Idle()
{
    PostMessageW(frame, WM_NULL, 0, 0);
    DWORD_PTR result;
    SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
    SendMessageTimeoutW(view, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
}

void Command(UINT id)
{
    SendMessageW(frame, WM_COMMAND, id, 0);
    Idle();
}

double Now()
{
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One full repaint of the view, in milliseconds.
double Repaint()
{
    const double start = Now();
    RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Idle();
    return Now() - start;
}

// Press at a, drag to b, and time the release until the view is idle.
double Gesture(POINT a, POINT b)
{
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.x, a.y));
    SendMessageW(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(b.x, b.y));
    Idle();
    const double start = Now();
    SendMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(b.x, b.y));
    Idle();
    return Now() - start;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    auto app = probe::StartAndFindWindow(L"\"" + probe::OwnFolder() + L"Relievo.exe\"", L"RelievoFrame");
    frame = app.window;
    if (!frame) {
        std::fprintf(stderr, "Relievo.exe showed no frame\n");
        return 1;
    }
    view = GetDlgItem(GetDlgItem(frame, 59648), 59648);
    Command(32771); // Initialise: 800 x 600 with the 100-pixel tile
    Command(32775); // the painting stage: a 700 x 600 depth map

    std::vector<double> repaint, gradient, fill;
    for (int i = 0; i < rounds; ++i) {
        repaint.push_back(Repaint());
        Command(32818); // gradient rectangle
        gradient.push_back(Gesture({0, 0}, {699, 599}));
        Command(32811); // clear
        Command(32782); // paint bucket
        fill.push_back(Gesture({350, 300}, {350, 300}));
        Command(32811);
    }
    std::printf("median of %d rounds, 700 x 600 canvas\n", rounds);
    std::printf("full repaint of the view:              %8.1f ms\n", Median(repaint));
    std::printf("gradient rectangle, release to idle:   %8.1f ms (%.1f x repaint)\n", Median(gradient),
                Median(gradient) / Median(repaint));
    std::printf("flood fill, release to idle:           %8.1f ms (%.1f x repaint)\n", Median(fill),
                Median(fill) / Median(repaint));
    PostMessageW(frame, WM_COMMAND, 57665, 0);
    probe::WaitForExit(app);
    return 0;
}
