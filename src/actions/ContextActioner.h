// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "ActionerMembers.h"
#include "IAction.h"
#include "clsContext.h"

#include <memory>

namespace korvane {

// An actioner that works on the database connection of a context handed to it.
class ContextActioner : public IAction, public ActionerMembers
{
public:
    // Public, as other code may read, assign or clear it directly.
    std::shared_ptr<clsContext> ivContext;

    void setContext(const std::shared_ptr<clsContext>& p_context) { ivContext = p_context; }
    QVariant getMessageString(qint16 index) const { return renderSteps(index); }

protected:
    explicit ContextActioner(const StepList& steps) : ActionerMembers(steps) {}

    // The context's connection; throws when no context was set.
    std::shared_ptr<platform::Connection> getContextConnection() const;
    void writeUpdateKey();
};

} // namespace korvane
