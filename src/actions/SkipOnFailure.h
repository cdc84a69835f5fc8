// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

namespace korvane {

// Runs a step that must not stop the steps after it: whatever it throws is dropped.
template <typename Step> void skipOnFailure(Step&& step)
{
    try {
        step();
    } catch (...) {
    }
}

} // namespace korvane
