#pragma once
// PaneColors: the 18 colours of the task pane, addressed by their colour
// code (10 to 27), the three built-in schemes, and the colour arithmetic
// that painting uses. Colours are 0x00BBGGRR values, as the pane's hosts
// pass them.

#include "PanelkitExport.h"

#include <QColor>

#include <array>

using OLE_COLOR = quint32;

class PANELKIT_EXPORT PaneColors
{
public:
    enum Code {
        CtrlBkColorStart = 10,
        CtrlBkColorEnd,
        GrpTitleBkColor,
        GrpTitleTextColor,
        GrpTitleBkActiveColor,
        GrpTitleActiveTextColor,
        GrpBkColor,
        GrpTextColor,
        GrpBorderColor,
        SelectBoxColor,
        HilightBoxColor,
        SelectBoxBorderColor,
        ButtonBorder1Normal,
        ButtonBorder2Normal,
        ButtonBkNormal,
        ButtonBorder1Active,
        ButtonBorder2Active,
        ButtonBkActive,
        FirstCode = CtrlBkColorStart,
        LastCode = ButtonBkActive,
    };

    PaneColors(); // the blue scheme as it stands at creation

    static bool isValidCode(int code) { return code >= FirstCode && code <= LastCode; }
    OLE_COLOR at(int code) const;
    // Returns false (and changes nothing) for a code outside 10..27.
    bool set(int code, OLE_COLOR color);

    // Applies scheme 1 (green), 2 (silver), -1 (own: nothing changes) or,
    // for any other value, blue, whose selection border is the system
    // highlight colour passed in.
    void applyScheme(int scheme, OLE_COLOR highlight);

    bool operator==(const PaneColors &other) const { return m_colors == other.m_colors; }

    static QColor toQColor(OLE_COLOR c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
    static OLE_COLOR fromQColor(const QColor &c)
    {
        return OLE_COLOR(c.red()) | (OLE_COLOR(c.green()) << 8) | (OLE_COLOR(c.blue()) << 16);
    }
    // Each channel moves the fraction f (0 < f <= 1) towards white.
    static OLE_COLOR lighten(OLE_COLOR c, double f);
    // Each channel x becomes x * (255 - n) / 255.
    static OLE_COLOR darken(OLE_COLOR c, int n);
    // The grey value 0.299 R + 0.587 G + 0.114 B in all three channels.
    static OLE_COLOR grey(OLE_COLOR c);
    static int greyValue(int r, int g, int b);

private:
    std::array<OLE_COLOR, LastCode - FirstCode + 1> m_colors;
};
