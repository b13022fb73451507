#pragma once
// frmAbout: the about dialog, opened modally from "&Über Quenora" (F12).
// A picture fills it, a frame runs round its edge, and the labels lie on
// the picture. Any key but Print closes it, and so does a click on the
// picture, on the hint to click (Label1) or on the maker (Label3).

#include <QDialog>

class QFrame;
class QLabel;

class frmAbout : public QDialog
{
    Q_OBJECT
public:
    // majorMinor: the program's version, "major.minor".
    explicit frmAbout(const QString &majorMinor, QWidget *parent = nullptr);

    // "Version " + major + "." + minor + ".1".
    static QString versionText(const QString &majorMinor);

    QLabel *Image1() const { return m_image1; }
    QFrame *Shape1() const { return m_shape1; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QLabel *label(const char *name, const QString &text, int pointSize = 0, bool bold = false);

    QLabel *m_image1 = nullptr;
    QFrame *m_shape1 = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label3 = nullptr;
};
