#include "tools/assets/CPictureSet.h"

#include "tools/assets/CGlyphRenderer.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace Assets {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Palette. None of these is near white; kTransparent and kHalfGrey are the keys.
constexpr uint32_t kInk = 0x101018;        // outlines
constexpr uint32_t kGold = 0xF2B632;       // digits, headings
constexpr uint32_t kLabel = 0xF4E49A;      // panel labels, help keys
constexpr uint32_t kText = 0xD6DAE4;       // body text (light grey, below the near-white line)
constexpr uint32_t kPlate = 0x1B2338;      // dark plates
constexpr uint32_t kButton = 0x3A4C6E;     // button face
constexpr uint32_t kButtonRim = 0x8A9CC0;  // button bevel
constexpr uint32_t kRed = 0xE02A1E;
constexpr uint32_t kBlue = 0x2A5CF0;
constexpr uint32_t kSteel = 0xB4B8C4;
constexpr uint32_t kDark = 0x2A2A30;
constexpr uint32_t kPush = 0xFFD40C;       // pushing move magnet (as its model)
constexpr uint32_t kPull = 0xFF8C0C;       // attracting move magnet (as its model)

const int kDigitWidths[10] = {21, 12, 18, 18, 21, 18, 21, 20, 21, 21};

// Hit boxes of the control panel in picture coordinates (x from the panel's
// left edge, y from the top), inclusive, as the controls test them.
struct SBox {
    int x0, y0, x1, y1;
};
constexpr SBox kRobotsButton{29, 44, 76, 91};
constexpr SBox kMagnetButton{104, 44, 151, 91};
constexpr SBox kLaserButton{179, 44, 226, 91};
constexpr SBox kEraserButton{29, 346, 76, 393};
constexpr SBox kClearButton{104, 346, 151, 393};
// The pad: 3 x 3 buttons of 48 x 48 at a pitch of 75 across and 59 down,
// the top-left one at (29, 169).
SBox PadButton(int column, int row) { return {29 + 75 * column, 169 + 59 * row, 76 + 75 * column, 216 + 59 * row}; }

std::string Font(const std::string& dir, const char* file) { return dir + "/" + file; }

void DrawButton(CBitmapImage& image, const SBox& box)
{
    image.FillRect(box.x0, box.y0, box.x1 + 1, box.y1 + 1, kInk);
    image.FillRect(box.x0 + 1, box.y0 + 1, box.x1, box.y1, kButtonRim);
    image.FillRect(box.x0 + 3, box.y0 + 3, box.x1, box.y1, 0x26324A);
    image.FillRect(box.x0 + 3, box.y0 + 3, box.x1 - 2, box.y1 - 2, kButton);
}

// A small robot seen from the front, centred on (cx, cy), `s` pixels across.
void DrawRobotIcon(CBitmapImage& image, double cx, double cy, double s, uint32_t body)
{
    auto rect = [&](double x0, double y0, double x1, double y1, uint32_t c) {
        image.FillRect(static_cast<int>(std::lround(cx + x0 * s)), static_cast<int>(std::lround(cy + y0 * s)),
                       static_cast<int>(std::lround(cx + x1 * s)), static_cast<int>(std::lround(cy + y1 * s)), c);
    };
    rect(-0.03, -0.5, 0.03, -0.32, kDark);    // antenna
    rect(-0.07, -0.54, 0.07, -0.46, body);
    rect(-0.25, -0.34, 0.25, -0.06, kInk);    // head
    rect(-0.23, -0.32, 0.23, -0.08, kSteel);
    rect(-0.17, -0.25, -0.05, -0.15, kPush);  // eyes
    rect(0.05, -0.25, 0.17, -0.15, kPush);
    rect(-0.37, -0.06, 0.37, 0.3, kInk);      // body
    rect(-0.35, -0.04, 0.35, 0.28, body);
    rect(-0.2, 0.08, 0.2, 0.14, kPush);       // bumper stripe
    rect(-0.5, 0.02, -0.37, 0.46, kDark);     // tracks
    rect(0.37, 0.02, 0.5, 0.46, kDark);
    rect(-0.3, 0.3, 0.3, 0.46, kDark);
}

