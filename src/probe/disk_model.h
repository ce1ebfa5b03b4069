#pragma once
// The model text of a fixed disk, for the device id.
#include <string>

namespace kbase {

// Tries four ways of asking drives 0 to 15 for their identity (SMART identify with and
// without ATAPI, SCSI miniport identify, storage device descriptor, SMART identify with
// full sharing) and stops after the first way that found a serial number. The model
// text of that way, in ANSI; empty when none answered or on the 9x platform.
std::string GetDiskModelText();

}  // namespace kbase
