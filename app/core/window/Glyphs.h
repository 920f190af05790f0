// The window's bitmaps, loaded by resource name: the shutter button's
// glyphs, the battery levels and the schedule lamp, in this order.
#pragma once

#include <QPixmap>

#include <array>

enum GlyphIndex {
    gClic0,
    gClic1,
    gClic2,
    gClicOk,
    gImg1Ok,
    gImg2Ok,
    gImg3Ok,
    gBattPlein,
    gBattDemi,
    gBattVide,
    gLampOff,
    gLampOn,
    gGlyphCount
};

using GlyphSet = std::array<QPixmap, gGlyphCount>;

// The bitmap of a resource name ("BTNOFF").
inline QPixmap LoadGlyph(const char* name) {
    return QPixmap(QStringLiteral(":/glyphs/") + QLatin1String(name));
}

// The twelve glyphs, by GlyphIndex.
inline GlyphSet LoadGlyphs() {
    static constexpr const char* kNames[gGlyphCount] = {
        "CLIC0",  "CLIC1",     "CLIC2",    "CLICOK",   "IMG1OK",  "IMG2OK",
        "IMG3OK", "BATTPLEIN", "BATTDEMI", "BATTVIDE", "LAMPOFF", "LAMPON"};
    GlyphSet glyphs;
    for (int i = 0; i < gGlyphCount; ++i)
        glyphs[size_t(i)] = LoadGlyph(kNames[i]);
    return glyphs;
}