void DrawHorseshoe(CBitmapImage& image, double cx, double cy, double s, uint32_t colour)
{
    // Opening downwards; silver poles at the ends.
    double rout = 0.42 * s, rin = 0.2 * s;
    double top = cy - 0.08 * s;
    for (int y = static_cast<int>(top - rout) - 1; y <= static_cast<int>(top) + 1; ++y)
        for (int x = static_cast<int>(cx - rout) - 1; x <= static_cast<int>(cx + rout) + 1; ++x) {
            double dx = x + 0.5 - cx, dy = y + 0.5 - top;
            double d2 = dx * dx + dy * dy;
            if (dy <= 0.0 && d2 <= rout * rout && d2 >= rin * rin)
                image.Set(x, y, colour);
        }
    int l0 = static_cast<int>(std::lround(cx - rout)), l1 = static_cast<int>(std::lround(cx - rin));
    int r0 = static_cast<int>(std::lround(cx + rin)), r1 = static_cast<int>(std::lround(cx + rout));
    int y0 = static_cast<int>(std::lround(top)), y1 = static_cast<int>(std::lround(cy + 0.2 * s));
    int y2 = static_cast<int>(std::lround(cy + 0.4 * s));
    image.FillRect(l0, y0, l1, y1, colour);
    image.FillRect(r0, y0, r1, y1, colour);
    image.FillRect(l0, y1, l1, y2, kSteel);
    image.FillRect(r0, y1, r1, y2, kSteel);
}

void DrawLaserIcon(CBitmapImage& image, double cx, double cy, double s)
{
    image.FillCircle(cx, cy + 0.1 * s, 0.36 * s, kInk);
    image.FillCircle(cx, cy + 0.1 * s, 0.33 * s, kDark);
    image.Line(cx, cy + 0.05 * s, cx + 0.34 * s, cy - 0.36 * s, 0.13 * s + 2.0, kInk);
    image.Line(cx, cy + 0.05 * s, cx + 0.34 * s, cy - 0.36 * s, 0.13 * s, kSteel);
    image.FillCircle(cx, cy + 0.1 * s, 0.2 * s, kRed);
    image.FillCircle(cx + 0.36 * s, cy - 0.39 * s, 0.08 * s, 0xFF8C0C);
}

// An arrow centred on (cx, cy) pointing along (dx, dy) (screen axes, y down).
void DrawArrow(CBitmapImage& image, double cx, double cy, double dx, double dy, double length, uint32_t colour)
{
    double n = std::sqrt(dx * dx + dy * dy);
    dx /= n;
    dy /= n;
    double px = -dy, py = dx;
    double h = length / 2.0, head = 0.45 * length, shaft = 0.12 * length, wing = 0.3 * length;
    std::vector<double> poly = {
        cx - h * dx + shaft * px,          cy - h * dy + shaft * py,
        cx + (h - head) * dx + shaft * px, cy + (h - head) * dy + shaft * py,
        cx + (h - head) * dx + wing * px,  cy + (h - head) * dy + wing * py,
        cx + h * dx,                       cy + h * dy,
        cx + (h - head) * dx - wing * px,  cy + (h - head) * dy - wing * py,
        cx + (h - head) * dx - shaft * px, cy + (h - head) * dy - shaft * py,
        cx - h * dx - shaft * px,          cy - h * dy - shaft * py,
    };
    image.FillPolygon(poly, colour);
}

void DrawAttractIcon(CBitmapImage& image, double cx, double cy, double s)
{
    image.FillCircle(cx, cy, 0.1 * s, kPull);
    for (int k = 0; k < 4; ++k) {
        double a = kPi / 4.0 + kPi / 2.0 * k;
        double dx = std::cos(a), dy = std::sin(a), px = -dy, py = dx;
        image.FillPolygon({cx + 0.17 * s * dx, cy + 0.17 * s * dy,
                           cx + 0.42 * s * dx + 0.14 * s * px, cy + 0.42 * s * dy + 0.14 * s * py,
                           cx + 0.42 * s * dx - 0.14 * s * px, cy + 0.42 * s * dy - 0.14 * s * py},
                          kPull);
    }
}

