#include "scorefont.h"

#include <QFontDatabase>
#include <QFontMetricsF>

#include "design.h"
#include "messages.h"
#include "scorelabel.h"

namespace zintu {

namespace {

bool captionFits(const QFont& font, QSize labelSize) {
    const QFontMetricsF metrics(font);
    const int level = scorelabel::widestLevel(
        [&metrics](char digit) { return metrics.horizontalAdvance(QChar::fromLatin1(digit)); });
    const QString widest = QString::fromStdString(messages::levelCaption(level));
    return metrics.height() <= labelSize.height() &&
           metrics.horizontalAdvance(widest) <= labelSize.width();
}

}  // namespace

QString scoreFontFamily(const QStringList& installed) {
    std::vector<std::string> families;
    families.reserve(static_cast<std::size_t>(installed.size()));
    for (const QString& family : installed) {
        families.push_back(family.toStdString());
    }
    const std::string chosen = scorelabel::chooseFamily(families, [](const std::string& family) {
        return QFontDatabase::writingSystems(QString::fromStdString(family))
            .contains(QFontDatabase::Latin);
    });
    return chosen.empty() ? QStringLiteral("serif") : QString::fromStdString(chosen);
}

QFont scoreFont(QSize labelSize) {
    QFont font(scoreFontFamily(QFontDatabase::families()));
    font.setStyleHint(QFont::Serif);
    font.setWeight(static_cast<QFont::Weight>(design::scoreFontWeight));
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setPointSizeF(scorelabel::fittedPointSize([&font, labelSize](double pointSize) {
        font.setPointSizeF(pointSize);
        return captionFits(font, labelSize);
    }));
    return font;
}

}  // namespace zintu
