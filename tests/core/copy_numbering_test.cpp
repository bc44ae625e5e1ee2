#include "copy_name.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// A target folder as a set of names, counting how often a name is looked up.
struct Folder {
    std::set<std::wstring> names;
    std::size_t lookups = 0;

    bool taken(const std::wstring& name)
    {
        ++lookups;
        return names.count(name) != 0;
    }

    // Picks the name for one more copy of `name`, and makes that copy.
    CopyNumbering::Choice copy(CopyNumbering& numbering, std::wstring_view name)
    {
        CopyNumbering::Choice choice = numbering.freeName(name, [this](const std::wstring& candidate) {
            return taken(candidate);
        });
        names.insert(choice.name);
        numbering.used(name, choice.number);
        return choice;
    }
};

} // namespace

TEST(CopyNumbering, EachCopyOfAnEqualNameLooksUpOneNameOnly)
{
    Folder folder;
    CopyNumbering numbering;
    for (std::uint64_t copy = 1; copy <= 3000; ++copy) {
        const CopyNumbering::Choice choice = folder.copy(numbering, L"index.html");
        ASSERT_EQ(choice.number, copy);
        ASSERT_EQ(choice.name, numberedCopyName(L"index.html", copy));
    }
    EXPECT_EQ(folder.lookups, 3000u);
}

TEST(CopyNumbering, TakenNumbersArePassedOverAndOnlyUsedOnesCount)
{
    Folder folder;
    folder.names = {L"a.txt", L"a (2).txt", L"a (4).txt"};
    for (std::uint64_t number = 1; number <= 20000; ++number) {
        folder.names.insert(numberedCopyName(L"IMG_0001.JPG", number));
    }
    CopyNumbering numbering;
    EXPECT_EQ(folder.copy(numbering, L"a.txt").name, L"a (3).txt");
    EXPECT_EQ(folder.copy(numbering, L"a.txt").name, L"a (5).txt");
    EXPECT_EQ(folder.copy(numbering, L"IMG_0001.JPG").name, L"IMG_0001 (20001).JPG");

    // A copy that was not made leaves its number to the next one.
    const auto isTaken = [&folder](const std::wstring& candidate) { return folder.taken(candidate); };
    EXPECT_EQ(numbering.freeName(L"b.txt", isTaken).name, L"b.txt");
    EXPECT_EQ(numbering.freeName(L"b.txt", isTaken).name, L"b.txt");
}
