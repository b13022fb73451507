#include "frmSurvey.h"

#include "WindowTexts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmSurvey::frmSurvey(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSurvey"));
    setWindowTitle(WindowTexts::SurveyCaption);
    setWindowIcon(QIcon());
    auto *layout = new QVBoxLayout(this);
    int n = 0;
    for (const QString &text : {WindowTexts::SurveyLine1, WindowTexts::SurveyLine2, WindowTexts::SurveyLine3,
                                WindowTexts::SurveyLine4}) {
        auto *label = new QLabel(text, this);
        label->setObjectName(QStringLiteral("lblText%1").arg(++n));
        label->setWordWrap(true);
        if (n == 1) {
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
        }
        layout->addWidget(label);
    }
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    const auto add = [&](const char *name, const QString &caption, Choice choice) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, [this, choice] {
            m_choice = choice;
            accept();
        });
        buttons->addWidget(b);
        return b;
    };
    add("cmdYes", WindowTexts::SurveyYes, Choice::Yes)->setDefault(true);
    add("cmdNo", WindowTexts::SurveyNo, Choice::No);
    add("cmdLater", WindowTexts::SurveyLater, Choice::Later);
    layout->addLayout(buttons);
    setFixedWidth(420);
}
