#include "scorefont.h"

#include <QFontDatabase>
#include <QFontMetricsF>

#include "design.h"
#include "messages.h"

namespace zintu {

namespace {

constexpr double pointSizeStep = 0.25;
constexpr double smallestPointSize = 6.0;

bool writesLatin(const QString& family) {
    return QFontDatabase::writingSystems(family).contains(QFontDatabase::Latin);
}

QString installedMatch(const QStringList& installed, QLatin1StringView wanted) {
    for (const QString& family : installed) {
        const bool named = family.compare(wanted, Qt::CaseInsensitive) == 0 ||
                           family.startsWith(wanted + u'_', Qt::CaseInsensitive);
        if (named && writesLatin(family)) {
            return family;
        }
    }
    return {};
}

QLatin1StringView latin1(std::string_view text) {
    return QLatin1StringView(text.data(), static_cast<qsizetype>(text.size()));
}

bool captionsFit(const QFont& font, QSize labelSize) {
    const QFontMetricsF metrics(font);
    if (metrics.height() > labelSize.height()) {
        return false;
    }
    for (int level = 1; level <= design::highestShownLevel; ++level) {
        const QString caption = QString::fromStdString(messages::levelCaption(level));
        if (metrics.horizontalAdvance(caption) > labelSize.width()) {
            return false;
        }
    }
    return true;
}

}  // namespace

QString scoreFontFamily(const QStringList& installed) {
    for (const std::string_view wanted : {design::scoreFontFamily, design::scoreFallbackFamily}) {
        const QString match = installedMatch(installed, latin1(wanted));
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
    while (!captionsFit(font, labelSize) && pointSize > smallestPointSize) {
        pointSize -= pointSizeStep;
        font.setPointSizeF(pointSize);
    }
    return font;
}

}  // namespace zintu
