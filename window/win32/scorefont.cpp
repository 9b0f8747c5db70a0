#include "scorefont.h"

#include <cmath>
#include <map>
#include <set>
#include <vector>

#include "design.h"
#include "messages.h"
#include "resourceids.h"
#include "scorelabel.h"
#include "widetext.h"

namespace zintu {

namespace {

constexpr double pointsPerInch = 72.0;

void loadEmbeddedFont() {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(ZINTU_LABEL_FONT), RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    if (!loaded) {
        return;
    }
    DWORD faces = 0;
    AddFontMemResourceEx(LockResource(loaded), SizeofResource(nullptr, found), nullptr, &faces);
}

// Each installed family with the character sets it offers.
std::map<std::string, std::set<BYTE>> installedFamilies() {
    std::map<std::string, std::set<BYTE>> families;
    LOGFONTW every{};
    every.lfCharSet = DEFAULT_CHARSET;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(
        screen, &every,
        [](const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) -> int {
            auto& into = *reinterpret_cast<std::map<std::string, std::set<BYTE>>*>(found);
            into[narrow(font->lfFaceName)].insert(font->lfCharSet);
            return 1;
        },
        reinterpret_cast<LPARAM>(&families), 0);
    ReleaseDC(nullptr, screen);
    return families;
}

std::wstring chooseFamily() {
    loadEmbeddedFont();
    const auto families = installedFamilies();
    std::vector<std::string> names;
    for (const auto& [name, charsets] : families) {
        names.push_back(name);
    }
    return widen(scorelabel::chooseFamily(names, [&families](const std::string& name) {
        const std::set<BYTE>& charsets = families.at(name);
        return charsets.size() > charsets.count(SYMBOL_CHARSET);
    }));
}

HFONT createFont(double pointSize, int dpi) {
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(pointSize * dpi / pointsPerInch));
    font.lfWeight = design::scoreFontWeight;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = CLEARTYPE_QUALITY;
    // Where neither family is there, the system's serif.
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
    lstrcpynW(font.lfFaceName, scoreFontFamily().c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

bool captionFits(HFONT font, SIZE label) {
    HDC screen = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(screen, font);
    const int level = scorelabel::widestLevel([screen](char digit) {
        const wchar_t character = static_cast<wchar_t>(digit);
        SIZE extent;
        GetTextExtentPoint32W(screen, &character, 1, &extent);
        return static_cast<double>(extent.cx);
    });
    const std::wstring widest = widen(messages::levelCaption(level));
    SIZE extent;
    GetTextExtentPoint32W(screen, widest.c_str(), static_cast<int>(widest.size()), &extent);
    TEXTMETRICW metrics;
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return metrics.tmHeight <= label.cy && extent.cx <= label.cx;
}

}  // namespace

const std::wstring& scoreFontFamily() {
    static const std::wstring family = chooseFamily();
    return family;
}

HFONT createScoreFont(int dpi, SIZE label) {
    HFONT font = nullptr;
    scorelabel::fittedPointSize([dpi, label, &font](double size) {
        DeleteObject(font);
        font = createFont(size, dpi);
        return captionFits(font, label);
    });
    return font;
}

}  // namespace zintu
