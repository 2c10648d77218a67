// The one application object of the secondary program. Building it reads and
// blanks the orders, before the framework calls InitInstance.
#include "startup/VelmoUpgradeToolSubApp.h"

CVelmoUpgradeToolSubApp theApp;
