#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>

#include <climits>
#include <functional>

#include "BackgroundLayoutScheduler.h"
#include "BlockLayouter.h"
#include "DocumentLayoutKeeper.h"
#include "FakeClock.h"
#include "IncrementalDocumentLayout.h"
#include "RtfReader.h"

using Build = std::function<void(QTextCursor &)>;
using Edit = std::function<void(QTextEdit &)>;
Q_DECLARE_METATYPE(Build)
Q_DECLARE_METATYPE(Edit)

namespace {

QString words(int n)
{
    static const QStringList all = QStringLiteral("Der schnelle braune Fuchs springt über den faulen Hund und läuft weiter").split(' ');
    QStringList s;
    for (int i = 0; i < n; ++i)
        s << all.at(i % all.size());
    return s.join(' ');
}

// The time the layout runs on: it moves when the test moves it and by half a
// millisecond whenever the layout looks, as if each block laid out took that
// long, so the background layout goes in slices of a few blocks.
class BusyClock : public FakeClock
{
public:
    qint64 monotonicNs() const override
    {
        m_spent += 500'000;
        return FakeClock::monotonicNs() + m_spent;
    }

private:
    mutable qint64 m_spent = 0;
};

// Two edits of the same size showing the same document: one laid out by Qt,
// one by the layout under test, installed as the main window installs it
// before the document is filled.
struct Pair {
    BusyClock clock;
    QTextEdit qt;
    QTextEdit ours;
    IncrementalDocumentLayout *layout = nullptr;

    explicit Pair(const Build &build, QTextEdit::LineWrapMode wrap = QTextEdit::WidgetWidth)
    {
        IncrementalDocumentLayout::install(&ours, clock);
        layout = qobject_cast<IncrementalDocumentLayout *>(ours.document()->documentLayout());
        for (QTextEdit *e : {&qt, &ours}) {
            e->setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
            e->setLineWrapMode(wrap);
            e->resize(420, 320);
            e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            QTextCursor c(e->document());
            if (build)
                build(c);
            e->moveCursor(QTextCursor::Start);
            e->show();
        }
        QApplication::processEvents();
    }
    void both(const Edit &f)
    {
        f(qt);
        f(ours);
        QApplication::processEvents();
    }
    // The user stops typing: the background layout may go on.
    void pause() { clock.advanceSeconds(1); }
};

bool near(const QRectF &a, const QRectF &b)
{
    return qAbs(a.left() - b.left()) <= 1 && qAbs(a.top() - b.top()) <= 1
        && qAbs(a.right() - b.right()) <= 1 && qAbs(a.bottom() - b.bottom()) <= 1;
}

// Block rectangles, document size, cursor rectangles, hit tests and anchors agree.
void compareGeometry(Pair &p, bool widths = true)
{
    p.layout->ensureLayoutFinished();
    QTextDocument *a = p.qt.document();
    QTextDocument *b = p.ours.document();
    QCOMPARE(b->blockCount(), a->blockCount());
    const QSizeF sa = a->documentLayout()->documentSize();
    const QSizeF sb = b->documentLayout()->documentSize();
    QVERIFY(qAbs(sa.height() - sb.height()) <= 1 && (!widths || qAbs(sa.width() - sb.width()) <= 1));
    for (QTextBlock x = a->begin(), y = b->begin(); x.isValid(); x = x.next(), y = y.next()) {
        QRectF ra = a->documentLayout()->blockBoundingRect(x);
        QRectF rb = b->documentLayout()->blockBoundingRect(y);
        if (!widths)
            ra.setWidth(rb.width());
        QVERIFY2(near(ra, rb), qPrintable(QString::number(x.blockNumber())));
    }
    p.both([](QTextEdit &e) { e.verticalScrollBar()->setValue(0); e.horizontalScrollBar()->setValue(0); });
    for (int pos = 0; pos < a->characterCount(); pos += qMax(5, a->characterCount() / 500)) {
        QTextCursor ca(a), cb(b);
        ca.setPosition(pos);
        cb.setPosition(pos);
        QVERIFY2(near(p.qt.cursorRect(ca), p.ours.cursorRect(cb)), qPrintable(QString::number(pos)));
    }
    for (qreal y = -5; y < sa.height() + 20; y += qMax(qreal(7), sa.height() / 300) + 0.37) {
        for (qreal x = -3; x < 420; x += 23) {
            const QPointF pt(x, y);
            QCOMPARE(b->documentLayout()->hitTest(pt, Qt::FuzzyHit), a->documentLayout()->hitTest(pt, Qt::FuzzyHit));
            QCOMPARE(b->documentLayout()->hitTest(pt, Qt::ExactHit), a->documentLayout()->hitTest(pt, Qt::ExactHit));
            if (y < p.qt.viewport()->height()) // on whole pixels, block edges included
                QCOMPARE(p.ours.anchorAt(pt.toPoint()), p.qt.anchorAt(pt.toPoint()));
        }
    }
}

// Pixels that differ noticeably; two blank pictures prove nothing.
int differingPixels(const QImage &x, const QImage &y)
{
    const QImage a = x.convertToFormat(QImage::Format_RGB32);
    const QImage b = y.convertToFormat(QImage::Format_RGB32);
    if (a.size() != b.size() || a.isNull())
        return INT_MAX;
    int differing = 0, inked = 0;
    for (int row = 0; row < a.height(); ++row) {
        for (int col = 0; col < a.width(); ++col) {
            const QRgb pa = a.pixel(col, row), pb = b.pixel(col, row);
            differing += qAbs(qRed(pa) - qRed(pb)) + qAbs(qGreen(pa) - qGreen(pb)) + qAbs(qBlue(pa) - qBlue(pb)) > 60;
            inked += pa != a.pixel(0, 0);
        }
    }
    return inked < 50 ? INT_MAX : differing;
}

int pictureDifference(Pair &p)
{
    QApplication::processEvents();
    return differingPixels(p.qt.viewport()->grab().toImage(), p.ours.viewport()->grab().toImage());
}

// Background work of so many blocks, each taking as long on the fake clock;
// it records how many blocks each slice laid out.
struct CountedWork : BackgroundLayoutScheduler::Work {
    FakeClock clock;
    BackgroundLayoutScheduler scheduler{*this, clock};
    int blocksLeft = 0;
    qint64 msPerBlock = 0;
    QList<int> slices;
    std::function<void()> afterSlice = [] {};

