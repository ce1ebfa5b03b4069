#pragma once
// The objects the 7z reader talks to while it unpacks an archive held in memory: the
// in-stream over the caller's buffer, and the extract callback that hands each item's
// path and bytes to a client. They follow the reader's COM rules (reference counted,
// QueryInterface, HRESULT results) and live only within one extraction call.
#include <windows.h>
// The reader's interfaces build on COM's: IUnknown, PROPVARIANT, BSTR.
#include <ole2.h>
#include <propidl.h>

#include "CPP/7zip/Archive/IArchive.h"
#include "CPP/Common/MyCom.h"

namespace kbase {

// The receiving side of an extraction.
class I7zExtractCallBack {
 public:
  // A new item begins. `path` is relative to the archive root; a directory item's path
  // ends with a backslash; an item without a name has "". S_OK when the item's bytes
  // have somewhere to go; otherwise the reader skips them.
  virtual HRESULT OnNewItem(const wchar_t* path) = 0;
  // The next block of the current item. `processed` may be null.
  virtual HRESULT OnWrite(const void* data, UInt32 size, UInt32* processed) = 0;

 protected:
  ~I7zExtractCallBack() = default;
};

// Read-only stream over a buffer the caller owns and keeps alive.
class CLmInStream final : public IInStream, public IStreamGetSize {
 public:
  CLmInStream(const void* buffer, UInt32 size)
      : buffer_(static_cast<const Byte*>(buffer)), size_(size) {}
  CLmInStream(const CLmInStream&) = delete;
  CLmInStream& operator=(const CLmInStream&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) noexcept override;
  STDMETHODIMP_(ULONG) AddRef() noexcept override;
  STDMETHODIMP_(ULONG) Release() noexcept override;

  // At or past the end a read fails with E_FAIL rather than giving zero bytes.
  STDMETHODIMP Read(void* data, UInt32 size, UInt32* processed) noexcept override;
  // Origins 0 (start), 1 (current), 2 (end); any other gives STG_E_INVALIDFUNCTION.
  // The position is not held within the size; reads past the end fail instead.
  STDMETHODIMP Seek(Int64 offset, UInt32 origin, UInt64* new_position) noexcept override;
  STDMETHODIMP GetSize(UInt64* size) noexcept override;

 private:
  ~CLmInStream() = default;

  LONG references_ = 0;
  const Byte* buffer_;
  UInt32 position_ = 0;
  UInt32 size_;
};

// The out-stream of one item: passes every block to the client.
class CLmOutStream final : public ISequentialOutStream {
 public:
  explicit CLmOutStream(I7zExtractCallBack* client) : client_(client) {}
  CLmOutStream(const CLmOutStream&) = delete;
  CLmOutStream& operator=(const CLmOutStream&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) noexcept override;
  STDMETHODIMP_(ULONG) AddRef() noexcept override;
  STDMETHODIMP_(ULONG) Release() noexcept override;

  STDMETHODIMP Write(const void* data, UInt32 size, UInt32* processed) noexcept override;

 private:
  ~CLmOutStream() = default;

  LONG references_ = 0;
  I7zExtractCallBack* client_;  // not owned
};

// Tells the client of each item and gives the reader an out-stream for it. Data and
// CRC errors that the reader reports per item are not acted on: the archive's
// integrity is checked before extraction by whoever hands it over.
class CLmExtractCallback final : public IArchiveExtractCallback {
 public:
  CLmExtractCallback(I7zExtractCallBack* client, IInArchive* handler)
      : client_(client), handler_(handler) {}
  CLmExtractCallback(const CLmExtractCallback&) = delete;
  CLmExtractCallback& operator=(const CLmExtractCallback&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) noexcept override;
  STDMETHODIMP_(ULONG) AddRef() noexcept override;
  STDMETHODIMP_(ULONG) Release() noexcept override;

  STDMETHODIMP SetTotal(UInt64 total) noexcept override;
  STDMETHODIMP SetCompleted(const UInt64* complete) noexcept override;
  STDMETHODIMP GetStream(UInt32 index, ISequentialOutStream** stream,
                         Int32 ask_mode) noexcept override;
  STDMETHODIMP PrepareOperation(Int32 ask_mode) noexcept override;
  STDMETHODIMP SetOperationResult(Int32 result) noexcept override;

 private:
  ~CLmExtractCallback() = default;

  LONG references_ = 0;
  I7zExtractCallBack* client_;  // not owned
  CMyComPtr<IInArchive> handler_;
};

}  // namespace kbase
