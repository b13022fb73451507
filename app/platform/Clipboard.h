#pragma once
// Clipboard: the text on the desktop's clipboard, for the script variable
// $Zwischenablage and the clipboard reader. QtClipboard asks the running
// application's clipboard; tests use FakeClipboard (app/testsupport).

#include <QString>

class Clipboard
{
public:
    virtual ~Clipboard() = default;
    // Empty when the clipboard holds no text.
    virtual QString text() const = 0;
};

class QtClipboard : public Clipboard
{
public:
    QString text() const override;
};
