// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "NativeSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QStringView>

namespace korvane::platform {

namespace {

QString configFolder()
{
    // Only an absolute XDG_CONFIG_HOME counts; anything else means the default.
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return configured;
    return QDir::homePath() + QStringLiteral("/.config");
}

QString settingsFile(const QString& application)
{
    return configFolder() + u'/' + application + u'/' + application + QStringLiteral(".ini");
}

} // namespace

QString NativeSettingsStore::location(const QString& application, const QString& section, const QString& key) const
{
    return QStringLiteral("設定檔 ") + settingsFile(application) + QStringLiteral(" 的 [") + section +
           QStringLiteral("] 區段中的 ") + key;
}

// The file is read by hand rather than through QSettings, whose INI format would turn commas
// into lists and backslashes into escapes: a value reads back exactly as it stands after '='.
// Group and key names are matched without regard to case, as the registry does.
QString NativeSettingsStore::read(const QString& application, const QString& section,
                                  const QString& key) const
{
    QFile file(settingsFile(application));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);

    bool inSection = false;
    QString value;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'#'))
            continue;
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            inSection =
                trimmed.sliced(1, trimmed.size() - 2).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inSection || equals < 0)
            continue;
        // A later line for the same key wins, as when the key was written twice.
        if (line.first(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            value = line.sliced(equals + 1).toString();
    }
    return value;
}

} // namespace korvane::platform