void DrawCross(CBitmapImage& image, double cx, double cy, double s, uint32_t colour)
{
    image.Line(cx - 0.3 * s, cy - 0.3 * s, cx + 0.3 * s, cy + 0.3 * s, 0.14 * s, colour);
    image.Line(cx - 0.3 * s, cy + 0.3 * s, cx + 0.3 * s, cy - 0.3 * s, 0.14 * s, colour);
}

void DrawBolt(CBitmapImage& image, double cx, double cy, double s, uint32_t colour)
{
    image.FillPolygon({cx + 0.08 * s, cy - 0.5 * s, cx - 0.28 * s, cy + 0.06 * s, cx - 0.02 * s, cy + 0.06 * s,
                       cx - 0.1 * s, cy + 0.5 * s, cx + 0.28 * s, cy - 0.1 * s, cx + 0.02 * s, cy - 0.1 * s},
                      colour);
}

double CentreX(const SBox& b) { return (b.x0 + b.x1 + 1) / 2.0; }
double CentreY(const SBox& b) { return (b.y0 + b.y1 + 1) / 2.0; }

// The height of the digits and of the speed labels beside them.
constexpr int kFigureHeight = 23;

// The largest size at which the digits fit kFigureHeight with an outline of
// one pixel.
int FigureSize(CGlyphRenderer& bold)
{
    int size = 40;
    while (size > 6) {
        STextBox box = bold.Measure("0123456789", size);
        if (box.bottom - box.top <= kFigureHeight - 2)
            break;
        --size;
    }
    return size;
}

CBitmapImage DrawDigit(const std::string& fontDir, int digit)
{
    int width = kDigitWidths[digit], height = kFigureHeight, outline = 1;
    CGlyphRenderer bold(Font(fontDir, "DejaVuSans-Bold.ttf"));
    const int size = FigureSize(bold);
    std::string text(1, static_cast<char>('0' + digit));
    STextBox box = bold.Measure(text, size);
    double room = width - 2 * outline - 1;
    double scale = std::min(1.0, room / std::max(1, box.right - box.left));
    CBitmapImage image(width, height);
    bold.DrawCentred(image, text, width / 2, height / 2, size, kGold, outline, kInk, scale);
    return image;
}

CBitmapImage DrawCursor()
{
    // The arrow's tip is the pointer's hot spot, the picture's top-left pixel.
    CBitmapImage image(64, 64);
    image.FillPolygon({1, 1, 1, 24, 6.5, 18.5, 10.5, 27.5, 14, 26, 10, 17.2, 17.8, 17.2}, 0xF0D060);
    image.Outline(kTransparent, kInk, 1);
    image.Set(0, 0, kInk);
    return image;
}

CBitmapImage DrawTitle(const std::string& fontDir)
{
    CBitmapImage image(549, 218);
    image.FillRoundRect(0, 0, 549, 218, 24, 0x6A4A14);
    image.FillRoundRect(5, 5, 544, 213, 20, kPlate);
    CGlyphRenderer bold(Font(fontDir, "DejaVuSans-Bold.ttf"));
    CGlyphRenderer regular(Font(fontDir, "DejaVuSans.ttf"));
    bold.DrawCentred(image, "Tavrin", 274, 92, 120, kGold, 4, 0x3A1A08);
    regular.DrawCentred(image, "red robots against blue robots", 274, 178, 24, kText);
    DrawRobotIcon(image, 52, 170, 44, kRed);
    DrawRobotIcon(image, 497, 170, 44, kBlue);
    return image;
}

