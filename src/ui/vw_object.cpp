#include "ui/vw_object.h"

#include <tinyxml.h>

#include <cstring>

namespace kbase {

bool CVwObject::IsClass(const char* tag) const {
  return tag != nullptr && std::strcmp(tag, GetObjectClass()) == 0;
}

int CVwObject::Load(const TiXmlElement& element) {
  for (const TiXmlAttribute* attribute = element.FirstAttribute(); attribute != nullptr;
       attribute = attribute->Next()) {
    SetAttribute(attribute->Name(), attribute->Value(), true);
  }
  OnLoaded();
  return 1;
}

}  // namespace kbase
