#include "probe/wmi_query.h"

#include <objbase.h>
#include <wbemidl.h>

#include "common/win/scoped_com.h"

namespace kbase {

namespace {

// Text of a VARIANT that holds text or an integer; empty for anything else.
std::wstring VariantText(const VARIANT& value) {
  if (value.vt == VT_BSTR && value.bstrVal != nullptr) {
    return std::wstring(value.bstrVal, SysStringLen(value.bstrVal));
  }
  VARIANT converted;
  VariantInit(&converted);
  std::wstring text;
  if (value.vt != VT_NULL && value.vt != VT_EMPTY &&
      SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, VT_BSTR)) &&
      converted.bstrVal != nullptr) {
    text.assign(converted.bstrVal, SysStringLen(converted.bstrVal));
  }
  VariantClear(&converted);
  return text;
}

}  // namespace

std::vector<std::wstring> QueryWmiTexts(const wchar_t* query, const wchar_t* property) {
  std::vector<std::wstring> texts;
  ScopedComApartment apartment;
  if (!apartment.ok()) return texts;

  ScopedComPtr<IWbemLocator> locator;
  if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWbemLocator, locator.receive_void()))) {
    return texts;
  }
  ScopedComPtr<IWbemServices> services;
  ScopedBstr name_space(L"ROOT\\CIMV2");
  if (FAILED(locator->ConnectServer(name_space.get(), nullptr, nullptr, nullptr, 0, nullptr,
                                    nullptr, services.receive()))) {
    return texts;
  }
  if (FAILED(CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                               RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                               EOAC_NONE))) {
    return texts;
  }
  ScopedBstr language(L"WQL");
  ScopedBstr text(query);
  ScopedComPtr<IEnumWbemClassObject> rows;
  if (FAILED(services->ExecQuery(language.get(), text.get(),
                                 WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                 rows.receive()))) {
    return texts;
  }
  for (;;) {
    ScopedComPtr<IWbemClassObject> row;
    ULONG returned = 0;
    if (rows->Next(WBEM_INFINITE, 1, row.receive(), &returned) != WBEM_S_NO_ERROR ||
        returned == 0) {
      break;
    }
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(row->Get(property, 0, &value, nullptr, nullptr))) {
      std::wstring found = VariantText(value);
      if (!found.empty()) texts.push_back(std::move(found));
    }
    VariantClear(&value);
  }
  return texts;
}

std::wstring QueryWmiText(const wchar_t* query, const wchar_t* property) {
  std::vector<std::wstring> texts = QueryWmiTexts(query, property);
  return texts.empty() ? std::wstring() : texts.front();
}

}  // namespace kbase
