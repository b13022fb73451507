#include "RtfDocumentTables.h"

#include "CodePages.h"

#include <algorithm>

namespace rtf {

namespace {

// RTF list numbering formats (\levelnfc) as list styles.
QTextListFormat::Style styleForNfc(int nfc)
{
    switch (nfc) {
    case 0: return QTextListFormat::ListDecimal;
    case 1: return QTextListFormat::ListUpperRoman;
    case 2: return QTextListFormat::ListLowerRoman;
    case 3: return QTextListFormat::ListUpperAlpha;
    case 4: return QTextListFormat::ListLowerAlpha;
    case 23: return QTextListFormat::ListDisc;
    default: return QTextListFormat::ListDecimal;
    }
}

} // namespace

DocumentTables::DocumentTables()
{
    m_colors.reserve(16);
}

void DocumentTables::startFont(int number)
{
    commitNamedFont();
    m_fontNumber = number;
    m_fontEntry = FontEntry();
}

void DocumentTables::appendFontName(char16_t c)
{
    if (m_fontNumber >= 0 && m_fontEntry.name.size() < 256)
        m_fontEntry.name.append(QChar(c));
}

void DocumentTables::commitFont()
{
    if (m_fontNumber >= 0 && m_fonts.size() < kMaxTableEntries) {
        m_fontEntry.name = m_fontEntry.name.trimmed();
        if (!m_fonts.contains(m_fontNumber) || !m_fontEntry.name.isEmpty())
            m_fonts.insert(m_fontNumber, m_fontEntry);
    }
    m_fontNumber = -1;
    m_fontEntry = FontEntry();
}

void DocumentTables::commitNamedFont()
{
    if (m_fontNumber >= 0 && !m_fontEntry.name.trimmed().isEmpty())
        commitFont();
}

const FontEntry *DocumentTables::font(int number) const
{
    const auto it = m_fonts.constFind(number >= 0 ? number : m_defaultFont);
    return it == m_fonts.constEnd() ? nullptr : &*it;
}

int DocumentTables::fontCodePage(int number) const
{
    const FontEntry *f = font(number);
    return f ? CodePages::forCharset(f->charset) : 0;
}

void DocumentTables::startColorTable()
{
    m_colors.clear();
    m_colorSet = false;
    m_rgb[0] = m_rgb[1] = m_rgb[2] = 0;
}

void DocumentTables::setColorComponent(int which, int value)
{
    m_rgb[std::clamp(which, 0, 2)] = std::clamp(value, 0, 255);
    m_colorSet = true;
}

void DocumentTables::commitColor()
{
    if (m_colors.size() < kMaxTableEntries)
        m_colors.append(m_colorSet ? QColor(m_rgb[0], m_rgb[1], m_rgb[2]) : QColor());
    m_colorSet = false;
    m_rgb[0] = m_rgb[1] = m_rgb[2] = 0;
}

QColor DocumentTables::color(int index) const
{
    return index > 0 && index < m_colors.size() ? m_colors.at(index) : QColor();
}

void DocumentTables::listWord(const Keyword &k, Dest dest, int param)
{
    switch (k.kw) {
    case Kw::List:
        if (dest == Dest::ListTable)
            m_currentLevels.clear();
        break;
    case Kw::ListLevel:
        if (dest == Dest::ListTable && m_currentLevels.size() < 9)
            m_currentLevels.append(0);
        break;
    case Kw::LevelNfc:
        if (dest == Dest::ListTable && !m_currentLevels.isEmpty())
            m_currentLevels.last() = param;
        break;
    case Kw::ListId:
        if (dest == Dest::ListTable) {
            if (m_listLevels.size() < kMaxTableEntries)
                m_listLevels.insert(param, m_currentLevels);
        } else if (dest == Dest::ListOverrideTable) {
            m_overrideListId = param;
        }
        break;
    case Kw::ListOverride:
        m_overrideListId = 0;
        break;
    default:
        break;
    }
}

void DocumentTables::addOverride(int ls)
{
    if (m_overrides.size() < kMaxTableEntries)
        m_overrides.insert(ls, m_overrideListId);
}

QTextListFormat::Style DocumentTables::listStyle(const ParaState &p) const
{
    if (p.list > 0) {
        const auto o = m_overrides.constFind(p.list);
        if (o == m_overrides.constEnd())
            return QTextListFormat::ListDisc;
        const QList<int> levels = m_listLevels.value(*o);
        const int nfc = p.level < levels.size() ? levels.at(p.level) : 23;
        if (nfc == 255)
            return QTextListFormat::ListStyleUndefined; // a level without numbering
        return styleForNfc(nfc);
    }
    if (p.pnStyle != 0)
        return static_cast<QTextListFormat::Style>(p.pnStyle);
    return QTextListFormat::ListStyleUndefined;
}

} // namespace rtf
