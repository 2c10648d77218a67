// The one application object of the main update program.
#include "startup/VelmoUpgradeToolApp.h"

CVelmoUpgradeToolApp theApp;
