#include "DesktopReaders.h"

#include "ClipboardReader.h"
#include "SettingsStore.h"
#include "WindowTitleReader.h"

#include <QTimer>

DesktopReaders::DesktopReaders(Speaker &speaker, Clipboard &clipboard, ForegroundWindow &foreground,
                               SettingsStore &settings, QObject *parent)
    : QObject(parent),
      m_settings(settings),
      m_clipboardReader(std::make_unique<ClipboardReader>(clipboard, speaker)),
      m_titleReader(std::make_unique<WindowTitleReader>(foreground, speaker, settings))
{
    m_tmrClipboard = new QTimer(this);
    m_tmrClipboard->setObjectName(QStringLiteral("tmrClipboard"));
    m_tmrClipboard->setInterval(1500);
    m_tmrWinTasks = new QTimer(this);
    m_tmrWinTasks->setObjectName(QStringLiteral("tmrWinTasks"));
    m_tmrWinTasks->setInterval(500);
    connect(m_tmrClipboard, &QTimer::timeout, this, [this] { m_clipboardReader->tick(); });
    connect(m_tmrWinTasks, &QTimer::timeout, this, [this] { m_titleReader->ReadForegroundTitle(); });
}

DesktopReaders::~DesktopReaders() = default;

void DesktopReaders::startFromSettings()
{
    if (m_settings.flag(SettingKeys::ReadTitleOnAppChange))
        m_tmrWinTasks->start();
    if (m_settings.flag(SettingKeys::ReadClipboardOnChange))
        m_tmrClipboard->start();
}
