#include "scorefont.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <algorithm>
#include <array>

#include "design.h"
#include "messages.h"

namespace zintu {

namespace {

constexpr double pointSizeStep = 0.25;
constexpr double smallestPointSize = 6.0;

bool writesLatin(const QString& family) {
    return QFontDatabase::writingSystems(family).contains(QFontDatabase::Latin);
}

QString installedMatch(const QStringList& installed, const QString& wanted) {
    for (const QString& family : installed) {
        const bool named = family.compare(wanted, Qt::CaseInsensitive) == 0 ||
                           family.startsWith(wanted + u'_', Qt::CaseInsensitive);
        if (named && writesLatin(family)) {
            return family;
        }
    }
    return {};
}

// The widest caption shown, "Level: " and two digits, found from the digits' advances: one
// measurement per digit instead of one per level keeps start-up quick.
QString widestCaption(const QFontMetricsF& metrics) {
    std::array<qreal, 10> advances{};
    for (int digit = 0; digit <= 9; ++digit) {
        advances[static_cast<std::size_t>(digit)] = metrics.horizontalAdvance(QChar(u'0' + digit));
    }
    const auto widestFrom = [&advances](int first) {
        return static_cast<int>(std::max_element(advances.begin() + first, advances.end()) -
                                advances.begin());
    };
    return QString::fromStdString(messages::levelCaption(10 * widestFrom(1) + widestFrom(0)));
}

bool captionFits(const QFont& font, QSize labelSize) {
    const QFontMetricsF metrics(font);
    return metrics.height() <= labelSize.height() &&
           metrics.horizontalAdvance(widestCaption(metrics)) <= labelSize.width();
}

}  // namespace

QString scoreFontFamily(const QStringList& installed) {
    for (const std::string_view wanted : {design::scoreFontFamily, design::scoreFallbackFamily}) {
        const QString match = installedMatch(installed, QString::fromUtf8(wanted));
        if (!match.isEmpty()) {
            return match;
        }
    }
    return QStringLiteral("serif");
}

QFont scoreFont(QSize labelSize) {
    QFont font(scoreFontFamily(QFontDatabase::families()));
    font.setStyleHint(QFont::Serif);
    font.setWeight(static_cast<QFont::Weight>(design::scoreFontWeight));
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    double pointSize = design::scoreFontPointSize;
    font.setPointSizeF(pointSize);
    while (!captionFits(font, labelSize) && pointSize > smallestPointSize) {
        pointSize -= pointSizeStep;
        font.setPointSizeF(pointSize);
    }
    return font;
}

}  // namespace zintu
