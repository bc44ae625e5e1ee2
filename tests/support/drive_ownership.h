#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

// A test touches a drive letter only once it has proven the letter is its own mapping, so that on
// a machine whose letters are real drives it fails before it touches anything.
//
// scripts/wine-run maps the drives QUORVANE_DRIVES names and gives the run a fresh random token in
// QUORVANE_DRIVE_TOKEN, which it also writes into a marker file: "<folder>/.quorvane-drive" in the
// folder behind a drive such as "y:", "<image>.quorvane-drive" beside the image behind a raw volume
// such as "x::". A folder drive is proven when its marker, read through the letter, holds the
// token. A raw volume is proven when the marker beside its image holds the token and the token,
// then written into the image, reads back through \\.\X:; the image and every marker read are
// removed afterwards, so that a test finds its volumes as the set-up left them.
//
// The proof is made once per process and drive name. Call it first thing in a fixture's SetUp or a
// test, before anything reaches the drive:
//     ASSERT_TRUE(ownDrive(L"y:"));
::testing::AssertionResult ownDrive(std::wstring_view name);

// Whether a path lies on a drive letter this process has proven its own with ownDrive.
bool isOnOwnDrive(std::wstring_view path);
