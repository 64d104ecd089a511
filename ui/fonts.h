#pragma once
// The window's text is set in 宋体 (SimSun). Where the system lacks it, a Song/Ming-style serif
// stands in, then any face that draws Simplified Chinese, so no character becomes an empty box.

#include <QFont>
#include <QString>
#include <QStringList>

namespace moshitong {

// Picks the face from the families that can draw Simplified Chinese, best first. Returns
// "宋体" itself when none qualifies, leaving the choice to Qt's own fallback.
QString chooseSongFace(const QStringList& chineseFamilies);

// A regular (weight 400) Song face at the size asked for, chosen from the installed fonts.
QFont songFont(double pointSize);

}  // namespace moshitong
