#include "frmAbout.h"

#include "Paths.h"
#include "WindowTexts.h"

#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QVBoxLayout>

namespace {
constexpr int Width = 480;
constexpr int Height = 320;
} // namespace

frmAbout::frmAbout(const QString &majorMinor, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(WindowTexts::AboutCaption);
    // A card on the screen rather than a window: its own frame is Shape1.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    setFocusPolicy(Qt::StrongFocus);

    m_image1 = new QLabel(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setScaledContents(true);
    const QPixmap picture(QDir(Paths::dataDir()).filePath(QStringLiteral("hypertext/farbverlauf.jpg")));
    if (picture.isNull()) {
        // Without the picture the dialog keeps its colours and stays readable.
        m_image1->setAutoFillBackground(true);
        QPalette p = m_image1->palette();
        p.setColor(QPalette::Window, QColor(0x1d, 0x3d, 0x6e));
        m_image1->setPalette(p);
    } else {
        m_image1->setPixmap(picture);
    }
    m_image1->installEventFilter(this);

    // The lines from top to bottom with the gaps of the design; larger type
    // makes them taller and the card larger, never overlapping.
    auto *lines = new QVBoxLayout(this);
    lines->setContentsMargins(30, 22, 28, 10);
    lines->setSpacing(0);
    lines->addWidget(label("lblTitle", WindowTexts::Caption, 26, true));
    lines->addWidget(label("lblSubtitle", WindowTexts::AboutSubtitle, 11));
    lines->addSpacing(12);
    lines->addWidget(label("lblVersion", versionText(majorMinor), 10, true));
    lines->addWidget(label("Label4", WindowTexts::AboutReleaseDate, 10));
    lines->addSpacing(16);
    m_label3 = label("Label3", WindowTexts::AboutMaker, 10);
    m_label3->installEventFilter(this);
    lines->addWidget(m_label3);
    lines->addWidget(label("Label5", WindowTexts::AboutAuthor, 10));
    lines->addSpacing(10);
    lines->addWidget(label("Label2", WindowTexts::AboutLegal, 9));
    lines->addSpacing(12);
    m_label1 = label("Label1", WindowTexts::AboutClickHint, 9, true);
    m_label1->installEventFilter(this);
    lines->addWidget(m_label1);
    lines->addStretch(1);

    // The design's card at the usual type; wider with larger type, and as
    // tall as its lines need at that width.
    QFont body = font();
    body.setPointSize(10);
    const int width = qMax(Width, 48 * QFontMetrics(body).averageCharWidth());
    setFixedSize(width, qMax(Height, lines->totalHeightForWidth(width)));

    m_shape1 = new QFrame(this);
    m_shape1->setObjectName(QStringLiteral("Shape1"));
    m_shape1->setFrameShape(QFrame::Box);
    m_shape1->setLineWidth(1);
    m_shape1->setStyleSheet(QStringLiteral("QFrame#Shape1 { border: 2px solid #9cc3ea; background: transparent; }"));
    // Only a frame: clicks fall through to what lies beneath it.
    m_shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_shape1->raise();
    resizeEvent(nullptr);
}

QString frmAbout::versionText(const QString &majorMinor)
{
    const QStringList parts = majorMinor.split(QLatin1Char('.'));
    const QString major = parts.value(0, QStringLiteral("0"));
    const QString minor = parts.value(1, QStringLiteral("0"));
    return QStringLiteral("Version ") + major + QLatin1Char('.') + minor + QStringLiteral(".1");
}

QLabel *frmAbout::label(const char *name, const QString &text, int pointSize, bool bold)
{
    auto *l = new QLabel(text, this);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont f = l->font();
    if (pointSize > 0)
        f.setPointSize(pointSize);
    f.setBold(bold);
    l->setFont(f);
    l->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    return l;
}

void frmAbout::resizeEvent(QResizeEvent *event)
{
    m_image1->setGeometry(rect());
    m_shape1->setGeometry(rect());
    if (event)
        QDialog::resizeEvent(event);
}

void frmAbout::keyPressEvent(QKeyEvent *event)
{
    // The Print key is for taking a picture of the dialog, so it stays.
    if (event->key() == Qt::Key_Print) {
        event->accept();
        return;
    }
    event->accept();
    accept();
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && (watched == m_image1 || watched == m_label1 || watched == m_label3)) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (static_cast<QWidget *>(watched)->rect().contains(mouse->position().toPoint())) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
