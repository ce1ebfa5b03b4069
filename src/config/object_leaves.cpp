#include "config/object_leaves.h"

#include <windows.h>

#include <cwctype>

#include "common/win/scoped_handle.h"
#include "config/leaf_attributes.h"

namespace kbase {
namespace {

constexpr wchar_t kServicesKey[] = L"SYSTEM\\CurrentControlSet\\services\\";
constexpr wchar_t kSessionToken[] = L"$SessionID";
constexpr wchar_t kPipePrefix[] = L"\\\\.\\pipe\\";
constexpr wchar_t kGlobalDevicePrefix[] = L"\\\\.\\Global\\";

void ReplaceAll(std::wstring* text, const std::wstring& from, const std::wstring& to) {
  for (size_t at = text->find(from); at != std::wstring::npos; at = text->find(from, at + to.size())) {
    text->replace(at, from.size(), to);
  }
}

bool MutexExists(const std::wstring& name) {
  ScopedHandle mutex(::OpenMutexW(MUTEX_ALL_ACCESS, FALSE, name.c_str()));
  if (mutex.valid()) return true;
  // A mutex we may not open (another session's, say) is still there.
  return ::GetLastError() != ERROR_FILE_NOT_FOUND;
}

bool PipeExists(std::wstring name) {
  if (name.find(kPipePrefix) == std::wstring::npos) name = kPipePrefix + name;
  ScopedHandle pipe(::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
  return pipe.valid();
}

}  // namespace

KServiceLeaf::~KServiceLeaf() = default;

std::unique_ptr<ICheckLeaf> KServiceLeaf::Parse(int32_t id, const TiXmlElement& leaf) {
  auto made = std::make_unique<KServiceLeaf>(id);
  if (!ReadLeafText(leaf, "name", &made->name)) return nullptr;
  return made;
}

int32_t KServiceLeaf::Check() {
  const std::wstring path = kServicesKey + name;
  ScopedKey key;
  return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.receive()) ==
                 ERROR_SUCCESS
             ? 1
             : 0;
}

KKernalObjectLeaf::~KKernalObjectLeaf() = default;

std::unique_ptr<ICheckLeaf> KKernalObjectLeaf::Parse(int32_t id, const TiXmlElement& leaf) {
  auto made = std::make_unique<KKernalObjectLeaf>(id);
  if (!ReadLeafText(leaf, "type", &made->type) || !ReadLeafText(leaf, "name", &made->name)) {
    return nullptr;
  }
  return made;
}

int32_t KKernalObjectLeaf::Check() {
  DWORD session = 0;
  if (!::ProcessIdToSessionId(::GetCurrentProcessId(), &session)) return 0;
  std::wstring object = name;
  ReplaceAll(&object, kSessionToken, std::to_wstring(session));
  std::wstring kind = type;
  for (wchar_t& c : kind) c = static_cast<wchar_t>(std::towlower(c));

  if (kind == L"mutex") return MutexExists(object) ? 1 : 0;
  if (kind == L"event") {
    ScopedHandle event(::OpenEventW(EVENT_ALL_ACCESS, FALSE, object.c_str()));
    return event.valid() ? 1 : 0;
  }
  if (kind == L"semaphore") {
    ScopedHandle semaphore(::OpenSemaphoreW(SEMAPHORE_ALL_ACCESS, FALSE, object.c_str()));
    return semaphore.valid() ? 1 : 0;
  }
  if (kind == L"namedpipe") return PipeExists(object) ? 1 : 0;
  return 0;
}

KDriverLeaf::~KDriverLeaf() = default;

std::unique_ptr<ICheckLeaf> KDriverLeaf::Parse(int32_t id, const TiXmlElement& leaf) {
  auto made = std::make_unique<KDriverLeaf>(id);
  if (!ReadLeafText(leaf, "name", &made->name)) return nullptr;
  return made;
}

int32_t KDriverLeaf::Check() {
  const std::wstring device = kGlobalDevicePrefix + name;
  ScopedHandle handle(::CreateFileW(device.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
  if (handle.valid()) return 1;
  // A device that refuses us is still published.
  return ::GetLastError() == ERROR_ACCESS_DENIED ? 1 : 0;
}

}  // namespace kbase
