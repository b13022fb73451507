#pragma once
// VoiceDialogButtons: the row every voice dialog ends with: "Anhören" on the
// left, OK (the default) and "Abbrechen" on the right, with the object names
// the dialogs have always had; "Abbrechen" rejects the dialog. What OK and
// "Anhören" do is the dialog's own.

class QDialog;
class QHBoxLayout;
class QPushButton;

struct VoiceDialogButtons {
    explicit VoiceDialogButtons(QDialog *dialog);

    QPushButton *ok;
    QPushButton *cancel;
    QPushButton *preview;
    QHBoxLayout *row; // for the dialog's layout to take
};
