#include "VoiceDialogButtons.h"

#include "VoiceDialogTexts.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

VoiceDialogButtons::VoiceDialogButtons(QDialog *dialog)
    : ok(new QPushButton(VoiceDialogTexts::ok(), dialog)), cancel(new QPushButton(VoiceDialogTexts::cancel(), dialog)),
      preview(new QPushButton(VoiceDialogTexts::preview(), dialog)), row(new QHBoxLayout)
{
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    cancel->setObjectName(QStringLiteral("Command2"));
    preview->setObjectName(QStringLiteral("cmdPreview"));
    preview->setToolTip(VoiceDialogTexts::previewTip());
    row->addWidget(preview);
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}
