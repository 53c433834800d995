// A clip tree of our own for the script engine's tests, benchmark and fuzz
// target: named children by depth, display properties as plain numbers, a
// timeline that records its gotos, a drawing canvas and text.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "swf/avm1/clip.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/engine.h"
#include "swf/model/drawing.h"

namespace dc::swf::avm1::test {

class FakeClip;

// A text field's properties over the fake clip's text: the text itself,
// and one format for the whole field.
class FakeField final : public TextFieldHost {
 public:
  explicit FakeField(FakeClip& clip) : clip_(clip) {}
  FieldValue GetProperty(FieldProperty p) const override;
  void SetProperty(FieldProperty p, const FieldValue& v) override;
  FieldFormat GetFormat(std::size_t, std::size_t) const override { return format; }
  void SetFormat(std::size_t, std::size_t, const FieldFormat& f) override {
    if (f.color) format.color = f.color;
    if (f.size) format.size = f.size;
    if (f.align) format.align = f.align;
  }
  FieldFormat GetNewFormat() const override { return format; }
  void SetNewFormat(const FieldFormat& f) override { SetFormat(0, 0, f); }
  void ReplaceText(std::size_t, std::size_t, const std::string&) override {}
  void SetStyleSheet(const StyleLookup*) override {}
  void SetStyledHtml(const std::string& html, const StyleLookup&) override { SetProperty(FieldProperty::HtmlText, html); }
  std::size_t TextLength() const override;
  std::size_t TakeWork() override { return 0; }
  std::size_t HeldBytes() const override;
  FieldFormat format;

 private:
  FakeClip& clip_;
};

class FakeClip final : public Clip {
 public:
  FakeClip(std::string name, ClipKind kind, FakeClip* parent, int depth, Engine* engine)
      : name_(std::move(name)), kind_(kind), parent_(parent), depth_(depth), engine_(engine) {}

  FakeClip* AddChild(const std::string& name, int depth, ClipKind kind = ClipKind::MovieClip) {
    RemoveAt(depth);
    children_.push_back(std::make_unique<FakeClip>(name, kind, this, depth, engine_));
    FakeClip* c = children_.back().get();
    c->exports = exports;
    if (engine_) engine_->ClipAdded(*c);
    return c;
  }
  FakeClip* Child(const std::string& name) const {
    for (const auto& c : children_)
      if (c->name_ == name) return c.get();
    return nullptr;
  }

  ClipKind Kind() const override { return kind_; }
  std::string Name() const override { return name_; }
  void SetName(const std::string& name) override { name_ = name; }
  int Depth() const override { return depth_; }
  Clip* Parent() const override { return parent_; }
  Clip* ChildByName(std::string_view name, bool caseSensitive) const override {
    FakeClip* best = nullptr;
    for (const auto& c : children_)
      if (NamesEqual(c->name_, name, caseSensitive) && (!best || c->depth_ < best->depth_)) best = c.get();
    return best;
  }
  std::vector<Clip*> Children() const override {
    std::vector<Clip*> out;
    for (const auto& c : children_) out.push_back(c.get());
    std::sort(out.begin(), out.end(), [](Clip* a, Clip* b) { return a->Depth() < b->Depth(); });
    return out;
  }

  double Get(DisplayProperty p) const override {
    const auto it = props.find(p);
    if (it != props.end()) return it->second;
    switch (p) {
      case DisplayProperty::XScale:
      case DisplayProperty::YScale:
      case DisplayProperty::Alpha:
        return 100;
      case DisplayProperty::Visible:
        return 1;
      default:
        return 0;
    }
  }
  void Set(DisplayProperty p, double v) override { props[p] = v; }
  ColorTransform GetColorTransform() const override { return colour; }
  void SetColorTransform(const ColorTransform& cx) override { colour = cx; }
  TextFieldHost* TextField() override { return kind_ == ClipKind::TextField ? &field : nullptr; }

