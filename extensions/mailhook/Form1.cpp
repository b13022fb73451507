#include "Form1.h"

#include "MailSettings.h"
#include "MailTexts.h"
#include "clsLaunchMail.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The window's picture: a letter in its envelope, drawn at the size shown.
QPixmap envelopePicture(int size, qreal ratio)
{
    QPixmap pixmap(int(size * ratio), int(size * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(size * 0.08, size * 0.22, size * 0.84, size * 0.56);
    p.setPen(QPen(QColor(0x1d, 0x3d, 0x6e), size / 24.0));
    p.setBrush(QColor(0xf4, 0xf1, 0xe6));
    p.drawRoundedRect(body, size / 32.0, size / 32.0);
    QPainterPath flap;
    flap.moveTo(body.topLeft());
    flap.lineTo(body.center().x(), body.top() + body.height() * 0.55);
    flap.lineTo(body.topRight());
    p.setBrush(Qt::NoBrush);
    p.drawPath(flap);
    // The recording travelling with it.
    p.setPen(QPen(QColor(0x2f, 0x7d, 0x32), size / 20.0, Qt::SolidLine, Qt::RoundCap));
    const qreal y = body.bottom() - body.height() * 0.2;
    for (int i = 0; i < 5; ++i) {
        const qreal x = body.left() + body.width() * (0.3 + 0.1 * i);
        const qreal h = body.height() * (i % 2 ? 0.22 : 0.12);
        p.drawLine(QPointF(x, y - h / 2), QPointF(x, y + h / 2));
    }
    return pixmap;
}

// The number a setting starts with, as the window has always read it
// ("1" and "1 " are 1, "ja" is 0).
int leadingNumber(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t[end] == QLatin1Char('-') || t[end] == QLatin1Char('+')))
        ++end;
    while (end < t.size() && t[end].isDigit())
        ++end;
    return t.left(end).toInt();
}

} // namespace

Form1::Form1(clsLaunchMail &owner, QWidget *parent) : QDialog(parent), m_owner(owner)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(MailTexts::Caption);
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Tahoma")});
    font.setStyleHint(QFont::SansSerif);
    setFont(font);

    m_image1 = new QLabel(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setPixmap(envelopePicture(48, devicePixelRatioF()));
    m_image1->setAlignment(Qt::AlignTop);

    auto *label2 = new QLabel(MailTexts::Question, this);
    label2->setObjectName(QStringLiteral("Label2"));
    QFont bold = font;
    bold.setBold(true);
    label2->setFont(bold);

    auto *frmMail = new QLabel(MailTexts::Explanation, this);
    frmMail->setObjectName(QStringLiteral("frmMail"));
    frmMail->setWordWrap(true);
    frmMail->setFrameShape(QFrame::StyledPanel);
    frmMail->setMargin(8);

    m_chkOutlook = new QCheckBox(MailTexts::UsesOutlook, this);
    m_chkOutlook->setObjectName(QStringLiteral("chkOutlook"));
    m_chkRemember = new QCheckBox(MailTexts::Remember, this);
    m_chkRemember->setObjectName(QStringLiteral("chkRemember"));

    m_cmdYes = new QPushButton(MailTexts::Yes, this);
    m_cmdYes->setObjectName(QStringLiteral("cmdYes"));
    m_cmdYes->setDefault(true);
    m_cmdNo = new QPushButton(MailTexts::No, this);
    m_cmdNo->setObjectName(QStringLiteral("cmdNo"));
    connect(m_cmdYes, &QPushButton::clicked, this, &Form1::cmdYes_Click);
    connect(m_cmdNo, &QPushButton::clicked, this, &Form1::cmdNo_Click);

    auto *text = new QVBoxLayout;
    text->addWidget(label2);
    text->addWidget(frmMail);
    text->addWidget(m_chkOutlook);
    text->addWidget(m_chkRemember);
    auto *top = new QHBoxLayout;
    top->addWidget(m_image1);
    top->addLayout(text, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdYes);
    buttons->addWidget(m_cmdNo);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    setFixedWidth(440);
}

bool Form1::Form_Load()
{
    MailSettings &settings = m_owner.settings();
    const QString launch = settings.read(MailTexts::LaunchMailProgram, QString());
    if (launch == QLatin1String("true")) {
        m_owner.OpenMailProgram();
        return false;
    }
    m_chkOutlook->setChecked(leadingNumber(settings.read(MailTexts::Outlook, QStringLiteral("0"))) != 0);
    if (launch != QLatin1String("false")) {
        // An empty picture rather than none: without one the desktop would
        // put the host program's icon there.
        QPixmap none(16, 16);
        none.fill(Qt::transparent);
        setWindowIcon(QIcon(none));
        m_iconRemoved = true;
    }
    return true;
}

void Form1::storeOutlook()
{
    m_owner.settings().write(MailTexts::Outlook,
                             m_chkOutlook->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void Form1::cmdYes_Click()
{
    if (m_chkRemember->isChecked())
        m_owner.settings().write(MailTexts::LaunchMailProgram, QStringLiteral("true"));
    storeOutlook();
    m_owner.OpenMailProgram();
    accept();
}

void Form1::cmdNo_Click()
{
    if (m_chkRemember->isChecked())
        m_owner.settings().write(MailTexts::LaunchMailProgram, QStringLiteral("false"));
    storeOutlook();
    reject();
}
