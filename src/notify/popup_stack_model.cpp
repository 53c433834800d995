// The alert stack's arrangement.
#include "notify/popup_stack_model.h"

namespace dc::notify {

StackWindow* PopupStackModel::Find(int id) {
  for (auto& s : slots_)
    if (s && s->id == id) return &*s;
  return nullptr;
}

void PopupStackModel::AddAlert(const StackWindow& w, const Rect& work) {
  slots_.push_back(w);
  ArrangeAlerts(work);
}

void PopupStackModel::RemoveAlert(int id, const Rect& work) {
  std::size_t at = slots_.size();
  for (std::size_t i = 0; i < slots_.size(); ++i)
    if (slots_[i] && slots_[i]->id == id) at = i;
  if (at == slots_.size()) return;
  slots_[at].reset();
  for (std::size_t i = at + 1; i < slots_.size(); ++i) {
    if (!slots_[i] || slots_[i]->pointerInside) continue;
    std::size_t j = i;
    while (j > 0 && slots_[j - 1]) --j;  // down past occupied slots to the nearest empty one
    if (j > 0) {
      slots_[j - 1] = slots_[i];
      slots_[i].reset();
    }
  }
  while (!slots_.empty() && !slots_.back()) slots_.pop_back();
  ArrangeAlerts(work);
}

void PopupStackModel::ArrangeAlerts(const Rect& work) {
  if (slots_.empty() || position > PopupPosition::BottomRight) return;
  const bool top = position == PopupPosition::TopLeft || position == PopupPosition::TopRight;
  const bool left = position == PopupPosition::TopLeft || position == PopupPosition::BottomLeft;
  std::int32_t y = top ? work.top : work.bottom;
  for (auto& s : slots_) {
    if (!s || !s->visible) continue;
    if (!top) y -= s->height;
    const std::int32_t x = left ? work.left : work.right - s->width;
    if (!s->pointerInside) {
      s->left = x;
      s->top = y;
    }
    if (top) y += s->height;
  }
}

}  // namespace dc::notify