    bool hasBackgroundWork() const override { return blocksLeft > 0; }
    void runBackgroundSlice() override
    {
        int done = 0;
        while (blocksLeft > 0) {
            clock.advanceMs(msPerBlock);
            --blocksLeft;
            ++done;
            if (scheduler.sliceOver())
                break;
        }
        slices << done;
        afterSlice();
    }
};

} // namespace

class TestIncrementalDocumentLayout : public QObject
{
    Q_OBJECT

private slots:
    void sameAsQt_data();
    void sameAsQt();
    void rtfDocuments_data();
    void rtfDocuments() { sameAsQt(); }
    void edits_data();
    void edits();
    void paintedRightAfterLoading_data();
    void paintedRightAfterLoading();
    void updateCoversChangedLines();
    void lazyLayoutConverges();
    void viewStaysWhileEstimatesAreReplaced();
    void keyboardAndMouse();
    void selectionsAndCursorPaint();
    void keeper();
    void badInput();
    void backgroundSlices_data();
    void backgroundSlices();
    void backgroundWaitsWhileTyping();
    void estimatesLearnFromLaidOutBlocks_data();
    void estimatesLearnFromLaidOutBlocks();
};

void TestIncrementalDocumentLayout::sameAsQt_data()
{
    QTest::addColumn<Build>("build");
    QTest::addColumn<bool>("noWrap");
    const auto paragraphs = [](int count, int base, int step) {
        return Build([=](QTextCursor &c) {
            for (int i = 0; i < count; ++i)
                c.insertText(words(base + step * i) + QChar::ParagraphSeparator);
        });
    };
    QTest::newRow("plain") << paragraphs(30, 4, 0) << false;
    QTest::newRow("wrapped") << Build([&](QTextCursor &c) {
        paragraphs(6, 60, 13)(c);
        c.insertText(QString(400, 'x')); // one word wider than the page
    }) << false;
    QTest::newRow("no wrap") << paragraphs(12, 10, 9) << true;
    for (const auto &[name, align] : {std::pair{"left", Qt::AlignLeft}, {"centre", Qt::AlignHCenter},
                                      {"right", Qt::AlignRight}, {"justify", Qt::AlignJustify}}) {
        QTest::newRow(name) << Build([al = Qt::Alignment(align)](QTextCursor &c) {
            QTextBlockFormat f;
            f.setAlignment(al);
            for (int i = 0; i < 5; ++i) {
                c.insertBlock(f);
                c.insertText(words(30 + 5 * i));
            }
        }) << false;
    }
    QTest::newRow("margins and indents") << Build([](QTextCursor &c) {
        c.document()->setDocumentMargin(12);
        for (int i = 0; i < 8; ++i) {
            QTextBlockFormat f;
            f.setLeftMargin(10 * i);
            f.setRightMargin(7 * (i % 3));
            f.setTextIndent(i % 2 ? 25 : -5);
            f.setTopMargin(3 * i);
            f.setBottomMargin(12 - i);
            f.setIndent(i % 3);
            c.insertBlock(f);
            c.insertText(words(25));
        }
    }) << false;
    QTest::newRow("lists") << Build([](QTextCursor &c) {
        c.document()->setIndentWidth(30);
        for (int style = QTextListFormat::ListUpperRoman; style <= QTextListFormat::ListDisc; ++style) {
            QTextListFormat lf;
            lf.setStyle(QTextListFormat::Style(style));
            lf.setIndent(-style % 3 + 1);
            QTextList *list = c.insertList(lf);
            c.insertText(words(12));
            for (int i = 0; i < 3; ++i) {
                c.insertBlock();
                c.insertText(words(3 + i));
                list->add(c.block());
            }
            c.insertBlock(QTextBlockFormat());
        }
    }) << false;
    QTest::newRow("mixed formats") << Build([](QTextCursor &c) {
        for (int i = 0; i < 40; ++i) {
            QTextCharFormat f;
            f.setFontPointSize(7 + (i * 5) % 17);
            f.setFontWeight(i % 2 ? QFont::Bold : QFont::Normal);
            f.setFontItalic(i % 3 == 0);
            f.setFontUnderline(i % 4 == 0);
            f.setFontStrikeOut(i % 5 == 0);
            f.setVerticalAlignment(QTextCharFormat::VerticalAlignment(i % 3));
            f.setForeground(QColor::fromHsv(i * 9, 200, 150));
            f.setBackground(i % 7 ? QBrush() : QBrush(Qt::yellow));
            f.setAnchor(i % 9 == 0);
            f.setAnchorHref(i % 9 ? QString() : QStringLiteral("https://example.org/%1").arg(i));
            c.insertText(words(3) + (i % 8 == 7 ? QChar::ParagraphSeparator : QChar(' ')), f);
        }
    }) << false;
    QTest::newRow("images") << Build([](QTextCursor &c) {
        QImage img(40, 24, QImage::Format_RGB32);
        img.fill(QColor(200, 60, 30));
        c.document()->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pic")), img);
        QTextImageFormat natural, sized, missing;
        natural.setName(QStringLiteral("pic"));
        sized.setName(QStringLiteral("pic"));
        sized.setWidth(90);
        missing.setName(QStringLiteral("nothing-here"));
        for (const QTextImageFormat &f : {natural, sized, missing}) {
            c.insertText(words(7));
            c.insertImage(f);
        }
    }) << false;
    QTest::newRow("tabs") << Build([](QTextCursor &c) {
        QTextOption option = c.document()->defaultTextOption();
        option.setTabStopDistance(53);
        c.document()->setDefaultTextOption(option);
        c.insertText(QStringLiteral("a\tbb\tccc\td\n\t\teingerückt\n"));
        QTextBlockFormat f;
        f.setTabPositions({QTextOption::Tab(120, QTextOption::RightTab), QTextOption::Tab(200, QTextOption::CenterTab)});
        c.insertBlock(f);
        c.insertText(QStringLiteral("links\trechts\tmitte"));
    }) << false;
    QTest::newRow("empty blocks and backgrounds") << Build([](QTextCursor &c) {
        QTextBlockFormat f;
        f.setBackground(QColor(220, 230, 255));
        for (int i = 0; i < 10; ++i)
            c.insertBlock(i % 3 ? QTextBlockFormat() : f);
        c.insertText(words(6));
    }) << false;
    QTest::newRow("right to left") << Build([](QTextCursor &c) {
        for (int i = 0; i < 6; ++i) {
            c.insertText(QStringLiteral("שלום עולם זה טקסט בעברית ").repeated(3 + i) + QChar::ParagraphSeparator);
            QTextBlockFormat f;
            f.setLayoutDirection(i % 2 ? Qt::RightToLeft : Qt::LeftToRight);
            f.setIndent(1);
            c.setBlockFormat(f);
        }
    }) << false;
}

