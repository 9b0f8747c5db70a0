#include <gtest/gtest.h>
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

TEST_F(Win32Window, opensCentredOnTheWorkAreaWithAMinimiseButton) {
    HWND window = toolkit.window();
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(GetWindowLongPtrW(window, GWL_STYLE) & WS_MINIMIZEBOX);

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
