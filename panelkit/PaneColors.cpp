#include "PaneColors.h"

#include <cmath>

namespace {

constexpr int kCount = PaneColors::LastCode - PaneColors::FirstCode + 1;

// Rows in code order 10..27: blue, green, silver.
constexpr OLE_COLOR kSchemes[3][kCount] = {
    {0xE6A17A, 0xD67563, 0xFFD3C6, 0xC65D21, 0xC85820, 0xFFFFFF, 0xF7DFD6, 0xC85820, 0xFAFAFA,
     0xEEC7C0, 0xF6E3DF, 0x7D3C20, 0xF2D0BC, 0xE6A17A, 0xF8E7DD, 0xB98162, 0xE6A17A, 0xC85820},
    {0xA4D3C4, 0x96CDBB, 0xB9E6DF, 0x2D6656, 0x62A492, 0xFFFFFF, 0xECF6F6, 0x2D6656, 0xFAFAFA,
     0xBCE7E0, 0xD1EEEA, 0x6A9CE8, 0xBEDCD3, 0xC8CFCF, 0xFFFFFF, 0x7ABCA3, 0x95CBBA, 0x50A482},
    {0xD1C3BF, 0xB39B95, 0xE0D8D7, 0x3D3D3F, 0x9E8584, 0xFFFFFF, 0xF5F1F0, 0x3D3D3F, 0xFAFAFA,
     0xE3DBDB, 0xE4DCDC, 0x98D4A4, 0xE2DCD8, 0xCFC2C1, 0xFFFFFF, 0xB08F89, 0xE8D0C6, 0x97756F},
};

int channel(OLE_COLOR c, int shift) { return int((c >> shift) & 0xFF); }
OLE_COLOR rgb(int r, int g, int b) { return OLE_COLOR(r) | (OLE_COLOR(g) << 8) | (OLE_COLOR(b) << 16); }

} // namespace

PaneColors::PaneColors()
{
    for (int i = 0; i < kCount; ++i)
        m_colors[i] = kSchemes[0][i];
}

OLE_COLOR PaneColors::at(int code) const
{
    return isValidCode(code) ? m_colors[code - FirstCode] : 0;
}

bool PaneColors::set(int code, OLE_COLOR color)
{
    if (!isValidCode(code))
        return false;
    m_colors[code - FirstCode] = color & 0x00FFFFFF;
    return true;
}

void PaneColors::applyScheme(int scheme, OLE_COLOR highlight)
{
    if (scheme == -1)
        return;
    const int row = (scheme == 1 || scheme == 2) ? scheme : 0;
    for (int i = 0; i < kCount; ++i)
        m_colors[i] = kSchemes[row][i];
    if (row == 0)
        m_colors[SelectBoxBorderColor - FirstCode] = highlight & 0x00FFFFFF;
}

OLE_COLOR PaneColors::lighten(OLE_COLOR c, double f)
{
    if (!(f > 0.0 && f <= 1.0))
        return c;
    auto up = [f](int x) { return int(x + f * (255 - x)); };
    return rgb(up(channel(c, 0)), up(channel(c, 8)), up(channel(c, 16)));
}

OLE_COLOR PaneColors::darken(OLE_COLOR c, int n)
{
    n = qBound(0, n, 255);
    auto down = [n](int x) { return int(std::lround(double(x) * (255 - n) / 255.0)); };
    return rgb(down(channel(c, 0)), down(channel(c, 8)), down(channel(c, 16)));
}

int PaneColors::greyValue(int r, int g, int b)
{
    // Integer form of 0.299 R + 0.587 G + 0.114 B, truncated.
    return (299 * r + 587 * g + 114 * b) / 1000;
}

OLE_COLOR PaneColors::grey(OLE_COLOR c)
{
    const int g = greyValue(channel(c, 0), channel(c, 8), channel(c, 16));
    return OLE_COLOR(g) * 0x010101u;
}
