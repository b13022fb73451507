#pragma once

// BlockLayouter: the lines of one block, broken as Qt's document layout
// breaks them (the same QTextLayout calls, margins in the same 1/64 pixel
// steps), and the guessed height of a block not laid out yet, which learns
// from the blocks laid out so far. It keeps no block's place: the caller says
// where a block starts and keeps what it is told back.

#include <QFont>
#include <QList>
#include <QTextFrameFormat>
#include <QTextLayout>
#include <QTextOption>

#include <vector>

class QPaintDevice;
class QTextBlock;
class QTextDocument;

class BlockLayouter
{
public:
    // What a block's lines depend on besides the block itself.
    struct Settings {
        qreal pageWidth = -1;
        QFont font;
        QTextFrameFormat rootFormat;
        Qt::Alignment alignment;
        QTextOption::WrapMode wrapMode = QTextOption::WordWrap;
        QTextOption::Flags flags;
        qreal tabStop = 0;
        QList<QTextOption::Tab> tabs;
        Qt::LayoutDirection direction = Qt::LayoutDirectionAuto;
        qreal indentWidth = 0;
        int dpi = 0; // of the paint device; 0: none
        bool operator==(const Settings &o) const;

        static Settings of(const QTextDocument &document, const QPaintDevice *device);
    };

    // The root frame's geometry, 1/64 px.
    struct Frame {
        qint64 xLeft = 0;
        qint64 xRight = 0;
        qint64 yTop = 0;
        qint64 contentsWidth = 0;
        qint64 bottomExtra = 0;
        qint64 marginWidth = 0;
    };

    // How tall a block not laid out yet is guessed to be.
    struct Estimate {
        qreal charWidth = 0;
        qint64 lineHeight = 0;
        qreal available = 0;
        bool wraps = false;
        // The block's advance (1/64 px): its lines, no margin.
        qint64 advance(const QTextBlock &block) const;
    };

    // A visible block laid out, 1/64 px: the collapsed margin above it, its
    // advance (that margin and its lines) and how wide its widest line needs
    // the document to be.
    struct Lines {
        qint64 gap = 0;
        qint64 advance = 0;
        qint64 widthNeed = 0;
    };

    void setSettings(const Settings &settings);
    const Settings &settings() const { return m_settings; }
    const Frame &frame() const { return m_frame; }

    Estimate estimate() const;
    // The estimated advances of the document's first count blocks.
    std::vector<qint64> estimateAll(const QTextDocument &document, int count) const;
    // Breaks the lines of a visible block whose share of the height starts
    // offset below the frame's top; number 0 is the first block, which has
    // no margin to collapse with one above.
    Lines layout(const QTextBlock &block, int number, qint64 offset);

    // Gives an object in the text (a picture) the size its handler asks
    // for, standing on the baseline or centred on the x-height.
    static void sizeInlineObject(QTextInlineObject item, const QSizeF &size, const QTextCharFormat &format);
    // The line of a laid-out block holding an offset; -1 before the first.
    static int lineAt(const QTextLayout &layout, int offset);
    // The offset in a laid-out block at a point (relative to the block's
    // layout) within the height of its lines; exact is set when the point is
    // on a line's text.
    static int offsetAt(const QTextLayout &layout, const QPointF &point, Qt::HitTestAccuracy accuracy,
                        bool *exact);

private:
    qreal dpiScale() const;

    Settings m_settings;
    Frame m_frame;
    // What the estimates learn from blocks laid out so far.
    qint64 m_learnedLines = 0;
    qint64 m_learnedLineHeight = 0; // sum, 1/64 px
    qint64 m_learnedChars = 0;
    qreal m_learnedTextWidth = 0;
};
