#include "Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

QString QtClipboard::text() const
{
    // Without a GUI application there is no clipboard to read.
    QClipboard *clipboard = qobject_cast<QGuiApplication *>(QCoreApplication::instance())
        ? QGuiApplication::clipboard()
        : nullptr;
    return clipboard ? clipboard->text() : QString();
}
