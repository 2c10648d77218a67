#pragma once
// What the small closing dialog says after a root-certificate order: the
// update done, or K704 (this program's own wording, without the support
// footer).
#include "framework/CString.h"

CString CertUpdateText(bool updated);
