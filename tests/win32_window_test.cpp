#include <gtest/gtest.h>
#include <oleacc.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "boxanswerer.h"
#include "design.h"
#include "form.h"
#include "form1.h"
#include "messages.h"
#include "recordinggame.h"
#include "scorefont.h"
#include "widetext.h"
#include "win32runtime.h"

namespace zintu {
namespace {

using testing::BoxAnswerer;
using testing::pumpFor;
using testing::pumpUntil;
using testing::RecordingGame;
using Events = std::vector<std::string>;

constexpr int playbackTimeoutMs = 5000;

RECT clientRectOf(HWND window) {
    RECT inside;
    GetClientRect(window, &inside);
    return inside;
}

// A child's place in its parent's inside.
RECT placeOf(HWND child) {
    RECT place;
    GetWindowRect(child, &place);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

bool sameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

std::wstring textOf(HWND window) {
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return text;
}

// What the screen shows at a point of a window's inside.
COLORREF shownAt(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

POINT centreOnScreen(HWND window) {
    const RECT inside = clientRectOf(window);
    POINT centre{inside.right / 2, inside.bottom / 2};
    ClientToScreen(window, &centre);
    return centre;
}

// Real input, through the system's input queue, so that Windows does its own capture and its
// own double-click detection.
void mouseButton(DWORD flags, DWORD data = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.mouseData = data;
    SendInput(1, &input, sizeof input);
    pumpFor(20);
}

void clickAt(POINT screen, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP) {
    SetCursorPos(screen.x, screen.y);
    pumpFor(20);
    mouseButton(down);
    mouseButton(up);
}

bool padsEnabled(const Form* form) {
    for (PadIndex pad = 0; pad < design::padCount; ++pad) {
        if (!IsWindowEnabled(form->pad(pad)->hwnd())) {
            return false;
        }
    }
    return true;
}

bool anyPadLit(const Form* form) {
    for (PadIndex pad = 0; pad < design::padCount; ++pad) {
        if (form->pad(pad)->lit()) {
            return true;
        }
    }
    return false;
}

class Win32Window : public ::testing::Test {
protected:
    void SetUp() override {
        runtime.start(form);
        ASSERT_NE(runtime.form(), nullptr);
        RedrawWindow(runtime.window(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        pumpFor(50);
    }

    Win32Runtime runtime;
    Form1 form{runtime};
};

TEST_F(Win32Window, opensCentredWithDesignedCaptionAndClientSizeAndNoMaximise) {
    HWND window = runtime.window();
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(textOf(window), L"Zintu!");
    EXPECT_TRUE(sameRect(clientRectOf(window), RECT{0, 0, 321, 133}));
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT outside;
    GetWindowRect(window, &outside);
    EXPECT_LE(
        std::abs((outside.left + outside.right) - (monitor.rcWork.left + monitor.rcWork.right)), 2);
    EXPECT_LE(
        std::abs((outside.top + outside.bottom) - (monitor.rcWork.top + monitor.rcWork.bottom)), 2);
}

TEST_F(Win32Window, padsTileTheGridEdgeToEdgeOnTheScreen) {
    HWND window = runtime.window();
    const COLORREF red = design::restingColour(0);
    const COLORREF yellow = design::restingColour(1);
    const COLORREF green = design::restingColour(2);
    const COLORREF blue = design::restingColour(3);
    const COLORREF orange = design::formBackColor;
    // Edges at 0, 67 and 133 pixels: the last pixel of each pad and the first of its neighbour.
    EXPECT_EQ(shownAt(window, 0, 0), red);
    EXPECT_EQ(shownAt(window, 66, 66), red);
    EXPECT_EQ(shownAt(window, 67, 0), yellow);
    EXPECT_EQ(shownAt(window, 132, 66), yellow);
    EXPECT_EQ(shownAt(window, 67, 67), green);
    EXPECT_EQ(shownAt(window, 132, 132), green);
    EXPECT_EQ(shownAt(window, 0, 67), blue);
    EXPECT_EQ(shownAt(window, 66, 132), blue);
    EXPECT_EQ(shownAt(window, 133, 0), orange);
    EXPECT_EQ(shownAt(window, 320, 132), orange);
}

TEST_F(Win32Window, labelReadsLevelOneInBlackletterNeverInSymbols) {
    HWND score = runtime.form()->score();
    EXPECT_EQ(textOf(score), L"Level: 1");
    EXPECT_TRUE(sameRect(placeOf(score), RECT{152, 32, 321, 97}));

    HDC dc = GetDC(score);
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(score, WM_GETFONT, 0, 0)));
    wchar_t face[LF_FACESIZE] = L"";
    GetTextFaceW(dc, LF_FACESIZE, face);
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(score, dc);
    // No machine here has the designed face: the one embedded in the program is drawn.
    EXPECT_EQ(std::wstring(face).rfind(L"Blankenburg", 0), 0u) << narrow(face);
    EXPECT_NE(metrics.tmCharSet, SYMBOL_CHARSET);
}

class LabelAtScaling : public ::testing::TestWithParam<int> {};

TEST_P(LabelAtScaling, everyLevelCaptionFitsTheLabelWhole) {
    const int dpi = GetParam();
    const design::PixelRect label = design::toPixels(design::scoreRect, dpi);
    HFONT font = createScoreFont(dpi, SIZE{label.width, label.height});
    HDC screen = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(screen, font);
    TEXTMETRICW metrics;
    GetTextMetricsW(screen, &metrics);
    EXPECT_LE(metrics.tmHeight, label.height);
    for (int level = 1; level <= 99; ++level) {
        const std::wstring caption = widen(messages::levelCaption(level));
        SIZE extent;
        GetTextExtentPoint32W(screen, caption.c_str(), static_cast<int>(caption.size()), &extent);
        EXPECT_LE(extent.cx, label.width) << "level " << level << " at " << dpi << " dpi";
    }
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
}

// 100 % to 200 % scaling.
INSTANTIATE_TEST_SUITE_P(Scalings, LabelAtScaling, ::testing::Values(96, 120, 144, 168, 192));

TEST_F(Win32Window, resolutionChangeLaysTheWindowOutAnew) {
    HWND window = runtime.window();
    RECT suggested;
    GetWindowRect(window, &suggested);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));

    EXPECT_TRUE(sameRect(clientRectOf(window), RECT{0, 0, 642, 266}));
    const Form* form = runtime.form();
    // Edges at 0, 133 and 267 pixels: pads still meet, neither overlapping nor apart.
    EXPECT_TRUE(sameRect(placeOf(form->pad(0)->hwnd()), RECT{0, 0, 133, 133}));
    EXPECT_TRUE(sameRect(placeOf(form->pad(1)->hwnd()), RECT{133, 0, 267, 133}));
    EXPECT_TRUE(sameRect(placeOf(form->pad(2)->hwnd()), RECT{133, 133, 267, 267}));
    EXPECT_TRUE(sameRect(placeOf(form->pad(3)->hwnd()), RECT{0, 133, 133, 267}));
    EXPECT_TRUE(sameRect(placeOf(form->score()), RECT{304, 64, 642, 194}));
}

class Win32Game : public ::testing::Test {
protected:
    void start(int holdMs = 0) {
        answerer = std::make_unique<BoxAnswerer>(holdMs);
        runtime.start(recorder);
    }

