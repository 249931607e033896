#pragma once

// A small job tree of planned actions for the review's tests: two projects, actions in both
// directions, a name without extension, and Doc/ and Documents/, which begin alike.

#include <gtest/gtest.h>

#include "engine/sync_types.h"
#include "run/review_items.h"

inline JobTree MakeTree()
{
    const struct {
        const char* project;
        int action;
        bool toMedium;
        const char* relative;  // below the target side's folder
    } planned[] = {
        {"Work", FP_MKDIR, true, "Doc"},
        {"Work", FP_COPY, true, "Doc/report.TXT"},
        {"Work", FP_COPY, false, "Documents/plan.txt"},
        {"Work", FP_DELETE, true, "Documents/old.doc"},
        {"Home", FP_MOVE, false, "readme"},
    };
    JobTree jobs;
    for (const auto& row : planned) {
        if (jobs.empty() || jobs.back()->caption != row.project) {
            jobs.push_back(std::make_unique<ProjectJob>());
            jobs.back()->caption = row.project;
            jobs.back()->folders.push_back(std::make_unique<FolderJob>());
            jobs.back()->folders.back()->stationPath = "/st/docs";
            jobs.back()->folders.back()->mediumPath = "/me/P/docs";
        }
        auto item = std::make_unique<SyncItem>();
        const bool copies = row.action == FP_COPY || row.action == FP_MOVE;
        item->source = copies ? wxString(row.toMedium ? "/st/docs/" : "/me/P/docs/") + row.relative : "";
        item->sourceTime = copies ? 133000000000000000ULL : 0;  // 2022-06-18 UTC
        item->target = wxString(row.toMedium ? "/me/P/docs/" : "/st/docs/") + row.relative;
        item->action = row.action;
        item->targetOnMedium = row.toMedium;
        item->selected = false;  // the review selects every item again
        jobs.back()->folders.back()->items.push_back(std::move(item));
    }
    return jobs;
}

// The relative targets of the given rows, each followed by a blank.
inline wxString Relatives(const std::vector<ReviewItem>& records, const std::vector<std::size_t>& rows)
{
    wxString texts;
    for (const std::size_t row : rows)
        texts << records[row].relativeTarget << " ";
    return texts;
}

// The tree's records, as the review gets them.
class ReviewTest : public ::testing::Test {
protected:
    JobTree jobs = MakeTree();
    std::vector<ReviewItem> records = MakeReviewItems(jobs);
};

