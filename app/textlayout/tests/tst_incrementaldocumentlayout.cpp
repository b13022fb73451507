#include <QAbstractTextDocumentLayout>
#include <QApplication>
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
#include <QTextTable>

#include <climits>
#include <functional>
#include <memory>

#include "DocumentLayoutKeeper.h"
#include "IncrementalDocumentLayout.h"
#include "RtfReader.h"

#include <QDir>
#include <QFile>

using Build = std::function<void(QTextCursor &)>;
Q_DECLARE_METATYPE(Build)

namespace {

const QString kWords = QStringLiteral("Der schnelle braune Fuchs springt über den faulen Hund und läuft weiter ");

QString words(int n)
{
    QString s;
    for (int i = 0; i < n; ++i)
        s += kWords.section(' ', i % 12, i % 12) + ' ';
    return s.trimmed();
}

// Two edits of the same size showing the same document: one laid out by Qt,
// one by the layout under test, installed as the main window installs it.
struct Pair {
    QTextEdit qt;
    QTextEdit ours;
    IncrementalDocumentLayout *layout = nullptr;

    Pair(const Build &build, QTextEdit::LineWrapMode wrap = QTextEdit::WidgetWidth)
    {
        for (QTextEdit *e : {&qt, &ours}) {
            e->setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
            e->setLineWrapMode(wrap);
            e->resize(420, 320);
            e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            QTextCursor c(e->document());
            if (build)
                build(c);
            e->moveCursor(QTextCursor::Start);
        }
        IncrementalDocumentLayout::install(&ours);
        layout = qobject_cast<IncrementalDocumentLayout *>(ours.document()->documentLayout());
        qt.show();
        ours.show();
        QApplication::processEvents();
    }
    void both(const std::function<void(QTextEdit &)> &f)
    {
        f(qt);
        f(ours);
        QApplication::processEvents();
    }
};

QImage addImage(QTextDocument *doc)
{
    QImage img(40, 24, QImage::Format_RGB32);
    img.fill(QColor(200, 60, 30));
    doc->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pic")), img);
    return img;
}

bool near(const QRectF &a, const QRectF &b)
{
    return qAbs(a.left() - b.left()) <= 1 && qAbs(a.top() - b.top()) <= 1
        && qAbs(a.right() - b.right()) <= 1 && qAbs(a.bottom() - b.bottom()) <= 1;
}

// Block rectangles, document size, cursor rectangles and hit tests agree.
void compareGeometry(Pair &p, bool widths = true)
{
    p.layout->ensureLayoutFinished();
    QTextDocument *a = p.qt.document();
    QTextDocument *b = p.ours.document();
    QCOMPARE(b->blockCount(), a->blockCount());
    const QSizeF sa = a->documentLayout()->documentSize();
    const QSizeF sb = b->documentLayout()->documentSize();
    QVERIFY2(qAbs(sa.height() - sb.height()) <= 1, qPrintable(QStringLiteral("%1 vs %2").arg(sa.height()).arg(sb.height())));
    if (widths)
        QVERIFY(qAbs(sa.width() - sb.width()) <= 1);
    for (QTextBlock x = a->begin(), y = b->begin(); x.isValid(); x = x.next(), y = y.next()) {
        QRectF ra = a->documentLayout()->blockBoundingRect(x);
        QRectF rb = b->documentLayout()->blockBoundingRect(y);
        if (!widths) {
            ra.setWidth(0);
            rb.setWidth(0);
        }
        QVERIFY2(near(ra, rb), qPrintable(QStringLiteral("block %1: (%2,%3 %4x%5) vs (%6,%7 %8x%9)").arg(x.blockNumber())
            .arg(ra.x()).arg(ra.y()).arg(ra.width()).arg(ra.height()).arg(rb.x()).arg(rb.y()).arg(rb.width()).arg(rb.height())));
    }
    p.both([](QTextEdit &e) { e.verticalScrollBar()->setValue(0); e.horizontalScrollBar()->setValue(0); });
    const int posStep = qMax(5, a->characterCount() / 500);
    for (int pos = 0; pos < a->characterCount(); pos += posStep) {
        QTextCursor ca(a), cb(b);
        ca.setPosition(pos);
        cb.setPosition(pos);
        QVERIFY2(near(p.qt.cursorRect(ca), p.ours.cursorRect(cb)), qPrintable(QString::number(pos)));
    }
    const qreal yStep = qMax(qreal(7), sa.height() / 300) + 0.37;
    for (qreal y = -5; y < sa.height() + 20; y += yStep) {
        for (qreal x = -3; x < 420; x += 23) {
            const QPointF pt(x, y);
            QCOMPARE(b->documentLayout()->hitTest(pt, Qt::FuzzyHit), a->documentLayout()->hitTest(pt, Qt::FuzzyHit));
            QCOMPARE(b->documentLayout()->hitTest(pt, Qt::ExactHit), a->documentLayout()->hitTest(pt, Qt::ExactHit));
            if (y < p.qt.viewport()->height())
                QCOMPARE(p.ours.anchorAt(pt.toPoint()), p.qt.anchorAt(pt.toPoint()));
        }
    }
}

int differingPixels(const QImage &x, const QImage &y)
{
    const QImage a = x.convertToFormat(QImage::Format_RGB32);
    const QImage b = y.convertToFormat(QImage::Format_RGB32);
    if (a.size() != b.size() || a.isNull())
        return INT_MAX;
    int differing = 0;
    int inked = 0;
    for (int row = 0; row < a.height(); ++row) {
        for (int col = 0; col < a.width(); ++col) {
            const QRgb pa = a.pixel(col, row), pb = b.pixel(col, row);
            if (qAbs(qRed(pa) - qRed(pb)) + qAbs(qGreen(pa) - qGreen(pb)) + qAbs(qBlue(pa) - qBlue(pb)) > 60)
                ++differing;
            if (pa != a.pixel(0, 0))
                ++inked;
        }
    }
    // Two blank pictures prove nothing.
    return inked < 50 ? INT_MAX : differing;
}

// Pixels that differ noticeably between the two viewports.
int pictureDifference(Pair &p)
{
    QApplication::processEvents();
    return differingPixels(p.qt.viewport()->grab().toImage(), p.ours.viewport()->grab().toImage());
}

} // namespace