    Form* current() const { return runtime.form(); }

    bool waitForPlayersTurn() {
        return pumpUntil([this] { return current() && padsEnabled(current()); }, playbackTimeoutMs);
    }

    PadIndex expectedPad() const {
        const GameState& state = form.state();
        return state.padAt(state.position);
    }

    Win32Runtime runtime;
    Form1 form{runtime};
    RecordingGame recorder{runtime, &form};
    std::unique_ptr<BoxAnswerer> answerer;
};

TEST_F(Win32Game, roundPlayedWithTheMouseReloadsOneLevelHigherInTheSameWindow) {
    start();
    ASSERT_TRUE(waitForPlayersTurn());
    const HWND window = runtime.window();
    const HWND first = current()->hwnd();

    clickAt(centreOnScreen(current()->pad(expectedPad())->hwnd()));

    ASSERT_TRUE(pumpUntil([this] { return answerer->boxes().size() == 2; }));
    EXPECT_EQ(answerer->texts(), (std::vector<std::wstring>{L"GO!", L"Ready for level 2?"}));
    ASSERT_NE(current()->hwnd(), first);
    EXPECT_EQ(runtime.window(), window);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(IsWindowVisible(current()->hwnd()));
    EXPECT_EQ(GetParent(current()->hwnd()), window);
    EXPECT_EQ(textOf(current()->score()), L"Level: 2");
    EXPECT_TRUE(current()->lightUp().active());
    EXPECT_TRUE(pumpUntil([first] { return !IsWindow(first); }));
}

TEST_F(Win32Game, boxIsCaptionedZintuAndModalToTheWindowThatOwnsIt) {
    start();
    ASSERT_TRUE(waitForPlayersTurn());
    ASSERT_EQ(answerer->boxes().size(), 1u);
    const BoxAnswerer::Box& go = answerer->boxes()[0];
    EXPECT_EQ(go.caption, L"Zintu");
    EXPECT_EQ(go.text, L"GO!");
    EXPECT_EQ(go.owner, runtime.window());
    EXPECT_TRUE(go.ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(runtime.window()));
}

// Windows goes on dispatching the timer's messages in a box's own loop: only the runtime's own
// gate keeps those ticks from the game.
TEST_F(Win32Game, noTickIsHandledWhileGoIsOpen) {
    constexpr int heldIntervals = 4;
    bool litWhileOpen = false;
    start(heldIntervals * design::lightUpIntervalMs);
    answerer->setOnOpen([&](HWND) {
        pumpUntil([&] {
            litWhileOpen |= anyPadLit(current());
            return !answerer->boxOpen();
        });
    });
    ASSERT_TRUE(waitForPlayersTurn());
    EXPECT_EQ(recorder.count("tick"), 2);
    EXPECT_EQ(answerer->texts(), std::vector<std::wstring>{L"GO!"});
    EXPECT_FALSE(litWhileOpen);
    EXPECT_FALSE(current()->lightUp().active());
}

TEST_F(Win32Game, closingIsRefusedWhileABoxIsOpenAndEndsTheProgramOtherwise) {
    bool endedWhileOpen = true;
    start();
    answerer->setOnOpen([&](HWND) {
        SendMessageW(runtime.window(), WM_CLOSE, 0, 0);
        endedWhileOpen = runtime.ended();
    });
    ASSERT_TRUE(waitForPlayersTurn());
    EXPECT_FALSE(endedWhileOpen);
    EXPECT_TRUE(IsWindowVisible(runtime.window()));

    SendMessageW(runtime.window(), WM_CLOSE, 0, 0);

    EXPECT_TRUE(runtime.ended());
    EXPECT_FALSE(IsWindowVisible(runtime.window()));
    MSG quit;
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}

// The load that reaches level 100 shows its message with no game window to sit over, then ends.
TEST(Win32Runtime, endAfterABoxOnReloadNeverShowsTheWindowAgain) {
    Win32Runtime runtime;
    RecordingGame recorder(runtime);
    recorder.setOnLoad([&](int load) {
        if (load == 2) {
            runtime.msgBox("Level 100! Master!");
            runtime.end();
        }
    });
    bool windowShown = true;
    BoxAnswerer answerer;
    answerer.setOnOpen([&](HWND) { windowShown = IsWindowVisible(runtime.window()); });
    runtime.start(recorder);

    runtime.unloadForm();
    runtime.showForm();

    ASSERT_EQ(answerer.boxes().size(), 1u);
    EXPECT_EQ(answerer.boxes()[0].text, L"Level 100! Master!");
    EXPECT_EQ(answerer.boxes()[0].owner, nullptr);
    EXPECT_FALSE(windowShown);
    EXPECT_TRUE(runtime.ended());
    EXPECT_FALSE(IsWindowVisible(runtime.window()));
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

class Win32Pads : public ::testing::Test {
protected:
    void SetUp() override {
        runtime.start(recorder);
        pumpFor(50);
    }

    POINT centreOf(PadIndex pad) const { return centreOnScreen(runtime.form()->pad(pad)->hwnd()); }

    Win32Runtime runtime;
    RecordingGame recorder{runtime};
};

TEST_F(Win32Pads, everyButtonPressesAndReleasesButOnlyTheLeftClicks) {
    clickAt(centreOf(3), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    clickAt(centreOf(3), MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
    clickAt(centreOf(3));
    const Events expected{"load", "down 3", "up 3", "down 3", "up 3", "down 3", "up 3", "click 3"};
    EXPECT_EQ(recorder.events(), expected);
}

TEST_F(Win32Pads, quickSecondClickIsAnotherClickNotADoubleClick) {
    SetCursorPos(centreOf(1).x, centreOf(1).y);
    pumpFor(20);
    for (int click = 0; click < 2; ++click) {
        mouseButton(MOUSEEVENTF_LEFTDOWN);
        mouseButton(MOUSEEVENTF_LEFTUP);
    }
    const Events expected{"load", "down 1", "up 1", "click 1", "down 1", "up 1", "click 1"};
    EXPECT_EQ(recorder.events(), expected);
}

TEST_F(Win32Pads, releaseOutsideThePadGoesToItAndRestoresButRaisesNoClick) {
    SetCursorPos(centreOf(2).x, centreOf(2).y);
    pumpFor(20);
    mouseButton(MOUSEEVENTF_LEFTDOWN);
    POINT outside{250, 120};
    ClientToScreen(runtime.window(), &outside);
    SetCursorPos(outside.x, outside.y);
    pumpFor(20);
    mouseButton(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(recorder.events(), (Events{"load", "down 2", "up 2"}));
}

TEST_F(Win32Pads, disabledPadRaisesNothingAndKeepsItsColour) {
    runtime.setPadEnabled(0, false);
    RedrawWindow(runtime.window(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    clickAt(centreOf(0));
    EXPECT_EQ(recorder.events(), Events{"load"});
    EXPECT_EQ(shownAt(runtime.form()->pad(0)->hwnd(), 5, 5), design::restingColour(0));
}

TEST_F(Win32Pads, assistiveTechnologySeesAPushButtonNamedByColourThatPresses) {
    Pad* yellow = runtime.form()->pad(1);
    // Under Wine, LresultFromObject cannot marshal IAccessible, so the object is taken from
    // the pad rather than through WM_GETOBJECT.
    IAccessible* accessible = yellow->accessible();
    accessible->AddRef();
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    BSTR action = nullptr;
    VARIANT role{};
    VARIANT restingState{};
    VARIANT litState{};
    accessible->get_accName(self, &name);
    accessible->get_accDefaultAction(self, &action);
    accessible->get_accRole(self, &role);
    accessible->get_accState(self, &restingState);
    runtime.setBackColor(1, design::litColour);
    accessible->get_accState(self, &litState);
    runtime.setBackColor(1, design::restingColour(1));
    accessible->accDoDefaultAction(self);
    pumpFor(50);
    runtime.setPadEnabled(1, false);
    accessible->accDoDefaultAction(self);
    pumpFor(50);
    accessible->Release();

    EXPECT_EQ(std::wstring(name ? name : L""), L"Yellow pad");
    EXPECT_EQ(std::wstring(action ? action : L""), L"Press");
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_FALSE(restingState.lVal & STATE_SYSTEM_PRESSED);
    EXPECT_TRUE(litState.lVal & STATE_SYSTEM_PRESSED);
    EXPECT_EQ(recorder.events(), (Events{"load", "down 1", "up 1", "click 1"}));
    SysFreeString(name);
    SysFreeString(action);
}

}  // namespace
}  // namespace zintu
