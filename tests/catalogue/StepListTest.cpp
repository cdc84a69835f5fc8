// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "QtPrinters.h"
#include "actions/StepList.h"
#include "deploy/CExeUpdateActioner.h"
#include "deploy/PayloadInstaller.h"
#include "drugbag/DrugBagActioner.h"
#include "pricing/C52407301.h"

#include <gtest/gtest.h>
#include <string_view>

using korvane::StepList;

namespace {

// Each action owns its list; the two deployment and the two drug-bag actions share theirs.
const StepList& stepsOf(std::string_view actioner)
{
    if (actioner == "C52407301")
        return korvane::C52407301::steps();
    if (actioner == "CKorvaneUpdateActioner" || actioner == "CDrugDeployActioner")
        return korvane::deploymentSteps();
    if (actioner == "C524011003" || actioner == "C524011002")
        return korvane::DrugBagActioner::steps();
    return korvane::CExeUpdateActioner::steps();
}

struct StepCase
{
    const char* actioner;
    qint16 index;
    QByteArray expected; // UTF-8 of the whole rendered list
};

void PrintTo(const StepCase& c, std::ostream* os)
{
    *os << c.actioner << " index " << c.index;
}

class StepLists : public ::testing::TestWithParam<StepCase>
{
};

TEST_P(StepLists, RenderByteForByte)
{
    const StepCase& c = GetParam();
    const QString rendered = stepsOf(c.actioner).render(c.index);
    EXPECT_EQ(rendered.toUtf8(), c.expected);
}

// The texts are spelled out as bytes so that a changed character in the source cannot hide.
#define STEP_DELETE "\xe5\x88\xaa\xe9\x99\xa4\xe7\x8f\xbe\xe6\x9c\x89\xe8\xb3\x87\xe6\x96\x99\xe5\xba\xab\xe4\xb8\xad" \
                    "\xe7\x9a\x84\xe8\x97\xa5\xe5\x93\x81\xe8\xb3\x87\xe6\x96\x99"
#define STEP_READ "\xe8\xae\x80\xe5\x8f\x96\xe6\x9c\xac\xe6\xac\xa1\xe6\x9b\xb4\xe6\x96\xb0\xe8\xb3\x87\xe6\x96\x99\xe6\xaa\x94"
#define STEP_ADD "\xe6\x96\xb0\xe5\xa2\x9e\xe8\x97\xa5\xe5\x93\x81\xe8\xb3\x87\xe6\x96\x99\xe5\x88\xb0\xe8\xb3\x87\xe6\x96\x99" \
                 "\xe5\xba\xab\xe4\xb8\xad"
#define STEP_UNPAID "\xe5\x88\xaa\xe9\x99\xa4\xe4\xb8\x8d\xe7\xb5\xa6\xe4\xbb\x98\xe7\x9a\x84\xe8\x97\xa5\xe5\x93\x81\xe8\xb3" \
                    "\x87\xe6\x96\x99"
#define STEP_SYNC "\xe5\x90\x8c\xe6\xad\xa5\xe8\x97\xa5\xe8\xa2\x8b\xe8\xb3\x87\xe8\xa8\x8a"
#define STEP_PREPARE "\xe6\x9b\xb4\xe6\x96\xb0\xe5\x89\x8d\xe7\xbd\xae\xe4\xbd\x9c\xe6\xa5\xad"
#define STEP_COPY "\xe8\xa4\x87\xe8\xa3\xbd\xe6\x9b\xb4\xe6\x96\xb0\xe6\xaa\x94\xe6\xa1\x88\xe5\x88\xb0\xe9\x9b\xbb\xe8\x85\xa6" \
                  "\xe4\xb8\xad"
#define STEP_CLEAN "\xe5\x88\xaa\xe9\x99\xa4\xe6\x9c\xac\xe6\xac\xa1\xe6\x9b\xb4\xe6\x96\xb0\xe6\x9a\xab\xe5\xad\x98\xe6\xaa\x94"
#define STEP_BAG "\xe6\x9b\xb4\xe6\x96\xb0\xe8\x97\xa5\xe8\xa2\x8b\xe8\xb3\x87\xe8\xa8\x8a\xe5\x88\xb0Korvane\xe4\xb8\xad"

INSTANTIATE_TEST_SUITE_P(
    AllActioners, StepLists,
    ::testing::Values(
        StepCase{"C52407301", 2,
                 "\t" STEP_DELETE "\r\nV\t" STEP_READ "\r\n\t" STEP_ADD "\r\n\t" STEP_UNPAID "\r\n\t" STEP_SYNC "\r\n"},
        StepCase{"C52407301", 1,
                 "V\t" STEP_DELETE "\r\n\t" STEP_READ "\r\n\t" STEP_ADD "\r\n\t" STEP_UNPAID "\r\n\t" STEP_SYNC "\r\n"},
        StepCase{"C52407301", 5,
                 "\t" STEP_DELETE "\r\n\t" STEP_READ "\r\n\t" STEP_ADD "\r\n\t" STEP_UNPAID "\r\nV\t" STEP_SYNC "\r\n"},
        StepCase{"C52407301", 0,
                 "\t" STEP_DELETE "\r\n\t" STEP_READ "\r\n\t" STEP_ADD "\r\n\t" STEP_UNPAID "\r\n\t" STEP_SYNC "\r\n"},
        StepCase{"C52407301", 6,
                 "\t" STEP_DELETE "\r\n\t" STEP_READ "\r\n\t" STEP_ADD "\r\n\t" STEP_UNPAID "\r\n\t" STEP_SYNC "\r\n"},
        StepCase{"CKorvaneUpdateActioner", 0, "V\t" STEP_PREPARE "\r\n\t" STEP_COPY "\r\n\t" STEP_CLEAN "\r\n"},
        StepCase{"CKorvaneUpdateActioner", 3, "\t" STEP_PREPARE "\r\n\t" STEP_COPY "\r\n\t" STEP_CLEAN "\r\n"},
        StepCase{"CDrugDeployActioner", 2, "\t" STEP_PREPARE "\r\n\t" STEP_COPY "\r\nV\t" STEP_CLEAN "\r\n"},
        StepCase{"CDrugDeployActioner", -1, "\t" STEP_PREPARE "\r\n\t" STEP_COPY "\r\n\t" STEP_CLEAN "\r\n"},
        StepCase{"C524011003", 1, "\t" STEP_PREPARE "\r\nV\t" STEP_BAG "\r\n\t" STEP_CLEAN "\r\n"},
        StepCase{"C524011003", 3, "\t" STEP_PREPARE "\r\n\t" STEP_BAG "\r\n\t" STEP_CLEAN "\r\n"},
        StepCase{"C524011002", 0, "V\t" STEP_PREPARE "\r\n\t" STEP_BAG "\r\n\t" STEP_CLEAN "\r\n"},
        StepCase{"C524011002", 32767, "\t" STEP_PREPARE "\r\n\t" STEP_BAG "\r\n\t" STEP_CLEAN "\r\n"},
        StepCase{"CExeUpdateActioner", 0, "\t" STEP_COPY "\r\n\t" STEP_CLEAN "\r\n"},
        StepCase{"CExeUpdateActioner", 1, "V\t" STEP_COPY "\r\n\t" STEP_CLEAN "\r\n"},
        StepCase{"CExeUpdateActioner", 2, "\t" STEP_COPY "\r\nV\t" STEP_CLEAN "\r\n"}));

} // namespace