void TestIncrementalDocumentLayout::sameAsQt()
{
    QFETCH(Build, build);
    QFETCH(bool, noWrap);
    Pair p(build, noWrap ? QTextEdit::NoWrap : QTextEdit::WidgetWidth);
    // Qt lays out unaligned text for no wrapping at width 0: the lines and
    // their places are the same, only the blocks' widths differ.
    compareGeometry(p, !noWrap);
    QCOMPARE(p.ours.document()->documentLayout(), p.layout);
    QCOMPARE(p.ours.horizontalScrollBar()->maximum(), p.qt.horizontalScrollBar()->maximum());
    QCOMPARE(pictureDifference(p), 0);
    if (QByteArray(QTest::currentDataTag()) == "mixed formats")
        QCOMPARE(p.ours.anchorAt(QPoint(12, 10)), QStringLiteral("https://example.org/0"));
}

// Documents as the RTF reader builds them.
void TestIncrementalDocumentLayout::rtfDocuments_data()
{
    QTest::addColumn<Build>("build");
    QTest::addColumn<bool>("noWrap");
    const QDir dir(QStringLiteral(QUENORA_CORPUS_DIR "/rtf"));
    if (!dir.exists())
        QSKIP("The shared RTF corpus (" QUENORA_CORPUS_DIR "/rtf) is not there");
    for (const QString &name : dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTest::newRow(qPrintable(name))
            << Build([rtf = file.readAll()](QTextCursor &c) { RtfReader::read(rtf, c.document()); }) << false;
    }
}

