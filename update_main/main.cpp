// The one application object of the main update program.
#include "app/VelmoUpgradeToolApp.h"

CVelmoUpgradeToolApp theApp;
