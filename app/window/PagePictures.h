#pragma once
// PagePictures: decodes the pictures a local page refers to on worker
// threads, ahead of the page being shown. Decoding the start page's
// background picture (and loading the image plug-in for it) would otherwise
// hold up the first paint of the window; started early, it runs while the
// window is being built.
//
// A prefetched picture is handed out once, to the browser view that shows
// the page; pictures nobody asked for are released at the next prefetch.

#include <QImage>
#include <QString>
#include <QStringList>

namespace PagePictures {

// Starts decoding every local picture the page names in a src="…" or
// background="…" attribute. Returns at once; an unreadable page or
// picture is simply not prefetched.
void prefetch(const QString &pagePath);

// The picture decoded from this file, waiting for its decoding to finish
// if need be; a null image when it was not prefetched (or already taken).
QImage take(const QString &filePath);

// The files a page's HTML names as pictures, resolved against its folder.
QStringList picturesOf(const QString &html, const QString &pageFolder);

} // namespace PagePictures