  int CurrentFrame() const override { return frame; }
  int TotalFrames() const override { return totalFrames; }
  int FramesLoaded() const override { return totalFrames; }
  void GotoFrame(int f, bool play) override {
    frame = std::clamp(f, 1, totalFrames);
    playing = play;
    log.push_back((play ? "play " : "stop ") + std::to_string(frame));
  }
  std::optional<int> FrameOfLabel(std::string_view label) const override {
    const auto it = labels.find(std::string(label));
    if (it == labels.end()) return std::nullopt;
    return it->second;
  }
  void Play() override { playing = true; }
  void Stop() override { playing = false; }
  std::vector<ActionBytes> FrameActions(int f) const override {
    const auto it = frameActions.find(f);
    return it == frameActions.end() ? std::vector<ActionBytes>{} : it->second;
  }

  Clip* CreateEmptyMovieClip(const std::string& name, int depth) override {
    if (kind_ != ClipKind::MovieClip) return nullptr;
    return AddChild(name, depth);
  }
  Clip* AttachMovie(const std::string& exportName, const std::string& name, int depth) override {
    if (!exports.count(exportName)) return nullptr;
    return AddChild(name, depth);
  }
  Clip* CreateTextField(const std::string& name, int depth, double x, double y, double, double) override {
    FakeClip* c = AddChild(name, depth, ClipKind::TextField);
    c->props[DisplayProperty::X] = x;
    c->props[DisplayProperty::Y] = y;
    return c;
  }
  Clip* Duplicate(const std::string& name, int depth) override {
    if (!parent_) return nullptr;
    FakeClip* c = parent_->AddChild(name, depth, kind_);
    c->props = props;
    return c;
  }
  bool Remove() override {
    if (!parent_ || depth_ < 0) return false;
    FakeClip* parent = parent_;
    parent->RemoveAt(depth_);  // destroys this
    return true;
  }
  void SwapDepths(int depth) override {
    if (!parent_) return;
    for (const auto& c : parent_->children_)
      if (c->depth_ == depth && c.get() != this) c->depth_ = depth_;
    depth_ = depth;
  }
  int NextHighestDepth() const override {
    int d = 0;
    for (const auto& c : children_) d = std::max(d, c->depth_ + 1);
    return d;
  }
  TwipRect Bounds(const Clip*) const override { return drawing.Current().bounds; }
  Drawing* GetDrawing() override { return kind_ == ClipKind::MovieClip ? &drawing : nullptr; }
  void DrawingChanged() override { ++drawingChanges; }
  std::string Text() const override { return text; }
  void SetText(const std::string& t) override {
    text = t;
    ++textChanges;
  }
  std::string VariableName() const override { return variable; }

  // Removes the child at `depth` and everything in it, after telling the
  // engine.
  void RemoveAt(int depth) {
    for (auto it = children_.begin(); it != children_.end(); ++it) {
      if ((*it)->depth_ != depth) continue;
      (*it)->Forget();
      children_.erase(it);
      return;
    }
  }
  std::size_t ChildCount() const { return children_.size(); }

  std::map<DisplayProperty, double> props;
  ColorTransform colour;
  FakeField field{*this};
  int frame = 1, totalFrames = 1;
  bool playing = true;
  std::map<std::string, int> labels;
  std::map<int, std::vector<ActionBytes>> frameActions;
  std::vector<std::string> log;
  std::set<std::string> exports;
  Drawing drawing;
  int drawingChanges = 0;
  std::string text, variable;
  int textChanges = 0;

 private:
  void Forget() {
    for (const auto& c : children_) c->Forget();
    if (engine_) engine_->ClipRemoved(*this);
  }

  std::string name_;
  ClipKind kind_;
  FakeClip* parent_;
  int depth_;
  Engine* engine_;
  std::vector<std::unique_ptr<FakeClip>> children_;
};

inline FieldValue FakeField::GetProperty(FieldProperty p) const {
  if (p == FieldProperty::Text) return clip_.text;
  if (p == FieldProperty::TextColor) return static_cast<double>(format.color.value_or(0));
  if (p == FieldProperty::Variable) return clip_.variable.empty() ? FieldValue(nullptr) : FieldValue(clip_.variable);
  return {};
}

inline void FakeField::SetProperty(FieldProperty p, const FieldValue& v) {
  if (p == FieldProperty::Text) clip_.SetText(std::get<std::string>(v));
  if (p == FieldProperty::TextColor) format.color = static_cast<std::uint32_t>(std::get<double>(v));
}

inline std::size_t FakeField::TextLength() const { return clip_.text.size(); }
inline std::size_t FakeField::HeldBytes() const { return clip_.text.size(); }

}  // namespace dc::swf::avm1::test
