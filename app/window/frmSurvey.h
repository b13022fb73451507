#pragma once
// frmSurvey: the feedback prompt shown as the last step when the main window
// is closed through its title bar.

#include <QDialog>

class frmSurvey : public QDialog
{
    Q_OBJECT
public:
    enum class Choice { Yes, No, Later };

    explicit frmSurvey(QWidget *parent = nullptr);
    Choice choice() const { return m_choice; }

private:
    Choice m_choice = Choice::Later;
};
