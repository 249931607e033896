#pragma once

#include <memory>
#include <vector>

#include <wx/string.h>

#include "engine/sync_types.h"

// How a virtual folder's rules decide what a walk takes. A mask ending with "\" is a directory
// rule naming one directory ("\docs\old\"); every other mask is a file pattern. The first rule
// of the right kind that matches decides. Masks must already be normalised (NormaliseMask).
// Pure functions: any thread.

using FolderRules = std::vector<std::unique_ptr<FolderRule>>;

// Whether a directory is taken. key = "\" + its lower-cased "\"-relative path + "\". A directory
// no rule names is taken. rules may be null (no rules).
bool DirRuleAllows(const FolderRules* rules, const wxString& key);

// The first file rule matching the lower-cased "\"-relative path (MatchWildcard, case-sensitive,
// hidden-dot off), or null when none does: then the file is not taken. rules may be null.
const FolderRule* DecidingFileRule(const FolderRules* rules, const wxString& lowerRel);
