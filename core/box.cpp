#include "box.h"

#include "messages.h"

namespace calc {

Box ErrorBox(const char* text) {
  return Box{text, kCaptionError, Owner::kDialog};
}

Box ResultBox(std::string text, Owner owner) {
  return Box{std::move(text), kCaptionDone, owner};
}

}  // namespace calc
