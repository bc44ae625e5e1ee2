#include "category_table.h"
#include "recovery_engine.h"

#include <map>

std::string RecoveryEngine::getFileCategory(const std::string& extension) const
{
    static const std::map<std::string, std::string> categories = [] {
        std::map<std::string, std::string> table;
        for (const CategoryRow& row : engineCategoryRows()) {
            table.emplace(row.extension, row.category);
        }
        return table;
    }();

    const auto found = categories.find(extension);
    return found != categories.end() ? found->second : "other";
}
