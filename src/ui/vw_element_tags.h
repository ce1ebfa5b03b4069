#pragma once
// The tags a "dlg" knows itself, in the order they are tried; a tag outside the list goes
// to the dialog's control creator.
#include <cstddef>

namespace kbase {

constexpr const char* kVwBuiltInTags[] = {
    "dlg",       "text",         "button",         "img",         "imgbg",   "scrollimg", "progress",
    "progressex", "imgbtn",      "skinbtn",        "realwnd",     "realwnd2", "hr",       "check",
    "icon",      "tabctrl",      "radio",          "customradio", "richtext", "link",     "memimage",
    "storageimage", "storageimageex", "imgbtnsized", "imggray",   "imgex",   "imgrotale", "slider",
    "dlgbtn",    "hicon",
};
constexpr size_t kVwBuiltInTagCount = sizeof(kVwBuiltInTags) / sizeof(kVwBuiltInTags[0]);

// Index of a built-in tag, or -1.
int FindBuiltInTag(const char* tag);

}  // namespace kbase
