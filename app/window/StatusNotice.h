#pragma once
// StatusNotice: the message field of the main window's status bar. A screen
// reader sees it as a notification inside the status bar; a message that
// is announced shows that notification anew (Qt 6.4 has no announcement
// event, and readers speak a status-bar notification when it is shown), so
// finished speaking, a finished export, a script's end and errors are heard
// without moving the focus. Messages that only keep a count up to date are
// shown without being announced.

#include <QLabel>

class StatusNotice : public QLabel
{
    Q_OBJECT
public:
    enum class Announce { Yes, No };

    explicit StatusNotice(QWidget *parent = nullptr);

    void showMessage(const QString &text, Announce announce);
};