CBitmapImage DrawEnergy()
{
    CBitmapImage image(96, 96);
    image.FillCircle(48, 48, 46, kInk);
    image.FillCircle(48, 48, 43, 0x2E3A56);
    image.FillRing(48, 48, 36, 40, kGold);
    CBitmapImage bolt(96, 96);
    DrawBolt(bolt, 48, 48, 62, 0xFFD22A);
    bolt.Outline(kTransparent, kInk, 2);
    image.Blit(bolt, 0, 0);
    return image;
}

CBitmapImage DrawControlPanel(const std::string& fontDir)
{
    CGlyphRenderer bold(Font(fontDir, "DejaVuSans-Bold.ttf"));
    CGlyphRenderer regular(Font(fontDir, "DejaVuSans.ttf"));
    CBitmapImage image(256, 768);
    // A half-transparent plate behind the buttons, with a dark rim.
    image.FillRoundRect(6, 4, 250, 438, 14, kInk);
    image.FillRoundRect(8, 6, 248, 436, 12, kHalfGrey);

    auto label = [&](const char* text, double cx, int cy, int size, uint32_t colour) {
        bold.DrawCentred(image, text, static_cast<int>(std::lround(cx)), cy, size, colour, 1, kInk);
    };
    label("Build", 128, 24, 15, kGold);
    const SBox row[3] = {kRobotsButton, kMagnetButton, kLaserButton};
    for (const SBox& b : row)
        DrawButton(image, b);
    DrawRobotIcon(image, CentreX(kRobotsButton), CentreY(kRobotsButton) + 1, 36, kRed);
    DrawHorseshoe(image, CentreX(kMagnetButton), CentreY(kMagnetButton), 40, kRed);
    DrawLaserIcon(image, CentreX(kLaserButton), CentreY(kLaserButton), 40);
    label("Robots", CentreX(kRobotsButton), 103, 12, kLabel);
    label("Magnet", CentreX(kMagnetButton), 103, 12, kLabel);
    label("Laser", CentreX(kLaserButton), 103, 12, kLabel);
    auto cost = [&](const char* text, double cx) {
        regular.DrawCentred(image, text, static_cast<int>(std::lround(cx)), 119, 11, kText, 1, kInk);
    };
    cost("4 x 1", CentreX(kRobotsButton));
    cost("3", CentreX(kMagnetButton));
    cost("7", CentreX(kLaserButton));

    label("Move magnets", 128, 150, 15, kGold);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            SBox b = PadButton(c, r);
            DrawButton(image, b);
            if (r == 1 && c == 1)
                DrawAttractIcon(image, CentreX(b), CentreY(b), 42);
            else
                DrawArrow(image, CentreX(b), CentreY(b), c - 1, r - 1, 36, kPush);
        }
    }
    DrawButton(image, kEraserButton);
    DrawButton(image, kClearButton);
    DrawCross(image, CentreX(kEraserButton), CentreY(kEraserButton), 40, kRed);
    DrawArrow(image, CentreX(kClearButton), CentreY(kClearButton), 1, 0, 34, kPush);
    DrawArrow(image, CentreX(kClearButton), CentreY(kClearButton) - 10, -1, 0, 22, kPull);
    image.Line(CentreX(kClearButton) - 15, CentreY(kClearButton) + 15, CentreX(kClearButton) + 15,
               CentreY(kClearButton) - 15, 5, kRed);
    label("Erase", CentreX(kEraserButton), 405, 12, kLabel);
    label("Clear all", CentreX(kClearButton), 405, 12, kLabel);
    regular.DrawCentred(image, "right click: drop", 128, 425, 11, kText, 1, kInk);
    return image;
}

