#include "category_table.h"
#include "recovery_engine.h"

#include <gtest/gtest.h>

#include <set>

TEST(FileCategory, EveryTableRowAnswersItsCategory)
{
    const RecoveryEngine engine;
    std::set<std::string> keys;
    for (const CategoryRow& row : engineCategoryRows()) {
        EXPECT_EQ(engine.getFileCategory(row.extension), row.category) << row.extension;
        keys.insert(row.extension);
    }
    EXPECT_EQ(keys.size(), 69u) << "keys must be unique";
}

TEST(FileCategory, LookupIsExactAndCaseSensitive)
{
    const RecoveryEngine engine;
    EXPECT_EQ(engine.getFileCategory(".jpg"), "image");
    EXPECT_EQ(engine.getFileCategory(".JPG"), "other");
    EXPECT_EQ(engine.getFileCategory("jpg"), "other");
    EXPECT_EQ(engine.getFileCategory(".jpg "), "other");
    EXPECT_EQ(engine.getFileCategory(""), "other");
    EXPECT_EQ(engine.getFileCategory("."), "other");
    EXPECT_EQ(engine.getFileCategory(".tar.gz"), "other");
}

TEST(FileCategory, ExtensionsKnownOnlyToTheDetectorAreOther)
{
    const RecoveryEngine engine;
    for (const char* extension : {".heic", ".exe", ".iso", ".mht", ".dat", ".\xE7\x85\xA7"}) {
        EXPECT_EQ(engine.getFileCategory(extension), "other") << extension;
    }
}