void TestIncrementalDocumentLayout::edits_data()
{
    QTest::addColumn<Edit>("edit");
    const auto at = [](QTextEdit &e, int block, int offset) {
        QTextCursor c(e.document()->findBlockByNumber(block));
        c.setPosition(c.position() + offset);
        e.setTextCursor(c);
    };
    const auto keys = [at](int block, int offset, QList<Qt::Key> keys) {
        return Edit([=](QTextEdit &e) { at(e, block, offset); for (Qt::Key k : keys) QTest::keyClick(&e, k); });
    };
    QTest::newRow("insert") << keys(5, 10, {Qt::Key_A, Qt::Key_B, Qt::Key_Space, Qt::Key_C});
    QTest::newRow("delete") << keys(5, 10, QList<Qt::Key>(20, Qt::Key_Delete));
    QTest::newRow("enter") << keys(3, 7, {Qt::Key_Return, Qt::Key_Return});
    QTest::newRow("backspace joins") << keys(8, 0, {Qt::Key_Backspace});
    QTest::newRow("paste many blocks") << Edit([at](QTextEdit &e) {
        at(e, 2, 4);
        e.textCursor().insertText(QString(words(40) + '\n').repeated(50));
    });
    QTest::newRow("undo redo") << Edit([keys](QTextEdit &e) {
        keys(4, 3, {Qt::Key_Return, Qt::Key_N, Qt::Key_E, Qt::Key_U})(e);
        e.undo();
        e.undo();
        e.redo();
    });
    QTest::newRow("format change") << Edit([at](QTextEdit &e) {
        at(e, 6, 0);
        QTextBlockFormat f;
        f.setTopMargin(30);
        f.setBottomMargin(20);
        f.setAlignment(Qt::AlignRight);
        e.textCursor().mergeBlockFormat(f);
    });
    QTest::newRow("select all delete") << Edit([](QTextEdit &e) { e.selectAll(); QTest::keyClick(&e, Qt::Key_Delete); });
}

// After edits the geometry is the one a fresh layout of the result gives.
void TestIncrementalDocumentLayout::edits()
{
    QFETCH(Edit, edit);
    Pair p([](QTextCursor &c) {
        for (int i = 0; i < 20; ++i)
            c.insertText(words(10 + 7 * (i % 6)) + (i < 19 ? QString(QChar::ParagraphSeparator) : QString()));
    });
    p.layout->ensureLayoutFinished();
    p.both(edit);
    QCOMPARE(p.ours.toPlainText(), p.qt.toPlainText());
    p.qt.document()->setDocumentLayout(nullptr);
    p.qt.document()->documentLayout();
    compareGeometry(p);
    if (!p.qt.document()->isEmpty())
        QCOMPARE(pictureDifference(p), 0);
}

// What the screen shows once a document has been loaded into a visible box
// (as "Öffnen" does), before the background layout has finished: the
// window's own picture, not a fresh paint, so a stale area left by an
// estimate that was replaced without a repaint is seen.
void TestIncrementalDocumentLayout::paintedRightAfterLoading_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::newRow("list, then a paragraph in other fonts and sizes") << QByteArray(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}"
        "{\\f2\\fnil\\fcharset2 Symbol;}}\n{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\n"
        "\\viewkind4\\uc1\\pard\\f0\\fs28\\b Einkaufsliste f\\'fcr M\\'fcnchen\\b0\\par\n"
        "\\pard{\\pntext\\f2\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'b7}}\\fi-360\\li720 \\'c4pfel\\par\n"
        "{\\pntext\\f2\\'b7\\tab}Gr\\'fc\\'dfe an \\'d6sterreich\\par\n"
        "{\\pntext\\f2\\'b7\\tab}K\\'e4se f\\'fcr 5 \\u8364? Euro\\par\n"
        "\\pard\\f1\\fs24 Zweiter Absatz in Times, \\fs32 gro\\'df\\fs24  und klein.\\par\n}");
    QTest::newRow("sizes growing down the page") << QByteArray(
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"
        "\\f0\\fs16 klein\\par\\fs24 mittel\\par\\f1\\fs40 gro\\'df\\par\\fs56 riesig und breit\\par"
        "\\f0\\fs20 wieder klein\\par}");
    QTest::newRow("many short paragraphs, one long") << [] {
        QByteArray rtf("{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}");
        for (int i = 0; i < 30; ++i)
            rtf += "\\pard\\f" + QByteArray::number(i % 2) + "\\fs" + QByteArray::number(18 + (i % 5) * 6)
                   + " Zeile " + QByteArray::number(i) + "\\par";
        rtf += "\\pard\\f1\\fs24 " + words(200).toLatin1() + "\\par}";
        return rtf;
    }();
    const QDir dir(QStringLiteral(QUENORA_CORPUS_DIR "/rtf"));
    for (const QString &name : dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTest::newRow(qPrintable(name)) << file.readAll();
    }
}