class TestIncrementalDocumentLayout : public QObject
{
    Q_OBJECT

private slots:
    void sameAsQt_data();
    void sameAsQt();
    void rtfDocuments_data();
    void rtfDocuments();
    void noWrap();
    void edits_data();
    void edits();
    void updateCoversChangedLines();
    void lazyLayoutConverges();
    void viewStaysWhileEstimatesAreReplaced();
    void keyboardAndMouse();
    void selectionsAndCursorPaint();
    void keeperHandsOverForTables();
    void keeperSurvivesReplacedDocument();
    void badInput();
};

void TestIncrementalDocumentLayout::sameAsQt_data()
{
    QTest::addColumn<Build>("build");
    QTest::newRow("plain") << Build([](QTextCursor &c) {
        for (int i = 0; i < 30; ++i)
            c.insertText(words(4 + i % 5) + QChar::ParagraphSeparator);
    });
    QTest::newRow("wrapped") << Build([](QTextCursor &c) {
        for (int i = 0; i < 6; ++i)
            c.insertText(words(60 + 13 * i) + QChar::ParagraphSeparator);
        c.insertText(QString(400, 'x')); // one word wider than the page
    });
    for (const auto &[name, align] : {std::pair{"left", Qt::AlignLeft}, {"centre", Qt::AlignHCenter},
                                      {"right", Qt::AlignRight}, {"justify", Qt::AlignJustify}}) {
        const Qt::Alignment al = align;
        QTest::newRow(name) << Build([al](QTextCursor &c) {
            QTextBlockFormat f;
            f.setAlignment(al);
            for (int i = 0; i < 5; ++i) {
                c.insertBlock(f);
                c.insertText(words(30 + 5 * i));
            }
        });
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
    });
    QTest::newRow("lists") << Build([](QTextCursor &c) {
        const QTextListFormat::Style styles[] = {QTextListFormat::ListDisc, QTextListFormat::ListCircle,
            QTextListFormat::ListSquare, QTextListFormat::ListDecimal, QTextListFormat::ListLowerAlpha,
            QTextListFormat::ListUpperAlpha, QTextListFormat::ListLowerRoman, QTextListFormat::ListUpperRoman};
        c.document()->setIndentWidth(30);
        int level = 1;
        for (QTextListFormat::Style style : styles) {
            QTextListFormat lf;
            lf.setStyle(style);
            lf.setIndent(level++ % 3 + 1);
            QTextList *list = c.insertList(lf);
            c.insertText(words(12));
            for (int i = 0; i < 3; ++i) {
                c.insertBlock();
                c.insertText(words(3 + i));
                list->add(c.block());
            }
            c.insertBlock(QTextBlockFormat());
        }
    });
    QTest::newRow("mixed formats") << Build([](QTextCursor &c) {
        for (int i = 0; i < 40; ++i) {
            QTextCharFormat f;
            f.setFontPointSize(7 + (i * 5) % 17);
            f.setFontWeight(i % 2 ? QFont::Bold : QFont::Normal);
            f.setFontItalic(i % 3 == 0);
            f.setFontUnderline(i % 4 == 0);
            f.setFontStrikeOut(i % 5 == 0);
            f.setVerticalAlignment(i % 6 == 1 ? QTextCharFormat::AlignSuperScript
                                   : i % 6 == 2 ? QTextCharFormat::AlignSubScript : QTextCharFormat::AlignNormal);
            f.setForeground(QColor::fromHsv(i * 9, 200, 150));
            if (i % 7 == 0)
                f.setBackground(Qt::yellow);
            if (i % 9 == 0) {
                f.setAnchor(true);
                f.setAnchorHref(QStringLiteral("https://example.org/%1").arg(i));
            }
            c.insertText(words(3) + ' ', f);
            if (i % 8 == 7)
                c.insertBlock();
        }
    });
    QTest::newRow("images") << Build([](QTextCursor &c) {
        addImage(c.document());
        QTextImageFormat natural;
        natural.setName(QStringLiteral("pic"));
        QTextImageFormat sized = natural;
        sized.setWidth(90);
        QTextImageFormat missing;
        missing.setName(QStringLiteral("nothing-here"));
        c.insertText(words(5));
        c.insertImage(natural);
        c.insertText(words(9));
        c.insertImage(sized);
        c.insertBlock();
        c.insertImage(missing);
        c.insertText(words(4));
    });
    QTest::newRow("tabs") << Build([](QTextCursor &c) {
        QTextOption option = c.document()->defaultTextOption();
        option.setTabStopDistance(53);
        c.document()->setDefaultTextOption(option);
        c.insertText(QStringLiteral("a\tbb\tccc\td\n\t\teingerückt\n"));
        QTextBlockFormat f;
        f.setTabPositions({QTextOption::Tab(120, QTextOption::RightTab), QTextOption::Tab(200, QTextOption::CenterTab)});
        c.insertBlock(f);
        c.insertText(QStringLiteral("links\trechts\tmitte"));
    });
    QTest::newRow("empty blocks and backgrounds") << Build([](QTextCursor &c) {
        QTextBlockFormat f;
        f.setBackground(QColor(220, 230, 255));
        for (int i = 0; i < 10; ++i)
            c.insertBlock(i % 3 ? QTextBlockFormat() : f);
        c.insertText(words(6));
    });
    QTest::newRow("right to left") << Build([](QTextCursor &c) {
        for (int i = 0; i < 6; ++i) {
            c.insertText(QString::fromUtf8("שלום עולם זה טקסט בעברית ") .repeated(3 + i) + QChar::ParagraphSeparator);
            QTextBlockFormat f;
            f.setLayoutDirection(i % 2 ? Qt::RightToLeft : Qt::LeftToRight);
            f.setIndent(1);
            c.setBlockFormat(f);
        }
    });
}

