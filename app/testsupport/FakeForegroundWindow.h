#pragma once
// FakeForegroundWindow: a ForegroundWindow whose front window the test sets;
// counts the questions.

#include "ForegroundWindow.h"

class FakeForegroundWindow : public ForegroundWindow
{
public:
    Window window;
    int asked = 0;

    Window foreground() override
    {
        ++asked;
        return window;
    }
    void bringToFront(const QString &title, bool own = false) { window = {title, own}; }
};