void TestIncrementalDocumentLayout::paintedRightAfterLoading()
{
    QFETCH(QByteArray, rtf);
    Pair p(nullptr);
    p.both([&rtf](QTextEdit &e) {
        RtfReader::read(rtf, e.document());
        e.moveCursor(QTextCursor::Start);
    });
    const auto onScreen = [](QTextEdit &e) {
        QWidget *top = e.window();
        const QPoint at = e.viewport()->mapTo(top, QPoint(0, 0));
        return top->screen()->grabWindow(top->winId(), at.x(), at.y(), e.viewport()->width(),
                                          e.viewport()->height()).toImage();
    };
    // Every paint the loading asked for has reached the screen.
    QTRY_COMPARE(differingPixels(onScreen(p.qt), onScreen(p.ours)), 0);
    QVERIFY(!p.layout->isLayoutFinished() || p.ours.document()->blockCount() < 200);
    // And stays right while the background layout replaces the estimates.
    p.pause();
    QTRY_VERIFY_WITH_TIMEOUT(p.layout->isLayoutFinished(), 10000);
    QApplication::processEvents();
    QCOMPARE(differingPixels(onScreen(p.qt), onScreen(p.ours)), 0);
}

void TestIncrementalDocumentLayout::updateCoversChangedLines()
{
    Pair p([](QTextCursor &c) {
        for (int i = 0; i < 200; ++i)
            c.insertText(words(50) + QChar::ParagraphSeparator);
    });
    p.layout->ensureLayoutFinished();
    const QTextBlock block = p.ours.document()->findBlockByNumber(100);
    const QRectF blockRect = p.layout->blockBoundingRect(block);
    QSignalSpy updates(p.layout, &QAbstractTextDocumentLayout::update);

    QTextCursor c(block);
    c.setPosition(block.position() + block.layout()->lineAt(2).textStart() + 3);
    c.insertText(QStringLiteral("i"));
    QCOMPARE(updates.count(), 1);
    const QRectF r = updates.at(0).at(0).toRectF();
    QVERIFY(r.top() >= blockRect.top() + block.layout()->lineAt(1).y() - 1);
    QVERIFY(r.bottom() <= blockRect.bottom() + 1);

    updates.clear();
    c.insertBlock(); // the block splits: everything below moves
    QCOMPARE(updates.count(), 1);
    QVERIFY(updates.at(0).at(0).toRectF().bottom() >= p.layout->documentSize().height());
}

void TestIncrementalDocumentLayout::lazyLayoutConverges()
{
    Pair p(nullptr);
    QString text;
    for (int i = 0; i < 6000; ++i)
        text += words(8 + i % 30) + '\n';
    QSignalSpy sizes(p.layout, &QAbstractTextDocumentLayout::documentSizeChanged);
    p.both([&text](QTextEdit &e) { e.setPlainText(text); });
    QCOMPARE(p.ours.document()->documentLayout(), p.layout); // setPlainText keeps the layout
    QVERIFY(!p.layout->isLayoutFinished());
    // Jumping to the end over estimated heights still shows the cursor, even
    // where the estimates are far off (a larger font than the start's).
    p.both([](QTextEdit &e) {
        QTextCursor tail(e.document());
        tail.movePosition(QTextCursor::End);
        tail.movePosition(QTextCursor::PreviousBlock, QTextCursor::KeepAnchor, 700);
        QTextCharFormat big;
        big.setFontPointSize(22);
        tail.mergeCharFormat(big);
    });
    p.ours.moveCursor(QTextCursor::End);
    QApplication::processEvents();
    QVERIFY(p.ours.viewport()->rect().contains(p.ours.cursorRect()));
    // Editing while the layout is still catching up.
    p.both([](QTextEdit &e) { QTextCursor(e.document()->findBlockByNumber(3000)).insertText(QStringLiteral("mitten\nhinein ")); });
    p.pause();
    QTRY_VERIFY_WITH_TIMEOUT(p.layout->isLayoutFinished(), 60000);
    QCOMPARE(sizes.last().at(0).toSizeF(), p.layout->documentSize());
    QCOMPARE(p.ours.verticalScrollBar()->maximum(), qRound(p.layout->documentSize().height()) - p.ours.viewport()->height());
    // Qt's layout, edited while it was still laying out, can stop short of
    // the end; the oracle is a fresh one.
    p.qt.document()->setDocumentLayout(nullptr);
    p.qt.document()->documentLayout();
    compareGeometry(p);
}

