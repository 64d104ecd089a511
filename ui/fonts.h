#pragma once
// The window's text is set in 宋体 (SimSun). Where the system lacks it, a Song/Ming-style serif
// stands in, then any face that draws Simplified Chinese, so no character becomes an empty box.
// The rare characters of the CJK extension blocks (B and later), which no Song face of a desktop
// draws, come from the program's own face for them, cut out of a larger one when it is built.
// Private-use characters, which mean nothing standard, show as an empty box: the faces for the
// extension blocks would draw their own private glyphs.

#include <QFont>
#include <QString>
#include <QStringList>

namespace moshitong {

// Picks the face from the families that can draw Simplified Chinese, best first. Returns
// "宋体" itself when none qualifies, leaving the choice to Qt's own fallback.
QString chooseSongFace(const QStringList& chineseFamilies);

// A regular (weight 400) Song face at the size asked for, chosen from the installed fonts, with
// the empty box for private use and the faces for the extension blocks behind it.
QFont songFont(double pointSize);

// The family of the program's own face that draws every private-use character as an empty box.
QString privateUseFamily();

// The family of the program's own face for the dictionary's characters that the Song faces lack.
QString extensionFamily();

// The family whose glyph draws the character in text set in `font`, the font's own or one Qt
// falls back to, laid out as the box lays out its text; empty when no installed face has one.
QString drawingFamily(const QFont& font, char32_t character);

}  // namespace moshitong
