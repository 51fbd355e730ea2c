// Measures Relievo.exe under Wine, as a user feels it: the time from the
// release of each tool that paints the whole canvas (gradient rectangle and
// circle, filled rectangle and ellipse; the flood fill from its press) to
// the view being idle again, and of one move of the brush at pen width 100, beside the time of one full repaint of the
// view. The picture size is set in the settings dialog first (1920 x 1080
// unless given; the canvas is the picture less the 100-pixel tile). Each
// gesture's ratio is to a repaint timed just before it; the figures are the
// medians of the times and of those ratios. Not a test: it prints the
// figures.
//   wine-run.sh relievo_bench_driver.exe [rounds [width height]]
#include "WindowProbe.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
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

// Press at a, drag to b, and time the release until the view is idle. A
// tool that paints at the press (the paint bucket) is timed from the press.
double Gesture(POINT a, POINT b, bool paintsAtPress)
{
    const double pressed = Now();
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.x, a.y));
    if (!paintsAtPress) {
        SendMessageW(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(b.x, b.y));
        Idle();
    }
    const double start = paintsAtPress ? pressed : Now();
    SendMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(b.x, b.y));
    Idle();
    return Now() - start;
}

HWND Dialog(DWORD pid, const wchar_t* title)
{
    return probe::WaitForWindowOf(pid, title, 10000, probe::kDialogClass);
}

// The settings dialog: picture width and height.
bool SetPictureSize(DWORD pid, int width, int height)
{
    PostMessageW(frame, WM_COMMAND, 32785, 0);
    HWND dialog = Dialog(pid, L"\u8bbe\u7f6e"); // 设置
    if (!dialog) return false;
    SendMessageW(GetDlgItem(dialog, 1002), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(std::to_wstring(width).c_str()));
    SendMessageW(GetDlgItem(dialog, 1003), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(std::to_wstring(height).c_str()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 200 && IsWindow(dialog); ++i) Sleep(50);
    Idle();
    return !IsWindow(dialog);
}

// The pen width slider of the settings panel, moved the way a user drags it.
bool SetPenWidth(DWORD pid, int width)
{
    HWND panel = Dialog(pid, L"\u4f5c\u56fe\u8bbe\u7f6e"); // 作图设置
    HWND slider = panel ? GetDlgItem(panel, 1022) : nullptr;
    if (!slider) return false;
    SendMessageW(slider, TBM_SETPOS, TRUE, width);
    SendMessageW(panel, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, width), reinterpret_cast<LPARAM>(slider));
    Idle();
    return SendMessageW(slider, TBM_GETPOS, 0, 0) == width;
}

// Press at a, then moves to each point; times each move until the view is
// idle, then releases.
std::vector<double> Moves(POINT a, const std::vector<POINT>& points)
{
    std::vector<double> times;
    SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.x, a.y));
    Idle();
    for (POINT p : points) {
        const double start = Now();
        SendMessageW(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        Idle();
        times.push_back(Now() - start);
    }
    SendMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(points.back().x, points.back().y));
    Idle();
    return times;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const int width = argc > 3 ? std::atoi(argv[2]) : 1920;
    const int height = argc > 3 ? std::atoi(argv[3]) : 1080;
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    auto app = probe::StartAndFindWindow(L"\"" + probe::OwnFolder() + L"Relievo.exe\"", L"RelievoFrame");
    frame = app.window;
    if (!frame) {
        std::fprintf(stderr, "Relievo.exe showed no frame\n");
        return 1;
    }
    view = GetDlgItem(GetDlgItem(frame, 59648), 59648);
    if ((width != 800 || height != 600) && !SetPictureSize(app.process.dwProcessId, width, height)) {
        std::fprintf(stderr, "the settings dialog did not take %d x %d\n", width, height);
        return 1;
    }
    if (!SetPenWidth(app.process.dwProcessId, 100)) {
        std::fprintf(stderr, "the pen width slider did not move\n");
        return 1;
    }
    Command(32771); // Initialise: the picture with the 100-pixel tile
    Command(32775); // the painting stage: a depth map 100 pixels narrower
    const int right = width - 100 - 1, bottom = height - 1;
    // Presses land where a user can click, inside the view; drags may go on
    // past its edge to the far corner of the canvas.
    RECT client{};
    GetClientRect(view, &client);
    const POINT centre{std::min<LONG>((right + 1) / 2, client.right / 2), std::min<LONG>((bottom + 1) / 2, client.bottom / 2)};

    struct Tool {
        const char* name;
        UINT command;
        POINT from, to;
        std::vector<double> times, ratios;
    };
    std::vector<Tool> tools = {
        {"gradient rectangle, corner to corner", 32818, {0, 0}, {right, bottom}, {}, {}},
        {"gradient circle, centre to corner", 32817, centre, {right, bottom}, {}, {}},
        {"filled rectangle, corner to corner", 32814, {0, 0}, {right, bottom}, {}, {}},
        {"filled ellipse, corner to corner", 32815, {0, 0}, {right, bottom}, {}, {}},
        {"flood fill of the white canvas, press", 32782, centre, centre, {}, {}},
    };
    // Each gesture is set against a repaint just before it: the load of the
    // shared machine drifts within a run, and the ratio of two figures taken
    // moments apart drifts less than either.
    std::vector<double> repaint, brush, brushRatios;
    for (int i = 0; i < rounds; ++i) {
        for (Tool& tool : tools) {
            Command(tool.command);
            const double once = Repaint();
            repaint.push_back(once);
            tool.times.push_back(Gesture(tool.from, tool.to, tool.command == 32782));
            tool.ratios.push_back(tool.times.back() / once);
            Command(32811); // clear
        }
        Command(32821); // brush, pen width 100
        const double once = Repaint();
        repaint.push_back(once);
        std::vector<POINT> path;
        for (int k = 1; k <= 20; ++k) path.push_back({centre.x - 100 + 10 * k, centre.y - 50 + 5 * k});
        for (const double move : Moves(centre, path)) {
            brush.push_back(move);
            brushRatios.push_back(move / once);
        }
        Command(32811);
    }
    std::printf("median of %d rounds, %d x %d picture, %d x %d canvas, view %ld x %ld\n", rounds, width, height, right + 1,
                bottom + 1, client.right, client.bottom);
    std::printf("%-40s %8.1f ms\n", "full repaint of the view", Median(repaint));
    for (const Tool& tool : tools)
        std::printf("%-40s %8.1f ms (%.2f x repaint)\n", tool.name, Median(tool.times), Median(tool.ratios));
    std::printf("%-40s %8.1f ms (%.2f x repaint)\n", "one brush move, to idle", Median(brush), Median(brushRatios));
    PostMessageW(frame, WM_COMMAND, 57665, 0);
    probe::WaitForExit(app);
    return 0;
}
