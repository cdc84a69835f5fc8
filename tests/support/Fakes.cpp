// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "Fakes.h"

#include "platform/Error.h"

namespace korvane::test {

namespace {
QString settingsKey(const QString& application, const QString& section, const QString& key)
{
    return application + u'\x1f' + section + u'\x1f' + key;
}
} // namespace

QString FakeSettingsStore::read(const QString& application, const QString& section, const QString& key) const
{
    ++reads;
    return m_values.value(settingsKey(application, section, key));
}

QString FakeSettingsStore::location(const QString& application, const QString& section, const QString& key) const
{
    return QStringLiteral("test settings ") + application + u'/' + section + u'/' + key;
}

void FakeSettingsStore::set(const QString& application, const QString& section, const QString& key,
                            const QString& value)
{
    m_values.insert(settingsKey(application, section, key), value);
}

void FakeSettingsStore::setInstallationFolder(const QString& folder)
{
    set(QStringLiteral("Korvane"), QStringLiteral("Options"), QStringLiteral("KorvaneStartupPath"), folder);
}

void FakeDialogs::messageBox(platform::MessageIcon icon, const QString& title, const QString& text)
{
    messages.push_back({icon, title, text});
    if (onMessage)
        onMessage(messages.back());
}

QString FakeDialogs::inputBox(const QString& prompt, const QString& title)
{
    prompts << prompt + u'|' + title;
    return answers.isEmpty() ? QString() : answers.takeFirst();
}

bool FakeDialogs::question(const QString& title, const QString& text, bool defaultYes)
{
    questions.push_back({title, text, defaultYes});
    if (questionAnswers.empty())
        return defaultYes;
    const bool answer = questionAnswers.front();
    questionAnswers.erase(questionAnswers.begin());
    return answer;
}

bool FakeProcesses::startDetached(const QString& commandLine, const QString& workingFolder,
                                  platform::WindowStyle style, QString* whyNot)
{
    started.push_back({commandLine, workingFolder, style});
    if (!startsFail)
        return true;
    if (whyNot)
        *whyNot = QStringLiteral("存取被拒");
    return false;
}

bool FakeProcesses::startSelfRemoval(const QString& folder, const QString& scriptName, const QString& target)
{
    selfRemovals.push_back({folder, scriptName, target});
    return true;
}

void FakeView::setMessgaeValue(const QString& p_value)
{
    message = p_value;
    messages << p_value;
    if (onMessage)
        onMessage();
}

void FakeView::setProgressBarValue(qint16 p_value)
{
    if (p_value < 0 || p_value > 100)
        throw platform::Error(QStringLiteral("無效的屬性值"), platform::Error::Kind::OutOfRange);
    progress.push_back(p_value);
}

} // namespace korvane::test
