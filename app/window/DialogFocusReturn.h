#pragma once
// DialogFocusReturn: after every modal dialog the keyboard focus goes back
// to where the user was, and a screen reader is told. It watches the whole
// application: when a modal dialog is shown it remembers the widget that had
// the focus; when the dialog is hidden it activates that widget's window
// again, gives the widget the focus and, once the window is active, sends
// the focus event (the window manager's activation can come late, or while
// the caller lets only some events run, and Qt alone then tells the reader
// nothing, so it stays on the closed dialog's last field).

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <vector>

class ForegroundWindow;

class DialogFocusReturn : public QObject
{
    Q_OBJECT
public:
    // desktop: which window the desktop has in front, to notice an
    // activation Qt missed.
    explicit DialogFocusReturn(ForegroundWindow &desktop, QObject *parent = nullptr);
    ~DialogFocusReturn() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void dialogShown(QWidget *dialog);
    void dialogHidden(QWidget *dialog);
    void giveBack();
    void tell(QWidget *widget);
    bool desktopShows(const QWidget *window);

    ForegroundWindow &m_desktop;

    struct Open {
        QPointer<QWidget> dialog;
        QPointer<QWidget> focus;
    };
    std::vector<Open> m_open;
    // The widget whose window is being activated again.
    QPointer<QWidget> m_returning;
    int m_attempts = 0;
    static constexpr int MaxAttempts = 20;
    static constexpr int RetryMs = 100;
};
