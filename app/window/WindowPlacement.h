#pragma once
// WindowPlacement: where the main window was when it closed (its inner
// rectangle on the desktop and whether it was maximised), as the one
// settings value "x,y,width,height,maximised", and where it may open again
// on the screens there are now: a window stored on a monitor that has gone,
// or larger than the screen, is moved and shrunk into the usable area.

#include <QRect>
#include <QString>

#include <optional>

class QWidget;

struct WindowPlacement {
    QRect geometry;
    bool maximized = false;

    QString toString() const;
    // Nothing for an empty, malformed or absurd value.
    static std::optional<WindowPlacement> parse(const QString &text);

    // wanted, moved and if need be shrunk so that it lies within available;
    // never below minimum.
    static QRect fitted(const QRect &wanted, const QRect &available, const QSize &minimum);

    // The placement of a shown top-level window (its normal size when
    // maximised, so that un-maximising later gives that size back).
    static WindowPlacement of(const QWidget &window);
    // Puts a window there, fitted into the usable area of the screen that
    // holds most of it (or the primary screen).
    void applyTo(QWidget &window) const;
};
