#include "engine/folder_rules.h"

#include "store/wildcard.h"

namespace {

bool IsDirRule(const FolderRule& rule)
{
    return !rule.mask.empty() && rule.mask.Last() == '\\';
}

} // namespace

bool DirRuleAllows(const FolderRules* rules, const wxString& key)
{
    if (!rules)
        return true;
    for (const auto& rule : *rules)
        if (rule && IsDirRule(*rule) && rule->mask == key)
            return rule->allow;
    return true;
}

const FolderRule* DecidingFileRule(const FolderRules* rules, const wxString& lowerRel)
{
    if (!rules)
        return nullptr;
    for (const auto& rule : *rules)
        if (rule && !IsDirRule(*rule) && MatchWildcard(rule->mask, lowerRel, false))
            return rule.get();
    return nullptr;
}
