#pragma once
// The client's two certificate stores and their update counters, against
// those of a root-certificate package: which one is newer.
#include "framework/CString.h"

// The stores below the client's installation folder. Empty until Build.
struct CertIndexPaths {
    CString installDir;
    CString wrapDir;     // installDir\.kvxwrap
    CString cs1Dir;
    CString cs1Index;    // the first format's index
    CString cs1IndexV2;  // the current format's index
    CString cs2Dir;
    CString cs2Index;
    CString cs2IndexV2;

    // False, with nothing filled, when no installation folder is known.
    bool Build(const wchar_t* installDir);

    // newer = 1 when both of the package's counters are set and one of them
    // is above the client's counter of that store (the larger of its two
    // index files, each read as _wtol reads a number; an unreadable one
    // counts 0). False when a package counter cannot be read (ReadIndexNumber).
    bool IsNewerCertPackage(const CString& packageFolder, int& newer) const;
};

// The update counter on the first line of an index file: the whole line
// (without its line end) must be a decimal number, blanks before it allowed,
// read as the store itself reads it. False, and value 0, when the file
// cannot be read or the line is no such number.
bool ReadIndexNumber(const wchar_t* path, int& value);
