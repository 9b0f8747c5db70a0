#pragma once

#include <QFont>
#include <QSize>
#include <QStringList>

namespace zintu {

// The first of the designed font and its fallback that is installed and writes Latin text; the
// system's serif where neither is. Installed families may carry a suffix ("Blankenburg_UNZ1A").
QString scoreFontFamily(const QStringList& installed);

// The designed font at the designed size, made smaller only where the widest level caption would
// not fit whole in a label of this size.
QFont scoreFont(QSize labelSize);

}  // namespace zintu
