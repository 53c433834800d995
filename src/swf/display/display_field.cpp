// What scripts see of an edit text: the field's state, made from its
// definition when a script first reaches it.
#include "swf/display/display_object.h"
#include "swf/display/display_tree.h"

#include <cmath>

namespace dc::swf {

EditField* DisplayObject::Field() {
  if (kind != DisplayKind::EditText || !character) return nullptr;
  const EditText* def = std::get_if<EditText>(character);
  if (!def) return nullptr;
  if (!field_) {
    static const FontLibrary kNoFonts;
    field_ = std::make_unique<EditField>(*this, *def, tree_ ? &tree_->movie() : nullptr,
                                         tree_ ? tree_->Fonts() : kNoFonts);
  }
  return field_.get();
}

std::optional<avm1::TextExtent> DisplayObject::MeasureText(const avm1::FieldFormat& format, const std::string& text,
                                                           std::optional<double> width) const {
  if (!tree_) return std::nullopt;
  return MeasureTextExtent(format, text, width, tree_->Fonts());
}

const FontLibrary& DisplayTree::Fonts() {
  if (!fonts_) {
    fonts_ = std::make_unique<FontLibrary>(*movie_);
    fonts_->SetDeviceFonts(deviceFonts_);
  }
  return *fonts_;
}

std::string DisplayObject::Text() const {
  if (kind != DisplayKind::EditText) return {};
  if (EditField* f = const_cast<DisplayObject*>(this)->Field()) return f->BoundText();
  return text;
}

void DisplayObject::SetText(const std::string& t) {
  if (EditField* f = Field()) f->SetBoundText(t);
}

std::string DisplayObject::VariableName() const {
  if (EditField* f = const_cast<DisplayObject*>(this)->Field()) return f->VariableName();
  return {};
}

}  // namespace dc::swf

namespace dc::swf {

bool DisplayObject::GetFieldGeometry(avm1::DisplayProperty property, double& value) const {
  using P = avm1::DisplayProperty;
  if (kind != DisplayKind::EditText || (property != P::X && property != P::Y)) return false;
  EditField* field = const_cast<DisplayObject*>(this)->Field();
  if (!field) return false;
  const TwipRect& b = field->Bounds();
  const Point corner = matrix.Apply({double(b.xMin), double(b.yMin)});
  value = (property == P::X ? corner.x : corner.y) / kTwipsPerPixel;
  return true;
}

bool DisplayObject::SetFieldGeometry(avm1::DisplayProperty property, double value) {
  using P = avm1::DisplayProperty;
  if (kind != DisplayKind::EditText) return false;
  EditField* field = Field();
  if (!field) return false;
  switch (property) {
    case P::X:
    case P::Y: {
      // The box's corner goes to the whole twip toward zero.
      const TwipRect& b = field->Bounds();
      const Point offset = matrix.Apply({double(b.xMin), double(b.yMin)});
      double& at = property == P::X ? matrix.tx : matrix.ty;
      const double corner = property == P::X ? offset.x : offset.y;
      const double moved = at + std::trunc(value * kTwipsPerPixel) - corner;
      transformedByScript = true;
      if (moved != at) {
        at = moved;
        Changed();
      }
      return true;
    }
    case P::Width: field->SetSize(value, std::nullopt); return true;
    case P::Height: field->SetSize(std::nullopt, value); return true;
    default: return false;
  }
}

}  // namespace dc::swf
