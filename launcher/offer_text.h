// Texts of the offer and information dialogs, kept free of platform calls.
#pragma once
#include <cstddef>
#include <cstdint>

#include "resources/resource_ids.h"

// String ids of the information text's four parts, in the order shown.
constexpr int32_t kInfoTextFirstId = IDS_INFO_TEXT_FIRST;
constexpr int32_t kInfoTextLastId = IDS_INFO_TEXT_LAST;

// Each part followed by one blank; what does not fit text's capacity
// (kDialogTextCapacity) is cut. fetch is FetchString in the product.
void ComposeInfoText(char16_t* text, const char16_t* (*fetch)(int32_t id));

// True when text begins with "http://" or "https://" in any letter case: it
// was meant as a first-use page, which is opened when it is a web address
// (IsWebAddress).
bool IsFirstUsePage(const char16_t* text);

// True when text is a web address the launcher may hand to the shell: an
// http or https scheme (any case), something after "//", and no blank,
// double quote or control character, any of which could carry further
// arguments into the browser's command line. Links and the first-use page
// come from files the user can write, so nothing else is opened.
bool IsWebAddress(const char16_t* text);
