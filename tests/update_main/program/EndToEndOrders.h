#pragma once
// The orders that an update check of an end-to-end scenario writes into the
// exchange file, as the scenario's rule database decides them.
#include <string>

#include "EndToEndState.h"
#include "support/StateFixtures.h"

// What one update check writes.
struct Orders {
    const wchar_t* version;  // [Velmo] ver; its numbers follow from it
    const wchar_t* uninstall;
    std::wstring dUrlLine;  // the [Command] dURL line as it stands in the file
    const wchar_t* rootOrder;  // [Command] cacerts
    const wchar_t* auxOrder;   // [Pelmarch] is_new, or ABSENT
};

// The orders of the scenario's update check.
Orders ExpectedOrders(const Scenario& scenario);
// The exchange file holds the orders: the next check 7 days ahead plus less
// than 3 more, the trailer, the installed client, its uninstall command among
// all of them, the raw title, the root and auxiliary orders.
void ExpectOrders(const std::wstring& file, const Orders& orders);
// Nothing is left in the exchange file for a later run to carry out.
void ExpectOrdersCleared(const std::wstring& file);
