#pragma once
// Base of the tests of the logging file functions: the log on, in a folder
// apart from the files that the test works on.
#include <gtest/gtest.h>

#include "support/log_seam.h"
#include "support/temp_folder.h"

class LoggedFileTest : public testing::Test {
protected:
    testing_support::TempFolder log_folder;
    qen_lib::log::testing::LogSwitchedOn log{log_folder / L"log.txt"};
    testing_support::TempFolder folder;
};