void TestIncrementalDocumentLayout::sameAsQt()
{
    QFETCH(Build, build);
    Pair p(build);
    compareGeometry(p);
    if (QByteArray(QTest::currentDataTag()) == "mixed formats") {
        const QRectF first = p.layout->blockBoundingRect(p.ours.document()->firstBlock());
        QCOMPARE(p.ours.anchorAt(first.topLeft().toPoint() + QPoint(8, 6)), QStringLiteral("https://example.org/0"));
    }
    QCOMPARE(pictureDifference(p), 0);
}

void TestIncrementalDocumentLayout::rtfDocuments_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(QStringLiteral(QUENORA_CORPUS_DIR "/rtf"));
    if (!dir.exists())
        QSKIP("the sample documents are not here");
    for (const QString &name : dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(name)) << dir.filePath(name);
}

// Documents as the RTF reader builds them, loaded after the layout is in place.
void TestIncrementalDocumentLayout::rtfDocuments()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray rtf = file.readAll();
    Pair p(nullptr);
    p.both([&rtf](QTextEdit &e) { RtfReader::read(rtf, e.document()); });
    QCOMPARE(p.ours.document()->documentLayout(), p.layout);
    compareGeometry(p);
    QCOMPARE(pictureDifference(p), 0);
}

void TestIncrementalDocumentLayout::noWrap()
{
    Pair p([](QTextCursor &c) {
        for (int i = 0; i < 12; ++i)
            c.insertText(words(10 + 9 * i) + QChar::ParagraphSeparator);
    }, QTextEdit::NoWrap);
    // Qt lays out unaligned text for no wrapping at width 0; the lines and
    // their places are the same, only the blocks' widths differ.
    compareGeometry(p, false);
    QCOMPARE(p.ours.horizontalScrollBar()->maximum(), p.qt.horizontalScrollBar()->maximum());
    QCOMPARE(pictureDifference(p), 0);
}

