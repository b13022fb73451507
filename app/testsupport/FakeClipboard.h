#pragma once
// FakeClipboard: a Clipboard whose text the test sets; counts the reads.

#include "Clipboard.h"

class FakeClipboard : public Clipboard
{
public:
    QString content;
    mutable int reads = 0;

    QString text() const override
    {
        ++reads;
        return content;
    }
};
