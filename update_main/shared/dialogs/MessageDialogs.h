#pragma once
// The question and closing dialogs through which errors and questions reach
// the user. The ...Exit routines end the process with exit code 1
// (EndProcess, which undoes what the program registered first).
#include <windows.h>

#include "framework/CString.h"

// The yes / no question; IDOK, IDCANCEL or another result of the dialog.
INT_PTR Ask(const CString& question, const wchar_t* okCaption);
// The yes / no question with the template's captions; いいえ ends the process.
void AskOrExit(const CString& question);
// The short closing message; the dialog's result.
INT_PTR ShowSmallClose(const CString& message);
// The same, then the end of the process however the dialog ended, also when
// it could not be shown: the run never goes on after such an error.
[[noreturn]] void ShowSmallCloseAndExit(const CString& message);
