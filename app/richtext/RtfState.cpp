#include "RtfState.h"

#include <QTextListFormat>

#include <algorithm>

namespace rtf {

bool CharState::apply(const Keyword &k, bool hasParam, int param)
{
    const bool on = !hasParam || param != 0;
    switch (k.kw) {
    case Kw::Plain:
        *this = CharState();
        return true;
    case Kw::B:
        bold = on;
        break;
    case Kw::I:
        italic = on;
        break;
    case Kw::Ul:
        underline = on ? static_cast<QTextCharFormat::UnderlineStyle>(k.arg) : QTextCharFormat::NoUnderline;
        break;
    case Kw::UlNone:
        underline = QTextCharFormat::NoUnderline;
        break;
    case Kw::Strike:
        strike = on;
        break;
    case Kw::F:
        font = param;
        return true;
    case Kw::Fs:
        fontSize = hasParam ? std::clamp(param, 2, 3276) : 24;
        break;
    case Kw::Cf:
        fg = std::max(param, 0);
        break;
    case Kw::Cb:
        bg = std::max(param, 0);
        break;
    case Kw::V:
        hidden = on;
        break;
    case Kw::Caps:
        caps = on ? static_cast<Caps>(k.arg) : Caps::None;
        break;
    case Kw::VAlign:
        valign = on ? static_cast<VAlign>(k.arg) : VAlign::Normal;
        break;
    case Kw::NoSuperSub:
        valign = VAlign::Normal;
        break;
    default:
        break;
    }
    return false;
}

void ParaState::apply(const Keyword &k, int param)
{
    switch (k.kw) {
    case Kw::Pard:
        *this = ParaState();
        break;
    case Kw::Align:
        align = static_cast<Align>(k.arg);
        break;
    case Kw::Li:
        li = std::clamp(param, -kMaxTwips, kMaxTwips);
        break;
    case Kw::Ri:
        ri = std::clamp(param, -kMaxTwips, kMaxTwips);
        break;
    case Kw::Fi:
        fi = std::clamp(param, -kMaxTwips, kMaxTwips);
        break;
    case Kw::Sb:
        sb = std::clamp(param, 0, kMaxTwips);
        break;
    case Kw::Sa:
        sa = std::clamp(param, 0, kMaxTwips);
        break;
    case Kw::Ls:
        list = std::max(param, 0);
        break;
    case Kw::Ilvl:
        level = std::clamp(param, 0, 8);
        break;
    case Kw::OutlineLevel:
        // Levels beyond the sixth (and 9, "body text") are no headings here.
        heading = param >= 0 && param < 6 ? param + 1 : 0;
        break;
    default:
        break;
    }
}

void ParaState::applyNumbering(const Keyword &k)
{
    switch (k.kw) {
    case Kw::PnStyle:
        pnStyle = k.arg;
        break;
    case Kw::PnLvlBody:
        if (pnStyle == 0)
            pnStyle = QTextListFormat::ListDecimal;
        break;
    case Kw::PnLvlCont:
        pnStyle = 0;
        break;
    default:
        break;
    }
}

} // namespace rtf
