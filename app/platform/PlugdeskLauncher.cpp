#include "PlugdeskLauncher.h"

#include <QDir>
#include <QFileInfo>

PlugdeskLauncher::PlugdeskLauncher(Shell &shell, QString programFolder)
    : m_shell(shell)
    , m_programFolder(std::move(programFolder))
{
}

QString PlugdeskLauncher::findProgram() const
{
    if (m_programFolder.isEmpty())
        return {};
    const QDir folder(m_programFolder);
    const QString candidates[] = {
        folder.filePath(QStringLiteral("plugdesk")),             // installed bin/, or one output folder
        folder.filePath(QStringLiteral("../plugdesk/plugdesk")), // build tree: app/quenora, plugdesk/plugdesk
    };
    for (const QString &candidate : candidates) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable())
            return QDir::cleanPath(info.absoluteFilePath());
    }
    return {};
}

PlugdeskLauncher::Result PlugdeskLauncher::launch()
{
    const QString program = findProgram();
    if (program.isEmpty())
        return Result::Missing;
    return m_shell.startProgram(program, {}, m_programFolder) ? Result::Started : Result::Failed;
}

QString PlugdeskLauncher::message(Result result) const
{
    switch (result) {
    case Result::Started:
        return {};
    case Result::Missing:
        return PlatformTexts::plugdeskMissing(QDir::toNativeSeparators(m_programFolder));
    case Result::Failed:
        return PlatformTexts::plugdeskFailed();
    }
    return {};
}
