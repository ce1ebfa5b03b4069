#pragma once
// Root of everything a layout, style or skin document creates: an object that knows its
// tag and takes its attributes one by one.
class TiXmlElement;

namespace kbase {

// SetAttribute's answer for a name the class does not know. Derived classes offer a
// pair to their base first and only look at it themselves on this answer.
constexpr int kVwAttributeUnknown = -1;
constexpr int kVwAttributeTaken = 0;

class CVwObject {
 public:
  CVwObject() = default;
  CVwObject(const CVwObject&) = delete;
  CVwObject& operator=(const CVwObject&) = delete;

  virtual ~CVwObject() = default;
  virtual bool IsClass(const char* tag) const;
  virtual const char* GetObjectClass() const = 0;
  // Applies every attribute in document order (loading flag set), then OnLoaded; 1.
  virtual int Load(const TiXmlElement& element);
  virtual void OnLoaded() {}
  virtual int SetAttribute(const char* name, const char* value, bool loading) {
    return kVwAttributeUnknown;
  }
};

}  // namespace kbase
