#pragma once

// Quenora's own toolbar and task pane pictures, drawn as vector shapes at
// whatever size they are shown in. They look the same on every desktop, and
// nothing is read or decoded to show them, which keeps the icon theme
// machinery off the start of the program.
#include <QIcon>

namespace GlyphIcons {

enum class Glyph {
    NewDocument,
    OpenFolder,
    Save,
    Play,
    Stop,
    Pause,
    Export,
    Volume,
};

QIcon icon(Glyph glyph);

} // namespace GlyphIcons
