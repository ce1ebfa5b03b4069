#include "download/seven_zip_streams.h"

#include <cstring>
#include <string>

#include "CPP/7zip/PropID.h"

namespace kbase {

namespace {

// The reference count may be touched from the reader's decoder threads.
ULONG Increment(LONG* references) { return static_cast<ULONG>(InterlockedIncrement(references)); }
ULONG Decrement(LONG* references) { return static_cast<ULONG>(InterlockedDecrement(references)); }

// Reads one property of an item into `value`, which the caller clears.
bool ItemProperty(IInArchive* handler, UInt32 index, PROPID id, VARTYPE type,
                  PROPVARIANT* value) {
  PropVariantInit(value);
  return handler->GetProperty(index, id, value) == S_OK && value->vt == type;
}

}  // namespace

// --- CLmInStream

STDMETHODIMP CLmInStream::QueryInterface(REFIID iid, void** object) noexcept {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IInStream) {
    *object = static_cast<IInStream*>(this);
  } else if (iid == IID_IStreamGetSize) {
    *object = static_cast<IStreamGetSize*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CLmInStream::AddRef() noexcept { return Increment(&references_); }
STDMETHODIMP_(ULONG) CLmInStream::Release() noexcept {
  const ULONG left = Decrement(&references_);
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP CLmInStream::Read(void* data, UInt32 size, UInt32* processed) noexcept {
  if (processed != nullptr) *processed = 0;
  if (position_ >= size_) return E_FAIL;
  const UInt32 count = size < size_ - position_ ? size : size_ - position_;
  std::memcpy(data, buffer_ + position_, count);
  position_ += count;
  if (processed != nullptr) *processed = count;
  return S_OK;
}

STDMETHODIMP CLmInStream::Seek(Int64 offset, UInt32 origin, UInt64* new_position) noexcept {
  UInt64 base;
  switch (origin) {
    case STREAM_SEEK_SET: base = 0; break;
    case STREAM_SEEK_CUR: base = position_; break;
    case STREAM_SEEK_END: base = size_; break;
    default: return STG_E_INVALIDFUNCTION;
  }
  position_ = static_cast<UInt32>(base + static_cast<UInt64>(offset));
  if (new_position != nullptr) *new_position = position_;
  return S_OK;
}

STDMETHODIMP CLmInStream::GetSize(UInt64* size) noexcept {
  if (size == nullptr) return E_POINTER;
  *size = size_;
  return S_OK;
}

// --- CLmOutStream

STDMETHODIMP CLmOutStream::QueryInterface(REFIID iid, void** object) noexcept {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid != IID_IUnknown && iid != IID_ISequentialOutStream) return E_NOINTERFACE;
  *object = static_cast<ISequentialOutStream*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CLmOutStream::AddRef() noexcept { return Increment(&references_); }
STDMETHODIMP_(ULONG) CLmOutStream::Release() noexcept {
  const ULONG left = Decrement(&references_);
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP CLmOutStream::Write(const void* data, UInt32 size, UInt32* processed) noexcept {
  if (client_ != nullptr) return client_->OnWrite(data, size, processed);
  // Nobody to take the bytes: swallow them so the reader does not stall.
  if (processed != nullptr) *processed = size;
  return S_OK;
}

// --- CLmExtractCallback

STDMETHODIMP CLmExtractCallback::QueryInterface(REFIID iid, void** object) noexcept {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid != IID_IUnknown && iid != IID_IArchiveExtractCallback) return E_NOINTERFACE;
  *object = static_cast<IArchiveExtractCallback*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CLmExtractCallback::AddRef() noexcept { return Increment(&references_); }
STDMETHODIMP_(ULONG) CLmExtractCallback::Release() noexcept {
  const ULONG left = Decrement(&references_);
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP CLmExtractCallback::SetTotal(UInt64) noexcept { return S_OK; }
STDMETHODIMP CLmExtractCallback::SetCompleted(const UInt64*) noexcept { return S_OK; }
STDMETHODIMP CLmExtractCallback::PrepareOperation(Int32) noexcept { return S_OK; }
STDMETHODIMP CLmExtractCallback::SetOperationResult(Int32) noexcept { return S_OK; }

STDMETHODIMP CLmExtractCallback::GetStream(UInt32 index, ISequentialOutStream** stream,
                                           Int32 ask_mode) noexcept {
  if (stream == nullptr) return E_POINTER;
  *stream = nullptr;
  // An item without a name still starts a new item, so its bytes can never run on
  // into the previous item's file.
  std::wstring path;
  PROPVARIANT value;
  if (ItemProperty(handler_, index, kpidPath, VT_BSTR, &value) && value.bstrVal != nullptr) {
    path = value.bstrVal;
  }
  PropVariantClear(&value);
  if (ItemProperty(handler_, index, kpidIsDir, VT_BOOL, &value) &&
      value.boolVal != VARIANT_FALSE && !path.empty()) {
    path += L'\\';
  }
  PropVariantClear(&value);
  // An item the client cannot take gets no stream, so the reader skips its bytes: a
  // failing write would instead end the extraction of every later item of a solid
  // archive.
  if (client_ != nullptr && client_->OnNewItem(path.c_str()) != S_OK) return S_OK;

  CMyComPtr<ISequentialOutStream> out = new CLmOutStream(client_);
  *stream = out.Detach();
  return S_OK;
}

}  // namespace kbase
