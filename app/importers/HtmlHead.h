#pragma once
// HtmlHead: what an HTML page says about itself in its head, its <title>
// and <meta name="author" content="...">, read with libxml2's HTML parser
// (forgiving, like a browser; no network, no entities fetched). Only the
// start of a page is looked at, where the head is.

#include <QString>

namespace HtmlHead {

struct Head {
    QString title;
    QString author;
};

Head read(const QString &html);

} // namespace HtmlHead