void TestIncrementalDocumentLayout::edits_data()
{
    QTest::addColumn<std::function<void(QTextEdit &)>>("edit");
    using E = std::function<void(QTextEdit &)>;
    auto at = [](QTextEdit &e, int block, int offset) {
        QTextCursor c(e.document()->findBlockByNumber(block));
        c.setPosition(c.position() + offset);
        e.setTextCursor(c);
    };
    QTest::newRow("insert") << E([at](QTextEdit &e) { at(e, 5, 10); QTest::keyClicks(&e, "abc xyz"); });
    QTest::newRow("delete") << E([at](QTextEdit &e) { at(e, 5, 10); for (int i = 0; i < 20; ++i) QTest::keyClick(&e, Qt::Key_Delete); });
    QTest::newRow("enter") << E([at](QTextEdit &e) { at(e, 3, 7); QTest::keyClick(&e, Qt::Key_Return); QTest::keyClick(&e, Qt::Key_Return); });
    QTest::newRow("backspace joins") << E([at](QTextEdit &e) { at(e, 8, 0); QTest::keyClick(&e, Qt::Key_Backspace); });
    QTest::newRow("paste many blocks") << E([at](QTextEdit &e) {
        at(e, 2, 4);
        e.textCursor().insertText(QString(words(40) + '\n').repeated(50));
    });
    QTest::newRow("undo redo") << E([at](QTextEdit &e) {
        at(e, 4, 3);
        QTest::keyClick(&e, Qt::Key_Return);
        QTest::keyClicks(&e, "neu");
        e.undo();
        e.undo();
        e.redo();
    });
    QTest::newRow("format change") << E([at](QTextEdit &e) {
        at(e, 6, 0);
        QTextBlockFormat f;
        f.setTopMargin(30);
        f.setBottomMargin(20);
        f.setAlignment(Qt::AlignRight);
        e.textCursor().mergeBlockFormat(f);
    });
    QTest::newRow("select all delete") << E([](QTextEdit &e) { e.selectAll(); QTest::keyClick(&e, Qt::Key_Delete); });
}

void TestIncrementalDocumentLayout::edits()
{
    QFETCH(std::function<void(QTextEdit &)>, edit);
    Pair p([](QTextCursor &c) {
        for (int i = 0; i < 20; ++i)
            c.insertText(words(10 + 7 * (i % 6)) + (i < 19 ? QString(QChar::ParagraphSeparator) : QString()));
    });
    p.layout->ensureLayoutFinished();
    p.both(edit);
    QCOMPARE(p.ours.toPlainText(), p.qt.toPlainText());
    compareGeometry(p);
    if (!p.qt.document()->isEmpty())
        QCOMPARE(pictureDifference(p), 0);
}

