#include "painter/app/view/PaintScript.h"

#include <charconv>
#include <vector>

namespace rv {
namespace {

struct Named {
    std::string_view name;
    int value;
};

constexpr Named kTools[] = {
    {"none", ToolNone},
    {"pencil", ToolPencil},
    {"brush", ToolBrush},
    {"line", ToolLine},
    {"rect", ToolRect},
    {"filled-rect", ToolFilledRect},
    {"ellipse", ToolEllipse},
    {"filled-ellipse", ToolFilledEllipse},
    {"fill", ToolFill},
    {"eraser", ToolEraser},
    {"lasso", ToolLasso},
    {"gradient-circle", ToolGradientCircle},
    {"gradient-rect", ToolGradientRect},
    {"picker", ToolPicker},
};

// Panel sliders: the setting's name and its control.
constexpr Named kSliders[] = {
    {"pen-width", CToolPanel::IdPenWidth}, {"eraser-width", CToolPanel::IdEraserWidth},
    {"curve", CToolPanel::IdCurve},        {"c1", CToolPanel::IdC1},
    {"c2", CToolPanel::IdC2},              {"value", CToolPanel::IdColourValue},
};
constexpr Named kCheckBoxes[] = {
    {"low-left", CToolPanel::IdLowLeft},
    {"low-middle", CToolPanel::IdLowMiddle},
    {"low-right", CToolPanel::IdLowRight},
};
constexpr Named kEraserKinds[] = {
    {"soft", CToolPanel::IdSoft}, {"circular", CToolPanel::IdCircular}, {"square", CToolPanel::IdSquare}};
constexpr Named kFamilies[] = {{"black", CToolPanel::IdBlack}, {"blue", CToolPanel::IdBlue}};

template <std::size_t N>
const Named* Find(const Named (&table)[N], std::string_view name)
{
    for (const Named& n : table)
        if (n.name == name) return &n;
    return nullptr;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::vector<std::string_view> Words(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

std::string Quoted(std::string_view word)
{
    std::string quoted(1, '\'');
    quoted.append(word);
    quoted += '\'';
    return quoted;
}

// A decimal whole number within [low, high].
bool Number(std::string_view what, std::string_view word, int low, int high, int& value, std::string& problem)
{
    int parsed = 0;
    const char* first = word.data();
    const char* last = word.data() + word.size();
    const auto [end, error] = std::from_chars(first, last, parsed, 10);
    if (word.empty() || error != std::errc() || end != last) {
        problem = std::string(what) + " " + Quoted(word) + " is not a whole number";
        return false;
    }
    if (parsed < low || parsed > high) {
        problem = std::string(what) + " " + std::string(word) + " is out of range (" + std::to_string(low) + " to " +
                  std::to_string(high) + ")";
        return false;
    }
    value = parsed;
    return true;
}

bool WordCount(const std::vector<std::string_view>& words, std::size_t count, const char* usage, std::string& problem)
{
    if (words.size() == count) return true;
    problem = words.size() < count ? "missing value: " + std::string(usage)
                                   : "unexpected " + Quoted(words[count]) + ": " + std::string(usage);
    return false;
}

} // namespace

CPaintScriptPlayer::CPaintScriptPlayer(std::unique_ptr<CDibImage> depthMap)
    : view_(state_, *this, std::move(depthMap)),
      screen_(view_.DepthMap().Width() + 2, view_.DepthMap().Height() + 2)
{
    state_.stage = StagePainting;
    view_.OnInitialUpdate();
    Repaint();
}

void CPaintScriptPlayer::Repaint()
{
    screen_.Fill(kWhite);
    view_.OnDraw(screen_);
    invalid_ = false;
}

void CPaintScriptPlayer::PanelChanged() { view_.Panel().Refresh(0); }

bool CPaintScriptPlayer::Panel(std::string_view setting, std::string_view value, std::string& problem)
{
    CToolPanel& panel = view_.Panel();
    if (const Named* slider = Find(kSliders, setting)) {
        int low = 0, high = 0;
        CToolPanel::SliderRange(slider->value, low, high);
        int pos = 0;
        if (!Number(setting, value, low, high, pos, problem)) return false;
        panel.SetSliderPos(slider->value, pos);
        PanelChanged();
        PanelChanged();
        return true;
    }
    if (const Named* box = Find(kCheckBoxes, setting)) {
        int wanted = 0;
        if (!Number(setting, value, 0, 1, wanted, problem)) return false;
        if (panel.IsChecked(box->value) != (wanted == 1)) {
            panel.Click(box->value);
            PanelChanged();
        }
        return true;
    }
    const bool kind = setting == "eraser-kind";
    if (kind || setting == "family") {
        const Named* button = kind ? Find(kEraserKinds, value) : Find(kFamilies, value);
        if (!button) {
            problem = std::string(setting) + " " + Quoted(value) + " is not one of " +
                      (kind ? "soft, circular, square" : "black, blue");
            return false;
        }
        panel.Click(button->value);
        PanelChanged();
        return true;
    }
    problem = "unknown panel setting " + Quoted(setting);
    return false;
}

bool CPaintScriptPlayer::RunLine(std::string_view line, std::string& problem)
{
    const std::vector<std::string_view> words = Words(line);
    if (words.empty() || words[0][0] == '#') return true;
    const std::string_view command = words[0];

    if (command == "tool") {
        if (!WordCount(words, 2, "tool NAME", problem)) return false;
        const Named* tool = Find(kTools, words[1]);
        if (!tool) {
            problem = "unknown tool " + Quoted(words[1]);
            return false;
        }
        view_.SetTool(tool->value);
    } else if (command == "panel") {
        if (!WordCount(words, 3, "panel SETTING VALUE", problem)) return false;
        if (!Panel(words[1], words[2], problem)) return false;
    } else if (command == "clear") {
        if (!WordCount(words, 1, "clear", problem)) return false;
        view_.OnCommand(CmdClearDrawing);
    } else if (command == "undo" || command == "redo") {
        const bool undo = command == "undo";
        if (!WordCount(words, 1, undo ? "undo" : "redo", problem)) return false;
        if (!view_.OnCommand(undo ? CmdUndo : CmdRedo)) {
            problem = undo ? "nothing to undo" : "nothing to redo";
            return false;
        }
    } else if (command == "scroll" || command == "down" || command == "move" || command == "up") {
        const bool scroll = command == "scroll";
        const std::string usage = std::string(command) + " X Y";
        if (!WordCount(words, 3, usage.c_str(), problem)) return false;
        // The view is far wider and higher than the depth map: the pointer
        // goes anywhere a window's client coordinates reach.
        const int width = scroll ? view_.DepthMap().Width() : kMaxPointer + 1;
        const int height = scroll ? view_.DepthMap().Height() : kMaxPointer + 1;
        Point p;
        if (!Number("X", words[1], 0, width - 1, p.x, problem) || !Number("Y", words[2], 0, height - 1, p.y, problem))
            return false;
        if (scroll) {
            view_.OnScroll(p.x, p.y);
            invalid_ = true;
        } else {
            // A real mouse is always where it presses or releases.
            if (command != "move" && !(p == pointer_)) view_.OnMouseMove(p.x, p.y, screen_);
            pointer_ = p;
            if (command == "down") view_.OnLButtonDown(p.x, p.y, screen_);
            else if (command == "up") view_.OnLButtonUp(p.x, p.y, screen_);
            else view_.OnMouseMove(p.x, p.y, screen_);
        }
    } else {
        problem = "unknown command " + Quoted(command);
        return false;
    }
    if (invalid_) Repaint();
    return true;
}

bool CPaintScriptPlayer::Run(std::string_view script, std::string& problem)
{
    int number = 0;
    while (!script.empty()) {
        ++number;
        const std::size_t end = script.find('\n');
        const std::string_view line = script.substr(0, end);
        script = end == std::string_view::npos ? std::string_view() : script.substr(end + 1);
        std::string lineProblem;
        if (!RunLine(line, lineProblem)) {
            problem = "line " + std::to_string(number) + ": " + lineProblem;
            return false;
        }
    }
    return true;
}

} // namespace rv
