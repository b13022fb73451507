#pragma once
// VoiceBox: the voice dialog's combo box as a screen reader reads it. Qt's
// own interface of a closed combo box offers the shown entry only as its
// name, which readers do not take for a combo box's value; this one also
// offers it as text (what readers read as the value of a box that cannot
// be edited), while the list of entries stays its child as in Qt's.

#include <QComboBox>

class VoiceBox : public QComboBox
{
    Q_OBJECT
public:
    explicit VoiceBox(QWidget *parent = nullptr);
};