void TestIncrementalDocumentLayout::updateCoversChangedLines()
{
    Pair p([](QTextCursor &c) {
        for (int i = 0; i < 200; ++i)
            c.insertText(words(50) + QChar::ParagraphSeparator);
    });
    p.layout->ensureLayoutFinished();
    QTextDocument *doc = p.ours.document();
    const QTextBlock block = doc->findBlockByNumber(100);
    const QRectF blockRect = p.layout->blockBoundingRect(block);
    const QTextLine third = block.layout()->lineAt(2);
    QSignalSpy updates(p.layout, &QAbstractTextDocumentLayout::update);

    QTextCursor c(block);
    c.setPosition(block.position() + third.textStart() + 3);
    c.insertText(QStringLiteral("i"));
    QCOMPARE(updates.count(), 1);
    const QRectF r = updates.at(0).at(0).toRectF();
    QVERIFY(r.top() >= blockRect.top() + block.layout()->lineAt(1).y() - 1);
    QVERIFY(r.bottom() <= blockRect.bottom() + 1);

    updates.clear();
    c.insertBlock(); // the block splits: everything below moves
    QCOMPARE(updates.count(), 1);
    QVERIFY(updates.at(0).at(0).toRectF().bottom() >= doc->documentLayout()->documentSize().height());
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
    p.ours.moveCursor(QTextCursor::Start);
    // Editing while the layout is still catching up.
    p.both([](QTextEdit &e) {
        QTextCursor c(e.document()->findBlockByNumber(3000));
        c.insertText(QStringLiteral("mitten\nhinein "));
        e.setTextCursor(c);
    });
    QTRY_VERIFY_WITH_TIMEOUT(p.layout->isLayoutFinished(), 60000);
    QVERIFY(sizes.count() > 0);
    QCOMPARE(sizes.last().at(0).toSizeF(), p.layout->documentSize());
    // Qt's layout, edited while it was still laying out, can stop short of
    // the end; the oracle is a fresh one.
    p.qt.document()->setDocumentLayout(nullptr);
    p.qt.document()->documentLayout();
    QApplication::processEvents();
    compareGeometry(p);
    QCOMPARE(p.ours.verticalScrollBar()->maximum(),
             qRound(p.layout->documentSize().height()) - p.ours.viewport()->height());
}

void TestIncrementalDocumentLayout::viewStaysWhileEstimatesAreReplaced()
{
    QTextEdit edit;
    edit.resize(500, 300);
    IncrementalDocumentLayout::install(&edit);
    QString text;
    for (int i = 0; i < 3000; ++i)
        text += words(5 + (i * 13) % 70) + '\n';
    edit.setPlainText(text);
    edit.show();
    auto *layout = qobject_cast<IncrementalDocumentLayout *>(edit.document()->documentLayout());
    QVERIFY(layout);
    layout->ensureLayoutFinished();
    QApplication::processEvents();
    const QTextBlock shown = edit.document()->findBlockByNumber(2000);
    edit.verticalScrollBar()->setValue(qRound(layout->blockBoundingRect(shown).top()));
    edit.viewport()->repaint();

    QSignalSpy replaced(layout, &IncrementalDocumentLayout::estimatesReplaced);
    edit.resize(330, 300); // every line breaks anew; heights above are estimates
    edit.viewport()->repaint();
    QTRY_VERIFY_WITH_TIMEOUT(layout->isLayoutFinished(), 30000);
    QVERIFY(replaced.count() > 0);
    QApplication::processEvents();
    const int topBlock = edit.document()->findBlock(layout->hitTest(QPointF(5, edit.verticalScrollBar()->value() + 2), Qt::FuzzyHit)).blockNumber();
    QCOMPARE(topBlock, 2000);
}

