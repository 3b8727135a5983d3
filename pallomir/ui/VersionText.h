#pragma once

#include "platform/core/CString.h"

// Version texts of installed data folders ("1.00", "2.1.2"): digits and dots.

// True for a non-empty text of digits and '.' only.
bool IsVersionText(const CString &text);

// Orders version texts by their numbers, part by part between the dots: "1.9" < "1.10" <
// "2.0"; a text that ends where the other goes on is the smaller ("1" < "1.0"). Texts of equal
// numbers ("1.01", "1.1") are ordered as text, so the order is total. <0, 0, >0.
int CompareVersionText(const CString &a, const CString &b);

struct VersionTextLess {
    bool operator()(const CString &a, const CString &b) const {
        return CompareVersionText(a, b) < 0;
    }
};
