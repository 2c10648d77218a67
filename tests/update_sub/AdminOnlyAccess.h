#pragma once
// What a folder's access list grants. Wine keeps no access lists: it makes
// one up from the folder's owner and mode bits, so there this tells a folder
// made admin-only (nobody but the owner and SYSTEM) from an ordinary one
// (everyone may read it), never that a user is really kept out.
#include <gtest/gtest.h>

#include <string>

// Success when the folder's list allows nobody but its owner, SYSTEM and
// the Administrators anything.
testing::AssertionResult GrantsOnlyOwnerSystemAndAdministrators(const std::wstring& folder);
