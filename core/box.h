// What a press shows the user: one message box, described as data so that
// the whole behaviour of a press can be checked without a window system.
#pragma once

#include <string>

namespace calc {

enum class Owner {
  kNone,    // no owner window: the dialog stays usable while the box is open
  kDialog,  // owned by the dialog, which is disabled while the box is open
};

struct Box {
  std::string text;
  std::string caption;
  Owner owner = Owner::kNone;

  bool operator==(const Box& other) const {
    return text == other.text && caption == other.caption && owner == other.owner;
  }
};

// An error box: owned by the dialog, caption "Error".
Box ErrorBox(std::string text);

// The result box: captioned "计算完毕", with the given owner.
Box ResultBox(std::string text, Owner owner);

}  // namespace calc