void TestIncrementalDocumentLayout::viewStaysWhileEstimatesAreReplaced()
{
    QString text;
    for (int i = 0; i < 3000; ++i)
        text += words(5 + (i * 13) % 70) + '\n';
    Pair p([&text](QTextCursor &c) { c.insertText(text); });
    p.layout->ensureLayoutFinished();
    p.ours.verticalScrollBar()->setValue(qRound(p.layout->blockBoundingRect(p.ours.document()->findBlockByNumber(2000)).top()));
    p.ours.viewport()->repaint();
    QSignalSpy replaced(p.layout, &IncrementalDocumentLayout::estimatesReplaced);
    p.ours.resize(330, 320); // every line breaks anew; the heights above are estimates
    p.ours.viewport()->repaint();
    p.pause();
    QTRY_VERIFY_WITH_TIMEOUT(p.layout->isLayoutFinished(), 30000);
    QVERIFY(replaced.count() > 0);
    const int top = p.layout->hitTest(QPointF(5, p.ours.verticalScrollBar()->value() + 2), Qt::FuzzyHit);
    QCOMPARE(p.ours.document()->findBlock(top).blockNumber(), 2000);
}

void TestIncrementalDocumentLayout::keyboardAndMouse()
{
    Pair p([](QTextCursor &c) {
        for (int i = 0; i < 80; ++i)
            c.insertText(words(5 + (i * 7) % 40) + QChar::ParagraphSeparator);
    });
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_End, Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Up, Qt::Key_Home,
                        Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_Right, Qt::Key_Up, Qt::Key_PageUp, Qt::Key_Down}) {
        p.both([key](QTextEdit &e) { QTest::keyClick(&e, key); });
        QCOMPARE(p.ours.textCursor().position(), p.qt.textCursor().position());
        QCOMPARE(p.ours.verticalScrollBar()->value(), p.qt.verticalScrollBar()->value());
        QCOMPARE(p.ours.cursorRect(), p.qt.cursorRect());
    }
    p.both([](QTextEdit &e) { QTest::mouseClick(e.viewport(), Qt::LeftButton, {}, QPoint(130, 57)); });
    QCOMPARE(p.ours.textCursor().position(), p.qt.textCursor().position());
    p.both([](QTextEdit &e) {
        QTest::mousePress(e.viewport(), Qt::LeftButton, {}, QPoint(40, 20));
        QMouseEvent move(QEvent::MouseMove, QPointF(300, 140), e.viewport()->mapToGlobal(QPointF(300, 140)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(e.viewport(), &move);
        QTest::mouseRelease(e.viewport(), Qt::LeftButton, {}, QPoint(300, 140));
    });
    QVERIFY(p.ours.textCursor().hasSelection());
    QCOMPARE(p.ours.textCursor().selectionStart(), p.qt.textCursor().selectionStart());
    QCOMPARE(p.ours.textCursor().selectionEnd(), p.qt.textCursor().selectionEnd());
}

void TestIncrementalDocumentLayout::selectionsAndCursorPaint()
{
    Pair p([](QTextCursor &c) {
        for (int i = 0; i < 15; ++i)
            c.insertText(words(25) + QChar::ParagraphSeparator);
    });
    p.both([](QTextEdit &e) { e.setCursorWidth(3); });
    const auto render = [](QTextEdit &e) {
        QTextDocument *doc = e.document();
        const auto selection = [doc](int block, QTextCursor::MoveOperation op, int n, QColor bg, QColor fg) {
            QAbstractTextDocumentLayout::Selection s{QTextCursor(doc->findBlockByNumber(block)), {}};
            s.cursor.movePosition(op, QTextCursor::KeepAnchor, n);
            s.format.setBackground(bg);
            if (fg.isValid())
                s.format.setForeground(fg);
            return s;
        };
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.palette.setColor(QPalette::Text, QColor(120, 0, 40));
        ctx.clip = QRectF(0, 0, 420, 400);
        ctx.cursorPosition = doc->findBlockByNumber(1).position() + 17;
        auto line = selection(4, QTextCursor::NoMove, 0, QColor(200, 255, 200), QColor());
        line.format.setProperty(QTextFormat::FullWidthSelection, true);
        ctx.selections = {selection(2, QTextCursor::NextWord, 3, QColor(255, 200, 0), Qt::blue), // the word spoken
                          line, selection(6, QTextCursor::Down, 4, QColor(40, 80, 200), Qt::white)};
        QImage img(420, 400, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter painter(&img);
        doc->documentLayout()->draw(&painter, ctx);
        return img;
    };
    QCOMPARE(differingPixels(render(p.qt), render(p.ours)), 0);
}

void TestIncrementalDocumentLayout::keeper()
{
    FakeClock clock;
    QTextEdit edit;
    edit.resize(400, 300);
    edit.show();
    DocumentLayoutKeeper *keeper = IncrementalDocumentLayout::install(&edit, clock);
    QCOMPARE(IncrementalDocumentLayout::install(&edit, clock), keeper);
    QVERIFY(keeper->usesIncrementalLayout());
    QSignalSpy switched(keeper, &DocumentLayoutKeeper::layoutSwitched);
    edit.setPlainText(words(300));
    edit.setHtml(QStringLiteral("<p>vorher</p><p>danach</p>"));
    QVERIFY(qobject_cast<IncrementalDocumentLayout *>(edit.document()->documentLayout()));

    QTextCursor c = edit.textCursor();
    c.movePosition(QTextCursor::End);
    c.insertHtml(QStringLiteral("<table border=1><tr><td>a</td><td>b</td></tr></table>"));
    edit.viewport()->repaint(); // the picture until the switch must not crash
    QTRY_VERIFY(!keeper->usesIncrementalLayout());
    QCOMPARE(switched.count(), 1);
    QTest::keyClicks(&edit, "weiter");
    edit.viewport()->repaint();

    edit.clear();
    QTRY_VERIFY(keeper->usesIncrementalLayout());
    QCOMPARE(switched.count(), 2);
    QTest::keyClicks(&edit, "wieder flach");
    QCOMPARE(edit.toPlainText(), QStringLiteral("wieder flach"));
    QVERIFY(edit.cursorRect().height() > 5);

    // A document of its own for the edit: the keeper follows at the next paint.
    auto *doc = new QTextDocument(&edit);
    doc->setPlainText(words(100));
    edit.setDocument(doc);
    edit.viewport()->repaint();
    QTRY_VERIFY(qobject_cast<IncrementalDocumentLayout *>(doc->documentLayout()));
    QTest::keyClick(&edit, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(edit.textCursor().position(), doc->characterCount() - 1);
}

void TestIncrementalDocumentLayout::badInput()
{
    FakeClock clock;
    QTextDocument doc;
    auto *layout = new IncrementalDocumentLayout(&doc, clock);
    doc.setDocumentLayout(layout);
    QCOMPARE(layout->hitTest(QPointF(10, 10), Qt::FuzzyHit), 0);
    QVERIFY(layout->documentSize().height() > 0);
    QImage img(200, 200, QImage::Format_RGB32);
    QPainter painter(&img);
    for (qreal width : {0.0, -50.0, 1.0, 300.0}) {
        doc.setPageSize(QSizeF(width, -1));
        doc.drawContents(&painter, QRectF(0, 0, 200, 200));
        QCOMPARE(layout->hitTest(QPointF(-5, -5), Qt::FuzzyHit), 0);
    }
    // One huge paragraph without a line break.
    doc.setPlainText(QString(words(20) + ' ').repeated(4000));
    layout->ensureLayoutFinished();
    QVERIFY(doc.firstBlock().layout()->lineCount() > 100);
    QCOMPARE(layout->hitTest(QPointF(1e7, 1e7), Qt::FuzzyHit), doc.characterCount() - 1);
    QCOMPARE(layout->hitTest(QPointF(qQNaN(), -qInf()), Qt::FuzzyHit), 0);
    QTextBlockFormat absurd;
    absurd.setTopMargin(1e300);
    absurd.setLeftMargin(-1e300);
    absurd.setLineHeight(1e200, QTextBlockFormat::FixedHeight);
    QTextCursor(&doc).setBlockFormat(absurd);
    QVERIFY(layout->blockBoundingRect(doc.firstBlock()).isValid());
    // Hidden blocks take no room and are never hit.
    doc.setPlainText(QStringLiteral("eins\nzwei\ndrei"));
    doc.findBlockByNumber(1).setVisible(false);
    doc.markContentsDirty(0, doc.characterCount());
    layout->ensureLayoutFinished();
    QCOMPARE(layout->blockBoundingRect(doc.findBlockByNumber(1)), QRectF());
    const QRectF third = layout->blockBoundingRect(doc.findBlockByNumber(2));
    QCOMPARE(third.top(), layout->blockBoundingRect(doc.firstBlock()).bottom());
    QVERIFY(layout->hitTest(third.center(), Qt::FuzzyHit) >= doc.findBlockByNumber(2).position());
    // Asked in the middle of an edit block, before the layout hears of the change.
    QTextCursor c(&doc);
    c.beginEditBlock();
    c.insertText(QStringLiteral("a\nb\nc\n"));
    QVERIFY(layout->blockBoundingRect(doc.lastBlock()).isValid());
    c.endEditBlock();
    doc.clear();
    QCOMPARE(doc.documentLayout(), layout);
    QCOMPARE(layout->hitTest(QPointF(0, 0), Qt::FuzzyHit), 0);
}

// A slice of the background layout yields once its time on the clock is up,
// after at least one block.
void TestIncrementalDocumentLayout::backgroundSlices_data()
{
    QTest::addColumn<int>("blocks");
    QTest::addColumn<int>("msPerBlock");
    QTest::addColumn<QList<int>>("slices");
    QTest::newRow("quick blocks") << 12 << 1 << QList<int>{5, 5, 2};
    QTest::newRow("slow blocks") << 5 << 3 << QList<int>{2, 2, 1};
    QTest::newRow("one block longer than a slice") << 3 << 10 << QList<int>{1, 1, 1};
    QTest::newRow("no time passing") << 400 << 0 << QList<int>{400};
}

void TestIncrementalDocumentLayout::backgroundSlices()
{
    QFETCH(int, blocks);
    QFETCH(int, msPerBlock);
    QFETCH(QList<int>, slices);
    CountedWork work;
    work.blocksLeft = blocks;
    work.msPerBlock = msPerBlock;
    work.scheduler.start();
    QTRY_VERIFY(!work.scheduler.isActive());
    QCOMPARE(work.slices, slices);
}

// While the user types (an edit less than a pause ago on the clock) no slice
// runs; after the pause the slices go on.
void TestIncrementalDocumentLayout::backgroundWaitsWhileTyping()
{
    CountedWork work;
    work.blocksLeft = 30;
    work.msPerBlock = 1;
    work.scheduler.noteEdit();
    work.scheduler.start();
    QApplication::processEvents();
    QVERIFY(work.slices.isEmpty());
    // The user types again right after the first slice.
    work.afterSlice = [&work] {
        if (work.slices.size() == 1)
            work.scheduler.noteEdit();
    };
    work.clock.advanceMs(BackgroundLayoutScheduler::kTypingPauseNs / 1'000'000);
    QTRY_COMPARE(work.slices.size(), 1);
    QApplication::processEvents();
    QApplication::processEvents();
    QCOMPARE(work.slices.size(), 1);
    QVERIFY(work.scheduler.isActive());
    work.clock.advanceSeconds(1);
    QTRY_VERIFY(!work.scheduler.isActive());
    QCOMPARE(work.blocksLeft, 0);
}

// The heights guessed for blocks not laid out yet follow what the blocks laid
// out so far measured, also when the text is not in the document's default
// font (a loaded file), so the scroll bar and the view barely move when the
// guesses are replaced.
void TestIncrementalDocumentLayout::estimatesLearnFromLaidOutBlocks_data()
{
    QTest::addColumn<int>("defaultPoints");
    QTest::addColumn<int>("textPoints");
    QTest::addColumn<qreal>("pageWidth");
    QTest::addColumn<double>("tolerance");
    QTest::newRow("text larger than the default font") << 10 << 22 << qreal(600) << 0.1;
    QTest::newRow("text smaller than the default font") << 22 << 10 << qreal(600) << 0.1;
    QTest::newRow("no wrapping: one line a block") << 22 << 10 << qreal(-1) << 0.0;
}

void TestIncrementalDocumentLayout::estimatesLearnFromLaidOutBlocks()
{
    QFETCH(int, defaultPoints);
    QFETCH(int, textPoints);
    QFETCH(qreal, pageWidth);
    QFETCH(double, tolerance);
    // No widget; the document needs a layout of its own only for its blocks
    // to take their fonts, and that one lays nothing out before it is asked.
    FakeClock clock;
    QTextDocument doc;
    doc.setDocumentLayout(new IncrementalDocumentLayout(&doc, clock));
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), defaultPoints));
    doc.setPageSize(QSizeF(pageWidth, -1));
    QTextCharFormat text;
    text.setFontPointSize(textPoints);
    QString paragraphs;
    for (int i = 0; i < 80; ++i)
        paragraphs += words(10 + (i * 17) % 60) + '\n';
    QTextCursor(&doc).insertText(paragraphs, text);

    BlockLayouter layouter;
    layouter.setSettings(BlockLayouter::Settings::of(doc, nullptr));
    qint64 offset = 0;
    int number = 0;
    QTextBlock block = doc.begin();
    for (; number < 40; ++number, block = block.next())
        offset += layouter.layout(block, number, offset).advance;
    const BlockLayouter::Estimate estimate = layouter.estimate();
    qint64 guessed = 0, measured = 0;
    for (; block.isValid(); ++number, block = block.next()) {
        guessed += estimate.advance(block);
        const qint64 advance = layouter.layout(block, number, offset).advance;
        measured += advance;
        offset += advance;
    }
    QVERIFY2(qAbs(guessed - measured) <= measured * tolerance,
             qPrintable(QStringLiteral("%1 guessed, %2 measured").arg(guessed / 64).arg(measured / 64)));
}

QTEST_MAIN(TestIncrementalDocumentLayout)
#include "tst_incrementaldocumentlayout.moc"
