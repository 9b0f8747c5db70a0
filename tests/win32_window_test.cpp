#include <gtest/gtest.h>
#include <oleacc.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "design.h"
#include "form.h"
#include "form1.h"
#include "host.h"
#include "messages.h"
#include "pumping.h"
#include "scorefont.h"
#include "systemfunction.h"
#include "widetext.h"
#include "win32toolkit.h"

namespace zintu {
namespace {

using testing::pumpFor;

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

class Win32Window : public ::testing::Test {
protected:
    void SetUp() override {
        runtime.start(form);
        ASSERT_NE(toolkit.form(), nullptr);
        RedrawWindow(toolkit.window(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        pumpFor(50);
    }

    Win32Toolkit toolkit;
    Host runtime{toolkit};
    Form1 form{runtime};
};

TEST_F(Win32Window, opensCentredWithDesignedCaptionAndClientSizeAndNoMaximise) {
    HWND window = toolkit.window();
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
    HWND window = toolkit.window();
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
    HWND score = toolkit.form()->score();
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
    HWND window = toolkit.window();
    RECT suggested;
    GetWindowRect(window, &suggested);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));

    EXPECT_TRUE(sameRect(clientRectOf(window), RECT{0, 0, 642, 266}));
    const Form* form = toolkit.form();
    // Edges at 0, 133 and 267 pixels: pads still meet, neither overlapping nor apart.
    EXPECT_TRUE(sameRect(placeOf(form->pad(0)->hwnd()), RECT{0, 0, 133, 133}));
    EXPECT_TRUE(sameRect(placeOf(form->pad(1)->hwnd()), RECT{133, 0, 267, 133}));
    EXPECT_TRUE(sameRect(placeOf(form->pad(2)->hwnd()), RECT{133, 133, 267, 267}));
    EXPECT_TRUE(sameRect(placeOf(form->pad(3)->hwnd()), RECT{0, 133, 133, 267}));
    EXPECT_TRUE(sameRect(placeOf(form->score()), RECT{304, 64, 642, 194}));
}

TEST_F(Win32Window, assistiveTechnologySeesAPushButtonNamedByColourPressedWhileLit) {
    Pad* yellow = toolkit.form()->pad(1);
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
    accessible->Release();

    EXPECT_EQ(std::wstring(name ? name : L""), L"Yellow pad");
    EXPECT_EQ(std::wstring(action ? action : L""), L"Press");
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_FALSE(restingState.lVal & STATE_SYSTEM_PRESSED);
    EXPECT_TRUE(litState.lVal & STATE_SYSTEM_PRESSED);
    SysFreeString(name);
    SysFreeString(action);
}

// Without the DLL or the function, the game goes on without what it offers: never a call through
// a null pointer.
TEST(SystemFunction, answersItsMissingValueWhereTheDllOrTheFunctionIsAbsent) {
    SystemFunction<decltype(GetTickCount)> noDll(L"zintu-absent.dll", "GetTickCount", 7);
    SystemFunction<decltype(GetTickCount)> noFunction(L"kernel32.dll", "ZintuAbsent", 7);
    SystemFunction<decltype(GetCurrentProcessId)> present(L"kernel32.dll", "GetCurrentProcessId",
                                                          0);
    EXPECT_EQ(noDll(), 7u);
    EXPECT_EQ(noFunction(), 7u);
    EXPECT_EQ(present(), GetCurrentProcessId());
}

}  // namespace
}  // namespace zintu
