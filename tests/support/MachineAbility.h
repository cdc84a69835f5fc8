// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>
#include <QtGlobal>
#include <gtest/gtest.h>

// For a test that needs what not every machine can do (mount a disk, make a file immutable):
// whyNot says why this one cannot, empty when it can. The test then skips, saying so, except in
// CI (CI set), whose machine must be able to: there it fails.
#define KORVANE_REQUIRE_ABILITY(what, whyNot)                                                                \
    do {                                                                                                     \
        if (const QString korvaneWhyNot = (whyNot); !korvaneWhyNot.isEmpty()) {                              \
            if (!qEnvironmentVariableIsEmpty("CI"))                                                          \
                FAIL() << (what) << " is needed in CI: " << korvaneWhyNot.toStdString();                     \
            GTEST_SKIP() << (what) << " cannot be had here: " << korvaneWhyNot.toStdString();                \
        }                                                                                                    \
    } while (false)