CBitmapImage DrawHelp(const std::string& fontDir)
{
    CGlyphRenderer bold(Font(fontDir, "DejaVuSans-Bold.ttf"));
    CGlyphRenderer regular(Font(fontDir, "DejaVuSans.ttf"));
    CBitmapImage image(599, 212);
    image.FillRoundRect(0, 0, 599, 212, 12, kInk);
    image.FillRoundRect(2, 2, 597, 210, 10, kHalfGrey);
    bold.Draw(image, "Controls", 16, 26, 17, kGold, 1, kInk);
    struct SLine {
        const char* key;
        const char* action;
    };
    const SLine lines[] = {
        {"Space", "switch between the map view and the walk view"},
        {"W A S D, mouse", "walk and look around in the walk view"},
        {"Left click", "use the control panel, then place on the map"},
        {"Right click", "drop the tool"},
        {"P, Pause", "pause the game, and play on"},
        {"+ and -", "game speed: 1/2x, 1x, 2x, 4x"},
        {"F11, Alt+Enter", "a window or the whole screen"},
        {"F12", "screenshot, saved in Screenshots"},
        {"F1", "show or hide this help"},
        {"Esc", "quit"},
    };
    int baseline = 48;
    for (const SLine& line : lines) {
        bold.Draw(image, line.key, 16, baseline, 13, kLabel, 1, kInk);
        regular.Draw(image, line.action, 150, baseline, 13, kText, 1, kInk);
        baseline += 17;
    }
    return image;
}

// A notice in the middle of the frame: a title and a line under it.
CBitmapImage DrawNotice(const std::string& fontDir, const char* title, int titleSize, const char* line)
{
    CGlyphRenderer bold(Font(fontDir, "DejaVuSans-Bold.ttf"));
    CGlyphRenderer regular(Font(fontDir, "DejaVuSans.ttf"));
    CBitmapImage image(320, 88);
    image.FillRoundRect(0, 0, 320, 88, 14, kInk);
    image.FillRoundRect(3, 3, 317, 85, 12, kHalfGrey);
    bold.DrawCentred(image, title, 160, 36, titleSize, kGold, 2, kInk);
    regular.DrawCentred(image, line, 160, 70, 15, kText, 1, kInk);
    return image;
}

// A game speed as it stands beside the energy figure: the text left-aligned
// at the digits' size and colours.
CBitmapImage DrawSpeedLabel(const std::string& fontDir, const std::string& text)
{
    CGlyphRenderer bold(Font(fontDir, "DejaVuSans-Bold.ttf"));
    CBitmapImage image(72, kFigureHeight);
    const int size = FigureSize(bold);
    const STextBox box = bold.Measure(text, size);
    const STextBox digits = bold.Measure("0123456789", size);
    // The digits' baseline: their ink centred in the height, as DrawDigit puts it.
    const int baseline = (kFigureHeight - (digits.bottom - digits.top)) / 2 - digits.top;
    bold.Draw(image, text, 1 - box.left, baseline, size, kGold, 1, kInk);
    return image;
}

CBitmapImage DrawEndScreen(const std::string& fontDir, bool playerWon)
{
    CGlyphRenderer bold(Font(fontDir, "DejaVuSans-Bold.ttf"));
    CGlyphRenderer regular(Font(fontDir, "DejaVuSans.ttf"));
    CBitmapImage image(1024, 768);
    // A dark vertical gradient tinted by the outcome.
    for (int y = 0; y < 768; ++y) {
        int t = y * 40 / 767;
        uint32_t c = playerWon ? (static_cast<uint32_t>(16 + t) << 16) | (static_cast<uint32_t>(34 + t) << 8) |
                                     static_cast<uint32_t>(60 + t)
                               : (static_cast<uint32_t>(60 + t) << 16) | (static_cast<uint32_t>(14 + t / 2) << 8) |
                                     static_cast<uint32_t>(18 + t / 2);
        image.FillRect(0, y, 1024, y + 1, c);
    }
    image.FillRect(0, 250, 1024, 430, kPlate);
    image.FillRect(0, 246, 1024, 250, kGold);
    image.FillRect(0, 430, 1024, 434, kGold);
    if (playerWon) {
        bold.DrawCentred(image, "You win!", 512, 320, 96, kGold, 4, kInk);
        regular.DrawCentred(image, "Every blue robot is gone. The field is red.", 512, 398, 30, kText);
        for (int i = 0; i < 7; ++i)
            DrawRobotIcon(image, 212 + 100 * i, 560, 64, kRed);
    } else {
        bold.DrawCentred(image, "You lose", 512, 320, 96, 0xE04A3A, 4, kInk);
        regular.DrawCentred(image, "Every red robot is gone. Blue holds the field.", 512, 398, 30, kText);
        for (int i = 0; i < 7; ++i)
            DrawRobotIcon(image, 212 + 100 * i, 560, 64, kBlue);
    }
    bold.DrawCentred(image, "Press Esc to quit", 512, 680, 34, kLabel, 2, kInk);
    return image;
}

} // namespace

