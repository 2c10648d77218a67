#pragma once
// The application framework of both programs.
#include "framework/CString.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "framework/Thread.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"
