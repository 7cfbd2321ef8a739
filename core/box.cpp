#include "box.h"

#include "messages.h"

namespace calc {

Box ErrorBox(std::string text) {
  return Box{std::move(text), kCaptionError, Owner::kDialog};
}

Box ResultBox(std::string text, Owner owner) {
  return Box{std::move(text), kCaptionDone, owner};
}

}  // namespace calc
