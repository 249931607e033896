#pragma once

// A small job tree of planned actions for the review's tests: two projects, actions in both
// directions, names with and without extension, folders that begin alike.

#include <memory>
#include <vector>

#include <wx/string.h>

#include "engine/sync_types.h"
#include "run/review_items.h"

namespace review_test {

inline constexpr const char* kStation = "/st/docs";
inline constexpr const char* kMedium = "/me/P/docs";

struct PlannedRow {
    const char* project;
    int action;
    bool toMedium;
    const char* relative;  // below the target side's folder
};

// Doc/ and Documents/ begin alike; "readme" has no extension.
inline const PlannedRow kPlanned[] = {
    {"Work", FP_MKDIR, true, "Doc"},
    {"Work", FP_COPY, true, "Doc/report.TXT"},
    {"Work", FP_COPY, false, "Documents/plan.txt"},
    {"Work", FP_DELETE, true, "Documents/old.doc"},
    {"Home", FP_MOVE, false, "readme"},
};

inline JobTree MakeTree()
{
    JobTree jobs;
    for (const PlannedRow& row : kPlanned) {
        if (jobs.empty() || jobs.back()->caption != row.project) {
            auto project = std::make_unique<ProjectJob>();
            project->caption = row.project;
            auto folder = std::make_unique<FolderJob>();
            folder->stationPath = kStation;
            folder->mediumPath = kMedium;
            project->folders.push_back(std::move(folder));
            jobs.push_back(std::move(project));
        }
        auto item = std::make_unique<SyncItem>();
        const wxString source = wxString(row.toMedium ? kStation : kMedium) + "/" + row.relative;
        item->target = wxString(row.toMedium ? kMedium : kStation) + "/" + row.relative;
        if (row.action == FP_COPY || row.action == FP_MOVE) {
            item->source = source;
            item->sourceTime = 133000000000000000ULL;  // 2022-06-18 UTC
        }
        item->action = row.action;
        item->targetOnMedium = row.toMedium;
        item->selected = false;  // the review selects every item again
        jobs.back()->folders.back()->items.push_back(std::move(item));
    }
    return jobs;
}

inline std::vector<wxString> Relatives(const std::vector<ReviewItem>& records,
                                       const std::vector<std::size_t>& rows)
{
    std::vector<wxString> texts;
    for (const std::size_t row : rows)
        texts.push_back(records[row].relativeTarget);
    return texts;
}

inline std::vector<bool> Selection(const std::vector<ReviewItem>& records)
{
    std::vector<bool> flags;
    for (const ReviewItem& record : records)
        flags.push_back(record.item->selected);
    return flags;
}

} // namespace review_test
