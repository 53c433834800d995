// What scripts see of an edit text: the field's state, made from its
// definition when a script first reaches it.
#include "swf/display/display_object.h"
#include "swf/display/display_tree.h"

namespace dc::swf {

EditField* DisplayObject::Field() {
  if (kind != DisplayKind::EditText || !character) return nullptr;
  const EditText* def = std::get_if<EditText>(character);
  if (!def) return nullptr;
  if (!field_) field_ = std::make_unique<EditField>(*this, *def, tree_ ? &tree_->movie() : nullptr);
  return field_.get();
}

std::string DisplayObject::Text() const {
  if (kind != DisplayKind::EditText) return {};
  if (EditField* f = const_cast<DisplayObject*>(this)->Field()) return f->PlainText();
  return text;
}

void DisplayObject::SetText(const std::string& t) {
  if (EditField* f = Field()) f->SetPlainText(t);
}

std::string DisplayObject::VariableName() const {
  if (EditField* f = const_cast<DisplayObject*>(this)->Field()) return f->VariableName();
  return {};
}

}  // namespace dc::swf
