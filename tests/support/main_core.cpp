// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "platform/QtTranslation.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The tests see Qt's texts as the programs show them.
    korvane::platform::loadQtTranslation();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
