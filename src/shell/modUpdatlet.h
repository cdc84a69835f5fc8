// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "ViewRegistry.h"
#include "actions/IAction.h"
#include "platform/Services.h"

#include <functional>
#include <memory>

namespace korvane {

class frmOptionPanel;
class RunRecorder;

// Start-up: builds the wizard around the action that the pack runs, shows it and returns.
// From then on the user's clicks drive everything.
class modUpdatlet
{
public:
    // The views a host form can create, each built with these services.
    static ViewRegistry viewRegistry(const platform::Services& services);

    // Builds the host form and its view, hands the view p_action and shows the form, not
    // modal. The form deletes itself when it is closed, and the application's event loop ends
    // with it, hidden or not. onEnded hears how the wizard ended (the run's outcome, or cancelled).
    // With a recorder, the run is recorded (services and p_action must come from it).
    // Throws platform::Error (nothing is shown then) if the view could not be created.
    static frmOptionPanel* Main(const platform::Services& services, std::shared_ptr<IAction> p_action,
                                std::function<void(Outcome)> onEnded = {},
                                std::shared_ptr<RunRecorder> recorder = {});
};

} // namespace korvane
