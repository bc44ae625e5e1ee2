#include "drive_ownership.h"
#include "made_files.h"
#include "mapped_drive.h"
#include "scoped_settings.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>

// The CTest set-up maps folder drives V: and W: and raw volumes P: and Q: (no image behind either),
// and puts keep.txt into each folder: a file the tests did not make and must leave where it is.

namespace {

bool exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string messageOf(const ::testing::AssertionResult& result)
{
    return result.message();
}

} // namespace

TEST(DriveOwnership, WithoutTheRunsTokenNoDriveIsProvenAndNothingCanBeMadeOnIt)
{
    {
        ScopedVariable unset("QUORVANE_DRIVE_TOKEN", nullptr);
        const auto proof = ownDrive(L"w:");
        EXPECT_FALSE(proof);
        EXPECT_NE(messageOf(proof).find("QUORVANE_DRIVE_TOKEN is not set"), std::string::npos) << proof.message();
    }
    EXPECT_FALSE(isOnOwnDrive(L"W:\\keep.txt"));
    {
        MadeFiles made;
        EXPECT_THROW(made.writeFile(L"W:\\made.txt", "x"), std::logic_error);
        EXPECT_THROW(made.makeFolder(L"W:\\Users"), std::logic_error);
    }
    EXPECT_FALSE(exists(L"W:\\made.txt"));
    EXPECT_FALSE(exists(L"W:\\Users"));
    EXPECT_TRUE(exists(L"W:\\keep.txt"));
}

TEST(DriveOwnership, AMarkerHoldingAnotherTokenIsRefusedAndLeftAlone)
{
    ScopedVariable otherRun("QUORVANE_DRIVE_TOKEN", "0123456789abcdef0123456789abcdef");
    const auto folder = ownDrive(L"w:");
    EXPECT_FALSE(folder);
    EXPECT_NE(messageOf(folder).find("does not hold this run's token"), std::string::npos) << folder.message();
    EXPECT_TRUE(exists(L"W:\\.quorvane-drive"));
    EXPECT_TRUE(exists(L"W:\\keep.txt"));

    const std::wstring image = mappedDriveTarget(L"p::");
    ASSERT_FALSE(image.empty());
    const auto raw = ownDrive(L"p::");
    EXPECT_FALSE(raw);
    EXPECT_NE(messageOf(raw).find("does not hold this run's token"), std::string::npos) << raw.message();
    EXPECT_TRUE(exists(image + L".quorvane-drive"));
    EXPECT_FALSE(exists(image));   // no probe image was written
}

TEST(DriveOwnership, ADriveWithoutItsMarkerIsRefused)
{
    // A letter this run never mapped, whatever it is on this machine.
    const auto proof = ownDrive(L"k:");
    EXPECT_FALSE(proof);
    EXPECT_NE(messageOf(proof).find("K:\\.quorvane-drive cannot be read"), std::string::npos) << proof.message();
    EXPECT_FALSE(ownDrive(L"k::"));   // QUORVANE_DRIVES maps no k::
    EXPECT_FALSE(ownDrive(L"nonsense"));
}

TEST(DriveOwnership, AProvenFolderDriveLosesItsMarkerAndTakesMadeFiles)
{
    ASSERT_TRUE(ownDrive(L"v:"));
    EXPECT_TRUE(ownDrive(L"V:"));   // proven once per process, in any letter case
    EXPECT_FALSE(exists(L"V:\\.quorvane-drive"));   // a scan of the drive's root sees only the test's files
    EXPECT_TRUE(isOnOwnDrive(L"v:\\anything"));
    EXPECT_FALSE(isOnOwnDrive(L"V:"));
    {
        MadeFiles made;
        made.writeFile(L"V:\\Users\\a\\b.txt", "b");
        EXPECT_TRUE(exists(L"V:\\Users\\a\\b.txt"));
    }
    EXPECT_FALSE(exists(L"V:\\Users"));
    EXPECT_TRUE(exists(L"V:\\keep.txt"));
}

TEST(DriveOwnership, AProvenRawVolumeShowsItsImageAndIsLeftWithoutOne)
{
    const std::wstring image = mappedDriveTarget(L"q::");
    ASSERT_FALSE(image.empty());
    ASSERT_TRUE(ownDrive(L"q::"));
    EXPECT_FALSE(exists(image));   // the probe image is gone again, as the set-up left the volume
    EXPECT_FALSE(exists(image + L".quorvane-drive"));
    EXPECT_FALSE(isOnOwnDrive(L"Q:\\file"));   // the raw volume, not a drive Q:
}

TEST(MadeFiles, RemovesWhatItMadeNewestFirstAndKeepsWhatItDidNot)
{
    TempFolder folder;
    const std::wstring kept = folder.makeFolder(L"kept");
    {
        MadeFiles made;
        made.writeFile(folder.pathOf(L"kept\\a\\b\\one.txt"), "1");
        made.writeFile(folder.pathOf(L"kept\\a\\two.txt"), "2");
        made.makeFolder(folder.pathOf(L"kept\\empty"));
        made.makeFolder(kept);   // there already: not the test's to remove
        folder.writeFile(L"kept\\a\\b\\foreign.txt", "not made by the owner");
    }
    EXPECT_TRUE(exists(kept));
    EXPECT_TRUE(exists(folder.pathOf(L"kept\\a\\b\\foreign.txt")));
    EXPECT_FALSE(exists(folder.pathOf(L"kept\\a\\b\\one.txt")));
    EXPECT_FALSE(exists(folder.pathOf(L"kept\\a\\two.txt")));
    EXPECT_FALSE(exists(folder.pathOf(L"kept\\empty")));
}

TEST(MadeFiles, RemovesEvenWhenTheTestEndsEarly)
{
    TempFolder folder;
    const std::wstring file = folder.pathOf(L"early\\file.txt");
    try {
        MadeFiles made;
        made.writeFile(file, "x");
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
        throw std::runtime_error("a failed step");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(exists(file));
    EXPECT_FALSE(exists(folder.pathOf(L"early")));
}

TEST(MadeFiles, RefusesPlacesNotProvenAndClaimsOnlyWhatIsNotThere)
{
    TempFolder folder;
    const std::wstring outside = L"C:\\quorvane-refused-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    const std::wstring existing = folder.writeFile(L"there.txt", "kept");
    const std::wstring later = folder.pathOf(L"made-by-the-code-under-test.txt");
    {
        MadeFiles made;
        EXPECT_THROW(made.writeFile(outside), std::logic_error);
        EXPECT_THROW(made.claim(existing), std::logic_error);
        made.claim(later);
        folder.writeFile(L"made-by-the-code-under-test.txt", "x");
    }
    EXPECT_FALSE(exists(outside));
    EXPECT_TRUE(exists(existing));
    EXPECT_FALSE(exists(later));
}
