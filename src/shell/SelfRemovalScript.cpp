// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "SelfRemovalScript.h"

#include "platform/AnsiText.h"

namespace korvane {

SelfRemovalScript::SelfRemovalScript(QString packFolder, QChar separator)
    : ivPackFolder(std::move(packFolder)), ivSeparator(separator)
{
}

QString SelfRemovalScript::getFullPath(const QString& p_strName) const
{
    const QString joined = ivPackFolder + ivSeparator + p_strName;
    QString result;
    result.reserve(joined.size());
    for (qsizetype i = 0; i < joined.size(); ++i) {
        result += joined.at(i);
        // Pairs do not overlap: three in a row become two.
        if (joined.at(i) == ivSeparator && i + 1 < joined.size() && joined.at(i + 1) == ivSeparator)
            ++i;
    }
    return result;
}

bool SelfRemovalScript::isSupportedFolder() const
{
    return !(ivPackFolder.size() >= 2 && ivPackFolder.at(0) == ivSeparator &&
             ivPackFolder.at(1) == ivSeparator);
}

QStringList SelfRemovalScript::lines(const QString& p_strAppName) const
{
    const QString quotedApp = u'"' + getFullPath(p_strAppName) + u'"';
    const QString quotedScript = u'"' + getFullPath(ScriptName) + u'"';
    const QString indent = QStringLiteral("     ");
    return {
        QStringLiteral("@echo off"),
        QStringLiteral(":aa"),
        indent + QStringLiteral("if exist ") + quotedApp + QStringLiteral(" goto bb"),
        indent + QStringLiteral("goto cc"),
        QStringLiteral(":bb"),
        indent + QStringLiteral("del ") + quotedApp,
        indent + QStringLiteral("cls"),
        indent + QStringLiteral("if exist ") + quotedApp + QStringLiteral(" goto aa"),
        indent + QStringLiteral("cls"),
        QStringLiteral(":cc"),
        indent + QStringLiteral("del ") + quotedApp,
        indent + QStringLiteral("del ") + quotedScript,
        indent + QStringLiteral("cls"),
        indent + QStringLiteral("exit"),
    };
}

QByteArray SelfRemovalScript::bytes(const QString& p_strAppName) const
{
    return platform::ansiTextWithCrLf(lines(p_strAppName));
}

} // namespace korvane
