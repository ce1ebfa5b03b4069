#include "main/firewall_entry.h"

#include <windows.h>
#include <netfw.h>

#include "common/win/scoped_com.h"

namespace kbase {

namespace {

// The firewall manager and the authorized-application object.
const CLSID kNetFwMgr = {0x304CE942, 0x6E39, 0x40D8, {0x94, 0x3A, 0xB9, 0x13, 0xC4, 0x0C, 0x9C, 0xD4}};
const IID kINetFwMgr = {0xF7898AF5, 0xCAC4, 0x4632, {0xA2, 0xEC, 0xDA, 0x06, 0xE5, 0x11, 0x1A, 0xF2}};
const CLSID kNetFwAuthorizedApplication = {
    0xEC9846B3, 0x2762, 0x4A6B, {0xA2, 0x14, 0x6A, 0xCB, 0x60, 0x34, 0x62, 0xD2}};
const IID kINetFwAuthorizedApplication = {
    0xB5E64FFA, 0xC2C5, 0x444E, {0xA3, 0x01, 0xFB, 0x5E, 0x00, 0x01, 0x80, 0x50}};

// The authorized applications of the current profile, or null.
bool OpenAuthorizedApplications(ScopedComPtr<INetFwAuthorizedApplications>* applications) {
  ScopedComPtr<INetFwMgr> manager;
  ScopedComPtr<INetFwPolicy> policy;
  ScopedComPtr<INetFwProfile> profile;
  return SUCCEEDED(CoCreateInstance(kNetFwMgr, nullptr, CLSCTX_INPROC_SERVER, kINetFwMgr,
                                    manager.receive_void())) &&
         SUCCEEDED(manager->get_LocalPolicy(policy.receive())) &&
         SUCCEEDED(policy->get_CurrentProfile(profile.receive())) &&
         SUCCEEDED(profile->get_AuthorizedApplications(applications->receive()));
}

bool HasEnabledEntry(INetFwAuthorizedApplications* applications, BSTR path) {
  ScopedComPtr<INetFwAuthorizedApplication> entry;
  VARIANT_BOOL enabled = VARIANT_FALSE;
  return SUCCEEDED(applications->Item(path, entry.receive())) && entry &&
         SUCCEEDED(entry->get_Enabled(&enabled)) && enabled != VARIANT_FALSE;
}

}  // namespace

bool AddFirewallEntry(const std::wstring& program_path) {
  ScopedComApartment apartment;
  ScopedComPtr<INetFwAuthorizedApplications> applications;
  if (!apartment.ok() || !OpenAuthorizedApplications(&applications)) return false;
  const ScopedBstr path(program_path.c_str());
  if (HasEnabledEntry(applications.get(), path.get())) return false;
  ScopedComPtr<INetFwAuthorizedApplication> entry;
  const ScopedBstr name(kFirewallEntryName);
  return SUCCEEDED(CoCreateInstance(kNetFwAuthorizedApplication, nullptr, CLSCTX_INPROC_SERVER,
                                    kINetFwAuthorizedApplication, entry.receive_void())) &&
         SUCCEEDED(entry->put_ProcessImageFileName(path.get())) &&
         SUCCEEDED(entry->put_Name(name.get())) && SUCCEEDED(applications->Add(entry.get()));
}

bool RemoveFirewallEntry(const std::wstring& program_path) {
  ScopedComApartment apartment;
  ScopedComPtr<INetFwAuthorizedApplications> applications;
  if (!apartment.ok() || !OpenAuthorizedApplications(&applications)) return false;
  const ScopedBstr path(program_path.c_str());
  return HasEnabledEntry(applications.get(), path.get()) &&
         SUCCEEDED(applications->Remove(path.get()));
}

}  // namespace kbase
