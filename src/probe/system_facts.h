#pragma once
// Facts about the running Windows that reports and conditions need. Each is computed
// on first use and kept for the life of the process.
#include <string>

#include "probe/k_time.h"
#include "probe/system_facts_rules.h"

namespace kbase {

// The raw OS kind (see RawOsKind); 0 when the version query fails.
int GetRawOsKind();

// The OS code that reports carry and the "osversion" condition compares.
int GetOsCode();

// The processor is 64-bit (GetNativeSystemInfo: IA64, ALPHA64 or AMD64).
bool Is64BitProcessor();

// This process runs under WOW64 (a 32-bit process on 64-bit Windows). False for a
// 64-bit process; ask IsWindows64Bit (config/windows_bitness.h) for the OS width.
bool IsWow64();

// The service pack major number from the extended version query; 0 when it fails.
int GetServicePackMajor();

// The kernel's own version (RtlGetNtVersionNumbers, else the file version of the
// system folder's ntoskrnl.exe). False when neither answers.
bool GetTrueNtVersion(unsigned* major, unsigned* minor);

// The file version of a file as major (high word) and minor (low word) of its most
// significant part. False when the file has no version resource.
bool GetFileMajorMinorVersion(const std::wstring& path, unsigned* major, unsigned* minor);

}  // namespace kbase