void TestIncrementalDocumentLayout::keyboardAndMouse()
{
    Pair p([](QTextCursor &c) {
        for (int i = 0; i < 80; ++i)
            c.insertText(words(5 + (i * 7) % 40) + QChar::ParagraphSeparator);
    });
    const Qt::Key keys[] = {Qt::Key_Down, Qt::Key_Down, Qt::Key_End, Qt::Key_Down, Qt::Key_PageDown,
                            Qt::Key_Up, Qt::Key_Home, Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_Right,
                            Qt::Key_Up, Qt::Key_PageUp, Qt::Key_Down};
    for (Qt::Key key : keys) {
        p.both([key](QTextEdit &e) { QTest::keyClick(&e, key); });
        QCOMPARE(p.ours.textCursor().position(), p.qt.textCursor().position());
        QCOMPARE(p.ours.verticalScrollBar()->value(), p.qt.verticalScrollBar()->value());
        QCOMPARE(p.ours.cursorRect(), p.qt.cursorRect());
    }
    p.both([](QTextEdit &e) {
        QTest::mouseClick(e.viewport(), Qt::LeftButton, {}, QPoint(130, 57));
    });
    QCOMPARE(p.ours.textCursor().position(), p.qt.textCursor().position());
    p.both([](QTextEdit &e) {
        QTest::mousePress(e.viewport(), Qt::LeftButton, {}, QPoint(40, 20));
        QMouseEvent move(QEvent::MouseMove, QPointF(300, 140), e.viewport()->mapToGlobal(QPointF(300, 140)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(e.viewport(), &move);
        QTest::mouseRelease(e.viewport(), Qt::LeftButton, {}, QPoint(300, 140));
    });
    QCOMPARE(p.ours.textCursor().selectionStart(), p.qt.textCursor().selectionStart());
    QCOMPARE(p.ours.textCursor().selectionEnd(), p.qt.textCursor().selectionEnd());
    QVERIFY(p.ours.textCursor().hasSelection());
}

void TestIncrementalDocumentLayout::selectionsAndCursorPaint()
{
    Pair p([](QTextCursor &c) {
        for (int i = 0; i < 15; ++i)
            c.insertText(words(25) + QChar::ParagraphSeparator);
    });
    p.both([](QTextEdit &e) { e.setCursorWidth(3); });
    auto render = [](QTextEdit &e) {
        QTextDocument *doc = e.document();
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.palette.setColor(QPalette::Text, QColor(120, 0, 40));
        ctx.clip = QRectF(0, 0, 420, 400);
        ctx.cursorPosition = doc->findBlockByNumber(1).position() + 17;
        QTextCursor word(doc->findBlockByNumber(2));
        word.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor, 3);
        QAbstractTextDocumentLayout::Selection spoken{word, {}};
        spoken.format.setBackground(QColor(255, 200, 0));
        spoken.format.setForeground(Qt::blue);
        QAbstractTextDocumentLayout::Selection line{QTextCursor(doc->findBlockByNumber(4)), {}};
        line.format.setBackground(QColor(200, 255, 200));
        line.format.setProperty(QTextFormat::FullWidthSelection, true);
        QTextCursor across(doc->findBlockByNumber(6));
        across.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, 4);
        QAbstractTextDocumentLayout::Selection selected{across, {}};
        selected.format.setBackground(QColor(40, 80, 200));
        selected.format.setForeground(Qt::white);
        ctx.selections = {spoken, line, selected};
        QImage img(420, 400, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter painter(&img);
        doc->documentLayout()->draw(&painter, ctx);
        return img;
    };
    QCOMPARE(differingPixels(render(p.qt), render(p.ours)), 0);
}

void TestIncrementalDocumentLayout::keeperHandsOverForTables()
{
    QTextEdit edit;
    edit.resize(400, 300);
    edit.show();
    DocumentLayoutKeeper *keeper = IncrementalDocumentLayout::install(&edit);
    QCOMPARE(IncrementalDocumentLayout::install(&edit), keeper);
    QVERIFY(keeper->usesIncrementalLayout());
    QSignalSpy switched(keeper, &DocumentLayoutKeeper::layoutSwitched);

    edit.setPlainText(words(300));
    edit.setHtml(QStringLiteral("<p>vorher</p><p>danach</p>"));
    QVERIFY(qobject_cast<IncrementalDocumentLayout *>(edit.document()->documentLayout()));

    QTextCursor c = edit.textCursor();
    c.movePosition(QTextCursor::End);
    c.insertHtml(QStringLiteral("<table border=1><tr><td>a</td><td>b</td></tr></table>"));
    edit.viewport()->repaint(); // the transient picture must not crash
    QTRY_VERIFY(!keeper->usesIncrementalLayout());
    QCOMPARE(switched.count(), 1);
    QVERIFY(!qobject_cast<IncrementalDocumentLayout *>(edit.document()->documentLayout()));
    QTest::keyClicks(&edit, "weiter");
    edit.viewport()->repaint();

    edit.clear();
    QTRY_VERIFY(keeper->usesIncrementalLayout());
    QCOMPARE(switched.count(), 2);
    QTest::keyClicks(&edit, "wieder flach");
    QCOMPARE(edit.toPlainText(), QStringLiteral("wieder flach"));
    QVERIFY(edit.cursorRect().height() > 5);
}

void TestIncrementalDocumentLayout::keeperSurvivesReplacedDocument()
{
    QTextEdit edit;
    edit.resize(300, 200);
    edit.show();
    DocumentLayoutKeeper *keeper = IncrementalDocumentLayout::install(&edit);
    auto *doc = new QTextDocument(&edit);
    doc->setPlainText(words(100));
    edit.setDocument(doc);
    edit.viewport()->repaint();
    QTRY_VERIFY(qobject_cast<IncrementalDocumentLayout *>(doc->documentLayout()));
    QVERIFY(keeper->usesIncrementalLayout());
    QTest::keyClick(&edit, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(edit.textCursor().position(), doc->characterCount() - 1);
}

void TestIncrementalDocumentLayout::badInput()
{
    QTextDocument doc;
    auto *layout = new IncrementalDocumentLayout(&doc);
    doc.setDocumentLayout(layout);
    QCOMPARE(layout->hitTest(QPointF(10, 10), Qt::FuzzyHit), 0);
    QVERIFY(layout->documentSize().height() > 0);
    for (qreal width : {0.0, -50.0, 1.0, 300.0}) {
        doc.setPageSize(QSizeF(width, -1));
        QImage img(200, 200, QImage::Format_RGB32);
        QPainter painter(&img);
        doc.drawContents(&painter, QRectF(0, 0, 200, 200));
        layout->hitTest(QPointF(50, 50), Qt::ExactHit);
    }
    // One huge paragraph without a line break.
    doc.setPlainText(QString(words(20) + ' ').repeated(4000));
    QCOMPARE(doc.blockCount(), 1);
    layout->ensureLayoutFinished();
    QVERIFY(doc.firstBlock().layout()->lineCount() > 100);
    QCOMPARE(layout->hitTest(QPointF(1e7, 1e7), Qt::FuzzyHit), doc.characterCount() - 1);
    // Hidden blocks take no room and are never hit.
    doc.setPlainText(QStringLiteral("eins\nzwei\ndrei"));
    doc.findBlockByNumber(1).setVisible(false);
    doc.markContentsDirty(0, doc.characterCount());
    layout->ensureLayoutFinished();
    QCOMPARE(layout->blockBoundingRect(doc.findBlockByNumber(1)), QRectF());
    const QRectF third = layout->blockBoundingRect(doc.findBlockByNumber(2));
    QCOMPARE(third.top(), layout->blockBoundingRect(doc.firstBlock()).bottom());
    QCOMPARE(layout->hitTest(third.center(), Qt::FuzzyHit) >= doc.findBlockByNumber(2).position(), true);
    // Changed in an edit block: queries before the layout hears of it.
    QTextCursor c(&doc);
    c.beginEditBlock();
    c.insertText(QStringLiteral("a\nb\nc\n"));
    QVERIFY(layout->blockBoundingRect(doc.lastBlock()).isValid());
    c.endEditBlock();
    layout->ensureLayoutFinished();
    doc.clear();
    QCOMPARE(doc.documentLayout(), layout);
    QCOMPARE(layout->hitTest(QPointF(0, 0), Qt::FuzzyHit), 0);
}

QTEST_MAIN(TestIncrementalDocumentLayout)
#include "tst_incrementaldocumentlayout.moc"