const std::vector<SPictureEntry>& CPictureSet::Entries()
{
    static const std::vector<SPictureEntry> entries = {
        {"Cursor.bmp", 64, 64},        {"n0.bmp", 21, 23},         {"n1.bmp", 12, 23},
        {"n2.bmp", 18, 23},            {"n3.bmp", 18, 23},         {"n4.bmp", 21, 23},
        {"n5.bmp", 18, 23},            {"n6.bmp", 21, 23},         {"n7.bmp", 20, 23},
        {"n8.bmp", 21, 23},            {"n9.bmp", 21, 23},         {"Title.bmp", 549, 218},
        {"Energy.bmp", 96, 96},        {"ControlUI.bmp", 256, 768}, {"HelpText.bmp", 599, 212},
        {"LoseScreen.bmp", 1024, 768}, {"WinScreen.bmp", 1024, 768},
        // The application's: the pause and the game speeds beside the energy.
        {"Paused.bmp", 320, 88},       {"SpeedHalf.bmp", 72, 23},  {"Speed2.bmp", 72, 23},
        {"Speed4.bmp", 72, 23},
        // A replay's viewer: its fastest speed and the end of the records.
        {"Speed8.bmp", 72, 23},        {"ReplayEnd.bmp", 320, 88},
    };
    return entries;
}

CPictureSet::CPictureSet(const std::string& dir) : fontDir(dir)
{
    // Fail early, naming the missing file.
    CGlyphRenderer bold(Font(fontDir, "DejaVuSans-Bold.ttf"));
    CGlyphRenderer regular(Font(fontDir, "DejaVuSans.ttf"));
}

CBitmapImage CPictureSet::Build(const std::string& name) const
{
    if (name.size() == 6 && name[0] == 'n' && name[1] >= '0' && name[1] <= '9' && name.substr(2) == ".bmp")
        return DrawDigit(fontDir, name[1] - '0');
    if (name == "Cursor.bmp")
        return DrawCursor();
    if (name == "Title.bmp")
        return DrawTitle(fontDir);
    if (name == "Energy.bmp")
        return DrawEnergy();
    if (name == "ControlUI.bmp")
        return DrawControlPanel(fontDir);
    if (name == "HelpText.bmp")
        return DrawHelp(fontDir);
    if (name == "LoseScreen.bmp")
        return DrawEndScreen(fontDir, true); // shown when blue has no robots left
    if (name == "WinScreen.bmp")
        return DrawEndScreen(fontDir, false); // shown when red has no robots left
    if (name == "Paused.bmp")
        return DrawNotice(fontDir, "Paused", 40, "P to play on");
    if (name == "ReplayEnd.bmp")
        return DrawNotice(fontDir, "End of replay", 34, "Esc to leave");
    if (name == "SpeedHalf.bmp")
        return DrawSpeedLabel(fontDir, "1/2x");
    if (name == "Speed2.bmp")
        return DrawSpeedLabel(fontDir, "2x");
    if (name == "Speed4.bmp")
        return DrawSpeedLabel(fontDir, "4x");
    if (name == "Speed8.bmp")
        return DrawSpeedLabel(fontDir, "8x");
    throw std::runtime_error("CPictureSet::Build() - unknown picture '" + name + "'");
}

} // namespace Assets
