#include "PdfReader.h"

#include "ImportMessages.h"

#include <poppler-qt6.h>

#include <mutex>

namespace {

void quiet(const QString &, const QVariant &) {}

PdfLine lineFrom(const QString &text, const QRectF &box)
{
    PdfLine line;
    line.text = text.trimmed();
    line.box = box;
    return line;
}

// Bookmarks nested deeper than headings go, or more than a book has, are
// left out: the outline is outside input like the rest of the file.
constexpr int kMaxOutlineDepth = 6;
constexpr size_t kMaxOutlineEntries = 20000;

void readOutline(const QVector<Poppler::OutlineItem> &items, int level, std::vector<PdfOutlineEntry> &out)
{
    for (const Poppler::OutlineItem &item : items) {
        if (out.size() >= kMaxOutlineEntries)
            return;
        out.push_back({item.name(), level});
        if (level < kMaxOutlineDepth && item.hasChildren())
            readOutline(item.children(), level + 1, out);
    }
}

} // namespace

PdfReader::Result PdfReader::read(const QByteArray &bytes, const ImportControl &control)
{
    // Poppler reports every oddity of a file on standard error; a reader of
    // damaged files would fill the terminal.
    static std::once_flag silenced;
    std::call_once(silenced, [] { Poppler::setDebugErrorFunction(quiet, QVariant()); });

    Result result;
    const QByteArray password = control.password.toUtf8();
    std::unique_ptr<Poppler::Document> doc = Poppler::Document::loadFromData(bytes, password, password);
    if (!doc) {
        result.message = ImportMessages::PdfDamaged;
        return result;
    }
    if (doc->isLocked()) {
        result.status = control.password.isEmpty() ? ImportStatus::NeedsPassword : ImportStatus::WrongPassword;
        result.message = ImportMessages::PdfLocked;
        return result;
    }
    const int count = doc->numPages();
    if (count <= 0) {
        result.message = ImportMessages::PdfDamaged;
        return result;
    }
    result.pages.reserve(size_t(count));
    bool anyText = false;
    for (int i = 0; i < count; ++i) {
        if (control.cancelled()) {
            result.status = ImportStatus::Cancelled;
            result.pages.clear();
            return result;
        }
        PdfPageText pageText;
        std::unique_ptr<Poppler::Page> page = doc->page(i);
        if (page) {
            pageText.size = page->pageSizeF();
            const std::vector<std::unique_ptr<Poppler::TextBox>> words = page->textList();
            QString text;
            QRectF box;
            for (const std::unique_ptr<Poppler::TextBox> &word : words) {
                text += word->text();
                box = box.isNull() ? word->boundingBox() : box.united(word->boundingBox());
                if (word->nextWord()) {
                    if (word->hasSpaceAfter())
                        text += QLatin1Char(' ');
                    continue;
                }
                PdfLine line = lineFrom(text, box);
                if (!line.text.isEmpty()) {
                    pageText.lines.push_back(std::move(line));
                    anyText = true;
                }
                text.clear();
                box = QRectF();
            }
            if (!text.trimmed().isEmpty()) {
                pageText.lines.push_back(lineFrom(text, box));
                anyText = true;
            }
        }
        result.pages.push_back(std::move(pageText));
        control.report(i + 1, count);
    }
    if (!anyText) {
        result.pages.clear();
        result.message = ImportMessages::PdfNoText;
        return result;
    }
    readOutline(doc->outline(), 1, result.outline);
    result.title = doc->title();
    result.author = doc->author();
    if (const QDateTime created = doc->creationDate(); created.isValid())
        result.date = created.toString(Qt::ISODate);
    result.status = ImportStatus::Ok;
    return result;
}
