// Target paths as Flash reads them. From SWF 5 a path mixes slash syntax
// ("/a/b", "../c"), colons ("a:b") and dots ("a.b"); once a slash is read
// a dot no longer separates names. A name is a child clip first, else a
// member holding an object; "..", "_parent", "_root" and "_level0" are
// the special names. SWF 4 knows slashes alone: a colon or dot is part of a
// name, and "_level0" stands only at the start.
#include <cstdint>

#include "swf/avm1/conversions.h"
#include "swf/avm1/runtime.h"

namespace dc::swf::avm1 {

bool Runtime::IsLevelName(std::string_view name, Clip*& level) const {
  level = nullptr;
  if (name.size() < 6) return false;
  const std::string_view prefix = name.substr(0, 6);
  if (!NamesEqual(prefix, "_level", caseSensitive) && !NamesEqual(prefix, "_flash", caseSensitive)) return false;
  std::size_t i = 6;
  const bool negative = i < name.size() && name[i] == '-';
  if (i < name.size() && (name[i] == '-' || name[i] == '+')) ++i;
  std::uint32_t n = 0;
  for (; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i) n = n * 10 + static_cast<std::uint32_t>(name[i] - '0');
  if (negative) n = 0u - n;
  if (n == 0) level = root;
  return true;
}

Clip* Runtime::RootOf(Clip* clip) const {
  // A clip taken away is cut off from the root: the topmost clip taken
  // away with it stands for the root of code still running on it.
  if (!clip || !clip->Removed()) return root;
  Clip* top = clip;
  for (int hops = 0; top->Parent() && top->Parent()->Removed() && hops < 4096; ++hops) top = top->Parent();
  return top;
}

Value Runtime::PathSegment(Value cur, std::string_view name, Clip* start) {
  Clip* clip = LiveClip(cur);
  if (name == "..") return clip ? ClipValue(clip->Parent()) : Value();
  if (NamesEqual(name, "_parent", caseSensitive)) return clip ? ClipValue(clip->Parent()) : Value();
  if (NamesEqual(name, "_root", caseSensitive)) return ClipValue(RootOf(start));
  if (Clip* level = nullptr; IsLevelName(name, level)) return ClipValue(level);
  if (clip) {
    if (Clip* child = clip->ChildByName(name, caseSensitive)) return ClipValue(child);
  }
  if (!cur.IsObject()) return Value();
  const Value member = GetMember(cur, name);
  return member.IsObject() ? member : Value();
}

Value Runtime::ResolveTarget(ClipObject* base, std::string_view path) { return ResolvePath(base, path, nullptr); }

Value Runtime::ResolvePath(ClipObject* base, std::string_view path, const PathFirst* first) {
  // Code of a clip taken away still starts from that clip.
  Clip* start = base && base->clip ? base->clip : root;
  if (!start) return Value();
  Value cur = ClipValue(start);
  if (path.empty()) return cur;
  if (version <= 4) return ResolveSlashPath(start, path);
  std::size_t i = 0;
  bool slashes = false, atStart = true;
  if (path.back() == ':') path.remove_suffix(1);  // "clip:" names the clip
  if (path.empty()) return cur;
  if (path[0] == '/') {
    cur = ClipValue(RootOf(start));
    i = 1;
    slashes = true;
    atStart = false;
    if (i < path.size() && path[i] == '/') return Value();
  }
  while (i < path.size()) {
    std::string_view name;
    if (path.compare(i, 2, "..") == 0 && (i + 2 == path.size() || path[i + 2] == '/' || path[i + 2] == ':')) {
      name = "..";
      i += 2;
    } else {
      std::size_t j = i;
      while (j < path.size() && path[j] != '/' && path[j] != ':' && (slashes || path[j] != '.')) ++j;
      if (j == i) {
        // Colons in a row read as one; any other empty name is no path.
        if (path[j] != ':' || j + 1 == path.size()) return Value();
        i = j + 1;
        continue;
      }
      name = path.substr(i, j - i);
      i = j;
    }
    Value next;
    if (atStart && first && (*first)(name, next) && next.IsObject()) {
      cur = next;
    } else {
      cur = PathSegment(cur, name, start);
    }
    atStart = false;
    if (!cur.IsObject()) return Value();
    if (i == path.size()) break;
    const char separator = path[i++];
    if (separator == '/') {
      slashes = true;
      if (i < path.size() && path[i] == '/') return Value();
    } else if (i == path.size()) {
      return Value();  // a path may end in a slash, not a colon or dot
    }
  }
  return cur;
}

Value Runtime::ResolveSlashPath(Clip* start, std::string_view path) {
  Value cur = ClipValue(start);
  std::size_t i = 0;
  if (path.size() >= 7 && (path.substr(0, 6) == "_level" || path.substr(0, 6) == "_flash")) {
    // "_levelN" (or its old name "_flashN"); what follows up to the next
    // slash is not read.
    std::size_t j = 6;
    while (j < path.size() && path[j] >= '0' && path[j] <= '9') ++j;
    if (j == 6 || path.substr(6, j - 6).find_first_not_of('0') != std::string_view::npos) return Value();
    cur = ClipValue(root);
    const std::size_t slash = path.find('/', j);
    if (slash == std::string_view::npos) return cur;
    i = slash + 1;
  } else if (path[0] == '/') {
    cur = ClipValue(root);
    i = 1;
  }
  if (i < path.size() && path[i] == '/') return Value();
  while (i < path.size()) {
    std::size_t j = path.find('/', i);
    if (j == std::string_view::npos) j = path.size();
    const std::string_view name = path.substr(i, j - i);
    if (name.empty()) return Value();
    Clip* clip = LiveClip(cur);
    if (!clip) return Value();
    Clip* next = name == ".." ? clip->Parent() : clip->ChildByName(name, caseSensitive);
    if (!next) return Value();
    cur = ClipValue(next);
    i = j == path.size() ? j : j + 1;
  }
  return cur;
}

}  // namespace dc::swf::avm1
